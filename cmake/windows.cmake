# windows.cmake: tarn for 64-bit Windows, cross-built with MinGW-w64
# (cmake/mingw-w64.cmake) against SDL2, Dear ImGui and GoogleTest built from
# Debian's source packages by scripts/windows-deps.sh, and tarn-tiled.exe
# against its libraries built the same way. The programs carry their C++
# runtime and threads inside (tarn-tiled.exe its libraries too), so they need
# only SDL2.dll beside them.
set(TARN_WINDOWS_DEPS ${CMAKE_BINARY_DIR}/deps CACHE PATH "Where scripts/windows-deps.sh put SDL2, ImGui, GoogleTest")
set(SDL2_PREFIX ${TARN_WINDOWS_DEPS}/sdl2)
set(IMGUI_DIR ${TARN_WINDOWS_DEPS}/imgui)
set(GTEST_PREFIX ${TARN_WINDOWS_DEPS}/gtest)
if(NOT EXISTS ${SDL2_PREFIX}/bin/SDL2.dll OR NOT EXISTS ${IMGUI_DIR}/imgui.cpp)
  message(FATAL_ERROR "No SDL2 or ImGui for Windows in ${TARN_WINDOWS_DEPS}: run scripts/windows-deps.sh")
endif()
add_link_options(-static-libgcc -static-libstdc++ -static)

file(GLOB NULL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/platform/null/*.cpp)
add_library(tarn_platform_null STATIC ${NULL_SOURCES})
target_link_libraries(tarn_platform_null PUBLIC tarn_platform_null_headers tarn_platform_sdl_headers)

add_library(tarn_sdl2 INTERFACE)
target_include_directories(tarn_sdl2 INTERFACE ${SDL2_PREFIX}/include/SDL2 ${SDL2_PREFIX}/include)
target_link_libraries(tarn_sdl2 INTERFACE ${SDL2_PREFIX}/lib/libSDL2.dll.a)
# The tests look inside the SDL platform's headers, which name SDL's.
target_include_directories(tarn_platform_sdl_headers INTERFACE ${SDL2_PREFIX}/include)

set(IMGUI_SOURCES ${IMGUI_DIR}/imgui.cpp ${IMGUI_DIR}/imgui_draw.cpp ${IMGUI_DIR}/imgui_tables.cpp
  ${IMGUI_DIR}/imgui_widgets.cpp ${IMGUI_DIR}/backends/imgui_impl_sdl.cpp
  ${IMGUI_DIR}/backends/imgui_impl_sdlrenderer.cpp)
# Their warnings are not ours to mend.
set_source_files_properties(${IMGUI_SOURCES} PROPERTIES COMPILE_OPTIONS -w)
file(GLOB SDL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/platform/sdl/*.cpp)
list(FILTER SDL_SOURCES EXCLUDE REGEX "sdl_web[^/]*\\.cpp$")
add_library(tarn_platform_sdl STATIC ${SDL_SOURCES} ${IMGUI_SOURCES})
target_include_directories(tarn_platform_sdl PUBLIC ${IMGUI_DIR} ${IMGUI_DIR}/backends)
target_link_libraries(tarn_platform_sdl PUBLIC tarn_platform_sdl_headers tarn_sdl2 imm32)

add_executable(tarn ${CMAKE_SOURCE_DIR}/src/main.cpp)
tarn_program(tarn tarn_platform_sdl)

# No libpng for Windows here: shots are PCX (png_shot_none.cpp says so).
file(GLOB RUN_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/run/*.cpp)
list(FILTER RUN_SOURCES EXCLUDE REGEX "png_shot\\.cpp$")
add_executable(tarn-run ${RUN_SOURCES})
tarn_program(tarn-run tarn_platform_null)
# Its memory figures come from the process status API.
target_link_libraries(tarn-run PRIVATE psapi)

# Each program lands at the top of the build folder, where
# scripts/windows-zip.sh takes every .exe from.
add_subdirectory(${CMAKE_SOURCE_DIR}/tools/mkdemo ${CMAKE_BINARY_DIR}/tools/mkdemo)

# tarn-tiled.exe, with the static libpng, pugixml and zstd that
# windows-deps.sh built (WINDOWS_TILED=1), nlohmann-json from its source and
# libz-mingw-w64-dev's zlib.
option(TARN_WINDOWS_TILED "Build tarn-tiled.exe; windows-deps.sh builds its libraries" ON)
if(TARN_WINDOWS_TILED)
  set(TILED_PARTS png/lib/libpng16.a pugixml/lib/libpugixml.a zstd/lib/libzstd.a)
  foreach(part ${TILED_PARTS} nlohmann-json/include/nlohmann/json.hpp)
    if(NOT EXISTS ${TARN_WINDOWS_DEPS}/${part})
      message(FATAL_ERROR "No ${part} for Windows in ${TARN_WINDOWS_DEPS}: run scripts/windows-deps.sh")
    endif()
  endforeach()
  list(TRANSFORM TILED_PARTS PREPEND ${TARN_WINDOWS_DEPS}/)
  add_library(tarn_tiled_deps INTERFACE)
  target_include_directories(tarn_tiled_deps SYSTEM INTERFACE ${TARN_WINDOWS_DEPS}/png/include
    ${TARN_WINDOWS_DEPS}/pugixml/include ${TARN_WINDOWS_DEPS}/zstd/include ${TARN_WINDOWS_DEPS}/nlohmann-json/include)
  # libpng after the others that use it, zlib last: a static link reads them in order.
  target_link_libraries(tarn_tiled_deps INTERFACE ${TILED_PARTS} ${CMAKE_FIND_ROOT_PATH}/lib/libz.a)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tools/tiled ${CMAKE_BINARY_DIR}/tools/tiled)
endif()

# The unit tests, run under Wine by scripts/windows-test.sh.
add_library(GTest::gtest STATIC IMPORTED)
set_target_properties(GTest::gtest PROPERTIES IMPORTED_LOCATION ${GTEST_PREFIX}/lib/libgtest.a
  INTERFACE_INCLUDE_DIRECTORIES ${GTEST_PREFIX}/include)
add_library(GTest::gtest_main STATIC IMPORTED)
set_target_properties(GTest::gtest_main PROPERTIES IMPORTED_LOCATION ${GTEST_PREFIX}/lib/libgtest_main.a
  INTERFACE_LINK_LIBRARIES GTest::gtest)
add_subdirectory(${CMAKE_SOURCE_DIR}/tests ${CMAKE_BINARY_DIR}/tests)

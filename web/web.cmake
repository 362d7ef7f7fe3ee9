# web.cmake: tarn for the browser. The same engine and SDL platform compiled
# with Emscripten, against SDL2 and Dear ImGui built from Debian's source
# packages by scripts/web-deps.sh; the demo folder rides in tarn.data.
set(TARN_WEB_DEPS ${CMAKE_BINARY_DIR}/deps CACHE PATH "Where scripts/web-deps.sh put SDL2 and ImGui")
set(TARN_DEMO_DIR "" CACHE PATH "The game folder tarn-mkdemo wrote")
set(SDL2_PREFIX ${TARN_WEB_DEPS}/sdl2)
set(IMGUI_DIR ${TARN_WEB_DEPS}/imgui)
if(NOT EXISTS ${SDL2_PREFIX}/lib/libSDL2.a OR NOT EXISTS ${IMGUI_DIR}/imgui.cpp)
  message(FATAL_ERROR "No SDL2 or ImGui for the browser in ${TARN_WEB_DEPS}: run scripts/web-deps.sh")
endif()
if(NOT EXISTS ${TARN_DEMO_DIR}/tarn.cfg)
  message(FATAL_ERROR "TARN_DEMO_DIR (${TARN_DEMO_DIR}) holds no game folder: run tarn-mkdemo first")
endif()

set(IMGUI_SOURCES ${IMGUI_DIR}/imgui.cpp ${IMGUI_DIR}/imgui_draw.cpp ${IMGUI_DIR}/imgui_tables.cpp
  ${IMGUI_DIR}/imgui_widgets.cpp ${IMGUI_DIR}/backends/imgui_impl_sdl.cpp
  ${IMGUI_DIR}/backends/imgui_impl_sdlrenderer.cpp ${IMGUI_DIR}/backends/imgui_impl_opengl3.cpp)
# Their warnings are not ours to mend.
set_source_files_properties(${IMGUI_SOURCES} PROPERTIES COMPILE_OPTIONS -w)

file(GLOB SDL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/platform/sdl/*.cpp)
add_library(tarn_platform_sdl STATIC ${SDL_SOURCES} ${IMGUI_SOURCES})
# First, or emcc takes its bundled SDL 1.3 headers for "SDL.h".
target_include_directories(tarn_platform_sdl BEFORE PUBLIC ${SDL2_PREFIX}/include/SDL2 ${SDL2_PREFIX}/include)
target_include_directories(tarn_platform_sdl PUBLIC ${IMGUI_DIR} ${IMGUI_DIR}/backends)
target_link_libraries(tarn_platform_sdl PUBLIC tarn_platform_sdl_headers)

# Small over fast: the frame stays well within its time, and the page must
# stay under 3 MB.
set(CMAKE_CXX_FLAGS_RELEASE "-Os -DNDEBUG")

# The engine is where the frame's time goes: built for speed, with wasm SIMD
# standing in for SSE2 in the tile and sprite row merges (0.02 MB more).
foreach(layer ${TARN_ENGINE_LAYERS})
  target_compile_options(${layer} PRIVATE -O2 -msimd128 -msse2)
endforeach()

add_executable(tarn ${CMAKE_SOURCE_DIR}/src/main.cpp ${CMAKE_SOURCE_DIR}/src/web_hooks.cpp)
# tarn.html with tarn.js, tarn.wasm and tarn.data beside it, at the top of the build folder.
set_target_properties(tarn PROPERTIES SUFFIX ".html" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
tarn_program(tarn tarn_platform_sdl)
target_link_libraries(tarn PRIVATE ${SDL2_PREFIX}/lib/libSDL2.a)
# Without these nothing runs, or SDL's audio callback never does. A file,
# because no shell quoting carries the dollar signs through CMake and make.
file(WRITE ${CMAKE_BINARY_DIR}/library_funcs.txt "$autoResumeAudioContext\n$dynCall\n")
set(WEB_PAGE ${CMAKE_SOURCE_DIR}/web/shell.html ${CMAKE_SOURCE_DIR}/web/game_folder.js)
target_link_options(tarn PRIVATE
  -Os
  -sENVIRONMENT=web
  -sALLOW_MEMORY_GROWTH=1
  -sMINIFY_HTML=0  # Debian packages no HTML minifier
  -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${CMAKE_BINARY_DIR}/library_funcs.txt
  -sFORCE_FILESYSTEM=1
  -sLZ4=1  # the tile files shrink five-fold in tarn.data
  -lidbfs.js
  --shell-file ${CMAKE_SOURCE_DIR}/web/shell.html
  --pre-js ${CMAKE_SOURCE_DIR}/web/game_folder.js
  "SHELL:--preload-file ${TARN_DEMO_DIR}@/demo")
file(GLOB_RECURSE DEMO_FILES CONFIGURE_DEPENDS ${TARN_DEMO_DIR}/*)
set_property(TARGET tarn APPEND PROPERTY LINK_DEPENDS ${WEB_PAGE} ${DEMO_FILES})

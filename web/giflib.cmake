# giflib.cmake: the GIF recordings' encoder for the browser and Windows
# builds: the encoding half of Debian's giflib, compiled from the source
# package that scripts/web-deps.sh or scripts/windows-deps.sh unpacks.
enable_language(C)
if(WIN32)
  set(TARN_WINDOWS_DEPS ${CMAKE_BINARY_DIR}/deps CACHE PATH "Where scripts/windows-deps.sh put SDL2, ImGui, GoogleTest")
  set(GIFLIB_DIR ${TARN_WINDOWS_DEPS}/giflib)
else()
  set(TARN_WEB_DEPS ${CMAKE_BINARY_DIR}/deps CACHE PATH "Where scripts/web-deps.sh put SDL2 and ImGui")
  set(GIFLIB_DIR ${TARN_WEB_DEPS}/giflib)
endif()
if(NOT EXISTS ${GIFLIB_DIR}/egif_lib.c)
  message(FATAL_ERROR "No giflib source in ${GIFLIB_DIR}: run scripts/web-deps.sh or scripts/windows-deps.sh")
endif()
set(GIFLIB_SOURCES egif_lib.c gifalloc.c gif_err.c gif_hash.c openbsd-reallocarray.c)
list(TRANSFORM GIFLIB_SOURCES PREPEND ${GIFLIB_DIR}/)
add_library(tarn_giflib STATIC ${GIFLIB_SOURCES})
# Its warnings are not ours to mend.
set_source_files_properties(${GIFLIB_SOURCES} PROPERTIES COMPILE_OPTIONS -w)
target_include_directories(tarn_giflib SYSTEM PUBLIC ${GIFLIB_DIR})
set(TARN_GIF_LIBS tarn_giflib)
# The decoding half, for the tests that read a recording back.
add_library(tarn_giflib_decode STATIC EXCLUDE_FROM_ALL ${GIFLIB_DIR}/dgif_lib.c)
set_source_files_properties(${GIFLIB_DIR}/dgif_lib.c PROPERTIES COMPILE_OPTIONS -w)
target_link_libraries(tarn_giflib_decode PUBLIC tarn_giflib)

# mingw-w64.cmake: cross-building for 64-bit Windows with Debian's MinGW-w64.
# The -posix compilers: their thread model has std::thread and std::mutex.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TARN_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TARN_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARN_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TARN_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TARN_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

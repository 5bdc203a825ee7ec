# Cross-building the Windows program on Debian with mingw-w64 (package g++-mingw-w64-x86-64-posix):
#   cmake -G Ninja -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PELMORA_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PELMORA_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PELMORA_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${PELMORA_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PELMORA_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Console test programs built for Windows run under Wine when CTest runs them.
find_program(PELMORA_WINE NAMES wine64 wine)
if(PELMORA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PELMORA_WINE})
endif()

# Cross build for Windows with MinGW-w64, for STRCRYPT_WINDOWS_ARCH: x86, 32-bit, the
# default (Debian: g++-mingw-w64-i686-win32), or x64 (g++-mingw-w64-x86-64-win32).
# Programs run under Wine: 32-bit ones with its 32-bit loader (wine32:i386, and a kernel
# that runs 32-bit programs), 64-bit ones with the 64-bit loader itself (wine64), since
# Debian's `wine` takes the 32-bit one whenever it is installed.
set(CMAKE_SYSTEM_NAME Windows)
if(STRCRYPT_WINDOWS_ARCH STREQUAL "x64")
    set(CMAKE_SYSTEM_PROCESSOR AMD64)
    set(triple x86_64-w64-mingw32)
    set(wine wine64)  # Debian keeps it off PATH, in /usr/lib/wine
else()
    set(CMAKE_SYSTEM_PROCESSOR x86)
    set(triple i686-w64-mingw32)
    set(wine wine)
endif()
find_program(STRCRYPT_WINE ${wine} PATHS /usr/lib/wine)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES STRCRYPT_WINDOWS_ARCH)

# The win32-thread flavour: the program uses no threads, and the posix one would link in
# winpthread. The program reads the clock from Windows itself, not from libstdc++, whose
# win32 flavour goes through gettimeofday and its 32-bit seconds.
set(CMAKE_C_COMPILER ${triple}-gcc-win32)  # GoogleTest's project enables C
set(CMAKE_CXX_COMPILER ${triple}-g++-win32)
set(CMAKE_RC_COMPILER ${triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wine in a prefix of the build's own, quiet, without offering to install Mono or Gecko,
# and with ANSI code page 1252, as on a Western Windows, whatever the host's locale.
set(CMAKE_CROSSCOMPILING_EMULATOR
    env WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
        LANG=C.UTF-8 LC_ALL=C.UTF-8 ${STRCRYPT_WINE})

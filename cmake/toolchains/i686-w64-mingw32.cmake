# Cross build for 32-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-i686); programs
# run under Wine (Debian: wine, wine32).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

# The win32-thread flavour: the program uses no threads, and the posix one would link in
# winpthread. The program reads the clock from Windows itself, not from libstdc++, whose
# win32 flavour goes through gettimeofday and its 32-bit seconds.
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)  # GoogleTest's project enables C
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wine in a prefix of the build's own, quiet, without offering to install Mono or Gecko,
# and with ANSI code page 1252, as on a Western Windows, whatever the host's locale.
set(CMAKE_CROSSCOMPILING_EMULATOR
    env WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
        LANG=C.UTF-8 LC_ALL=C.UTF-8 wine)

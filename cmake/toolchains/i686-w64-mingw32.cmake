# Cross build for 32-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-i686); programs
# run under Wine (Debian: wine, wine32).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

# The posix-thread flavour: its libstdc++ reads the clock through clock_gettime with a
# 64-bit time_t. The win32 flavour uses gettimeofday, whose seconds overflow in 2038.
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)  # GoogleTest's project enables C
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program stands alone: libstdc++, libgcc and winpthread are linked in, so
# nothing needs a DLL beyond those Windows ships.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Wine in a prefix of the build's own, quiet, without offering to install Mono or Gecko,
# and with ANSI code page 1252, as on a Western Windows, whatever the host's locale.
set(CMAKE_CROSSCOMPILING_EMULATOR
    env WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
        LANG=C.UTF-8 LC_ALL=C.UTF-8 wine)

# The Windows program compiled as Visual Studio compiles it, for STRCRYPT_WINDOWS_ARCH x86
# (the default) or x64: clang-cl (clang-tools, llvm) against Wine's Windows and C runtime
# headers (libwine-dev, of any architecture) and libc++'s (libc++-dev of the same LLVM).
# Debian has no MSVC start-up code, import libraries or C++ library for Windows, so the
# windows-*-msvc presets compile and archive but never link: no linker is set.
set(CMAKE_SYSTEM_NAME Windows)
if(STRCRYPT_WINDOWS_ARCH STREQUAL "x64")
    set(CMAKE_SYSTEM_PROCESSOR AMD64)
    set(triple x86_64-pc-windows-msvc)
else()
    set(CMAKE_SYSTEM_PROCESSOR x86)
    set(triple i686-pc-windows-msvc)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES STRCRYPT_WINDOWS_ARCH)

set(llvm 14)  # Debian 12's LLVM: the version in every tool's name and in libc++'s path
set(CMAKE_CXX_COMPILER clang-cl-${llvm})  # the only language besides the resource
set(CMAKE_CXX_COMPILER_TARGET ${triple})
set(CMAKE_AR llvm-lib-${llvm})  # archives the encoder and the front end
set(CMAKE_RC_COMPILER llvm-rc-${llvm})  # compiles the version resource
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)  # CMake's compiler checks link nothing

# Header folders as system headers, in the order Visual Studio searches its own:
# the C++ library, then the C runtime and the Windows API. msvc-compat declares the
# long double maths that Wine's headers leave out and libc++ names.
set(wine /usr/include/wine/wine)
cmake_path(GET CMAKE_CURRENT_LIST_DIR PARENT_PATH cmake_dir)
set(headers /usr/lib/llvm-${llvm}/include/c++/v1 ${cmake_dir}/msvc-compat
            ${wine}/msvcrt ${wine}/windows)
# As Visual Studio 2022 (_MSC_VER 1930); Wine's WCHAR as the compiler's own wchar_t; libc++
# without MSVC's vcruntime headers, which Debian does not have, and without threads, which
# the program does not use (libc++'s need a struct timespec that Wine's time.h lacks).
set(flags "-fms-compatibility-version=19.30 -DWINE_UNICODE_NATIVE -D_LIBCPP_NO_VCRUNTIME -D_LIBCPP_HAS_NO_THREADS")
# Wine's winnt.h defines inline functions under the names of intrinsics that clang-cl has
# built in: they get names of their own.
foreach(name And64 CompareExchange128 CompareExchangePointer Decrement64 ExchangeAdd64 ExchangePointer
             Increment64 Or64 Xor64)
    string(APPEND flags " -D_Interlocked${name}=strcrypt_wine_Interlocked${name}")
endforeach()
foreach(dir IN LISTS headers)
    string(APPEND flags " /imsvc ${dir}")
endforeach()
set(CMAKE_CXX_FLAGS_INIT "${flags}")
# The version resource is preprocessed by clang-cl and needs winver.h.
set(CMAKE_RC_STANDARD_INCLUDE_DIRECTORIES ${wine}/windows)

# strcrypt_hardening: an interface target with the protections that distributions check
# for in a program they ship, for whatever links it: the stack protector, stack-clash
# probes and control-flow markers (endbr) where the compiler has them, checked libc calls
# in optimised builds, and on Linux a position-independent program whose relocations are
# made read-only before it starts. Flags from CXXFLAGS and LDFLAGS (a packager's
# dpkg-buildflags) come on top of these; a _FORTIFY_SOURCE level given there wins.
include(CheckCXXCompilerFlag)
include(CheckPIESupported)

add_library(strcrypt_hardening INTERFACE)
if(NOT MSVC)
    set(flags -fstack-protector-strong)
    if(NOT WIN32)  # Windows probes its stacks itself and has no use for endbr markers
        list(APPEND flags -fstack-clash-protection -fcf-protection)
    endif()
    foreach(flag IN LISTS flags)
        string(MAKE_C_IDENTIFIER "STRCRYPT_HAS${flag}" has_flag)
        check_cxx_compiler_flag(${flag} ${has_flag})
        if(${has_flag})
            target_compile_options(strcrypt_hardening INTERFACE ${flag})
            target_link_options(strcrypt_hardening INTERFACE ${flag})
        endif()
    endforeach()
    if(NOT CMAKE_CXX_FLAGS MATCHES "_FORTIFY_SOURCE")
        target_compile_definitions(strcrypt_hardening INTERFACE
            $<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
    endif()
endif()
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    check_pie_supported(LANGUAGES CXX)
    target_link_options(strcrypt_hardening INTERFACE -Wl,-z,relro,-z,now)
endif()

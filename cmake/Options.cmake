# What our targets share and GoogleTest does not get: the interface target strcrypt_options
# (warnings, hardening, sanitizers, build paths out of the binaries), which
# strcrypt_target(<target>) links, setting IPO, PIC and the runtime target by target.
include(CheckCXXCompilerFlag)
include(CheckIPOSupported)
include(CheckPIESupported)

add_library(strcrypt_options INTERFACE)

if(MSVC)
    target_compile_options(strcrypt_options INTERFACE /W4 /permissive- $<$<BOOL:${STRCRYPT_WERROR}>:/WX>)
    # The portable strerror and friends, not the _s variants MSVC suggests.
    target_compile_definitions(strcrypt_options INTERFACE _CRT_SECURE_NO_WARNINGS)
else()
    target_compile_options(strcrypt_options INTERFACE -Wall -Wextra -Wpedantic -Wconversion
        -Wsign-conversion -Wshadow $<$<BOOL:${STRCRYPT_WERROR}>:-Werror>)
endif()

# Hardening, as distributions check it: the stack protector, stack-clash probes and endbr
# markers where the compiler has them (Windows probes its stacks itself), checked libc
# calls in optimised builds, on Linux PIE with read-only relocations. A packager's
# CXXFLAGS and LDFLAGS come on top; their _FORTIFY_SOURCE level wins.
if(NOT MSVC)
    set(flags -fstack-protector-strong)
    if(NOT WIN32)
        list(APPEND flags -fstack-clash-protection -fcf-protection)
    endif()
    foreach(flag IN LISTS flags)
        string(MAKE_C_IDENTIFIER "STRCRYPT_HAS${flag}" has_flag)
        check_cxx_compiler_flag(${flag} ${has_flag})
        if(${has_flag})
            target_compile_options(strcrypt_options INTERFACE ${flag})
            target_link_options(strcrypt_options INTERFACE ${flag})
        endif()
    endforeach()
    if(NOT CMAKE_CXX_FLAGS MATCHES "_FORTIFY_SOURCE")
        target_compile_definitions(strcrypt_options INTERFACE $<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
    endif()
    target_compile_options(strcrypt_options INTERFACE
        -ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -ffile-prefix-map=${PROJECT_BINARY_DIR}=build)
endif()
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    check_pie_supported(LANGUAGES CXX)
    target_link_options(strcrypt_options INTERFACE -Wl,-z,relro,-z,now)
endif()
target_link_options(strcrypt_options INTERFACE $<$<BOOL:${MINGW}>:-Wl,--no-insert-timestamp>)  # no link time

# Sanitizers: any finding ends the process.
if(STRCRYPT_SANITIZE AND MSVC)
    # MSVC's AddressSanitizer rejects the run-time checks that Debug turns on.
    string(REGEX REPLACE "/RTC[1csu]+" "" CMAKE_CXX_FLAGS_DEBUG "${CMAKE_CXX_FLAGS_DEBUG}")
    target_compile_options(strcrypt_options INTERFACE /fsanitize=address)
    target_link_options(strcrypt_options INTERFACE /INCREMENTAL:NO)
elseif(STRCRYPT_SANITIZE)
    set(flags -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_compile_options(strcrypt_options INTERFACE ${flags})
    target_link_options(strcrypt_options INTERFACE ${flags})
endif()
target_compile_options(strcrypt_options INTERFACE $<$<BOOL:${STRCRYPT_FUZZ}>:-fsanitize=fuzzer-no-link>)

set(strcrypt_ipo OFF)
if(STRCRYPT_IPO)
    check_ipo_supported(RESULT strcrypt_ipo OUTPUT ipo_output)
    if(NOT strcrypt_ipo)
        message(WARNING "STRCRYPT_IPO: not supported here, building without it: ${ipo_output}")
    endif()
endif()

function(strcrypt_target target)
    target_link_libraries(${target} PRIVATE strcrypt_options)
    set_target_properties(${target} PROPERTIES
        INTERPROCEDURAL_OPTIMIZATION ${strcrypt_ipo}
        POSITION_INDEPENDENT_CODE ON
        CXX_EXTENSIONS OFF)
    # STRCRYPT_STATIC_RUNTIME: MinGW programs, the tests too, link -static (Wine has no
    # MinGW DLLs); MSVC targets use /MT (no redistributable); on Linux the program links
    # libstdc++ and libgcc in (loading the shared libstdc++ doubles a short run's cost).
    if(STRCRYPT_STATIC_RUNTIME AND MSVC)
        set_target_properties(${target} PROPERTIES MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
    elseif(STRCRYPT_STATIC_RUNTIME AND MINGW)
        target_link_options(${target} PRIVATE -static)  # what links: the programs
    elseif(STRCRYPT_STATIC_RUNTIME AND target STREQUAL "strcrypt")
        target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc)
    endif()
endfunction()

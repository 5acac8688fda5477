# strcrypt_sanitizers: an interface target that instruments whatever links it.
#   STRCRYPT_SANITIZE: AddressSanitizer and UndefinedBehaviorSanitizer; any finding
#                      ends the process with an error.
#   STRCRYPT_FUZZ:     libFuzzer's coverage instrumentation as well (clang only).
add_library(strcrypt_sanitizers INTERFACE)
if(STRCRYPT_SANITIZE)
    if(MSVC)
        target_compile_options(strcrypt_sanitizers INTERFACE /fsanitize=address)
    else()
        set(flags -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
        target_compile_options(strcrypt_sanitizers INTERFACE ${flags})
        target_link_options(strcrypt_sanitizers INTERFACE ${flags})
    endif()
endif()
if(STRCRYPT_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "STRCRYPT_FUZZ needs clang (libFuzzer)")
    endif()
    target_compile_options(strcrypt_sanitizers INTERFACE -fsanitize=fuzzer-no-link)
endif()

# strcrypt_sanitizers: an interface target that instruments whatever links it.
#   STRCRYPT_SANITIZE: AddressSanitizer and UndefinedBehaviorSanitizer; any finding
#                      ends the process with an error.
#   STRCRYPT_FUZZ:     libFuzzer's coverage instrumentation as well (clang only).
add_library(strcrypt_sanitizers INTERFACE)
if(STRCRYPT_SANITIZE)
    if(MSVC)
        # MSVC's AddressSanitizer rejects the run-time checks that Debug turns on, and
        # warns about incremental linking.
        foreach(flags_var CMAKE_CXX_FLAGS_DEBUG CMAKE_C_FLAGS_DEBUG)
            string(REGEX REPLACE "/RTC[1csu]+" "" ${flags_var} "${${flags_var}}")
        endforeach()
        target_compile_options(strcrypt_sanitizers INTERFACE /fsanitize=address)
        target_link_options(strcrypt_sanitizers INTERFACE /INCREMENTAL:NO)
    else()
        set(flags -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
        target_compile_options(strcrypt_sanitizers INTERFACE ${flags})
        target_link_options(strcrypt_sanitizers INTERFACE ${flags})
    endif()
endif()
if(STRCRYPT_FUZZ)
    # clang-cl counts as MSVC: its -fsanitize=fuzzer would reach link.exe, which has no
    # such flag.
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang" OR MSVC)
        message(FATAL_ERROR "STRCRYPT_FUZZ needs clang with its GNU-style driver (libFuzzer)")
    endif()
    target_compile_options(strcrypt_sanitizers INTERFACE -fsanitize=fuzzer-no-link)
endif()

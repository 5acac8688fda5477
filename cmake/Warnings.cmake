# strcrypt_warnings: an interface target that turns on the project's warnings for
# whatever links it, and makes them errors when STRCRYPT_WERROR is on.
add_library(strcrypt_warnings INTERFACE)
if(MSVC)
    target_compile_options(strcrypt_warnings INTERFACE
        /W4 /permissive- $<$<BOOL:${STRCRYPT_WERROR}>:/WX>)
    # The portable strerror and friends, not the _s variants MSVC suggests.
    target_compile_definitions(strcrypt_warnings INTERFACE _CRT_SECURE_NO_WARNINGS)
else()
    target_compile_options(strcrypt_warnings INTERFACE
        -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wshadow
        $<$<BOOL:${STRCRYPT_WERROR}>:-Werror>)
endif()

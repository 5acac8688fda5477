# Builds that give the same bytes from the same commit, wherever the tree lies.
#   SOURCE_DATE_EPOCH: the time of the last commit, unless the environment sets it; it
#     dates the man page and the packages' files.
#   strcrypt_reproducible: an interface target that keeps build paths and link times
#     out of whatever links it.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(STRCRYPT_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
    find_package(Git QUIET)
    if(GIT_FOUND)
        execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
                        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                        OUTPUT_VARIABLE STRCRYPT_SOURCE_DATE_EPOCH
                        OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    endif()
endif()
if(STRCRYPT_SOURCE_DATE_EPOCH)
    set(ENV{SOURCE_DATE_EPOCH} "${STRCRYPT_SOURCE_DATE_EPOCH}")  # string(TIMESTAMP) reads it
endif()

add_library(strcrypt_reproducible INTERFACE)
if(NOT MSVC)
    target_compile_options(strcrypt_reproducible INTERFACE
        -ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -ffile-prefix-map=${PROJECT_BINARY_DIR}=build)
endif()
if(MINGW)
    target_link_options(strcrypt_reproducible INTERFACE -Wl,--no-insert-timestamp)
endif()

# Run by cpack for the source package: it packs what git tracks, as the work tree has it,
# from an export that git itself writes, so that no untracked file gets in whatever its
# name, and the commit's time, which a build from the package reads. Without git, none.
cmake_path(GET CMAKE_CURRENT_LIST_DIR PARENT_PATH source)
set(tracked "${CPACK_PACKAGE_DIRECTORY}/_CPack_Packages/tracked")
file(REMOVE_RECURSE "${tracked}")
file(MAKE_DIRECTORY "${tracked}")
set(git git -C "${source}" -c user.name=strcrypt -c user.email=strcrypt@invalid)
execute_process(COMMAND ${git} stash create OUTPUT_VARIABLE tree OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
if(NOT failed)
    if(tree STREQUAL "")
        set(tree HEAD)  # the work tree has no changes
    endif()
    execute_process(COMMAND ${git} archive -o "${tracked}.tar" ${tree} RESULT_VARIABLE failed)
endif()
if(failed)
    message(FATAL_ERROR "strcrypt: the source package is made from a git checkout, which tells what it holds")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf "${tracked}.tar" WORKING_DIRECTORY "${tracked}")
file(WRITE "${tracked}/SOURCE_DATE_EPOCH" "$ENV{SOURCE_DATE_EPOCH}\n")
set(CPACK_INSTALLED_DIRECTORIES "${tracked};/")
set(CPACK_IGNORE_FILES "")

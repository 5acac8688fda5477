# Run by cpack for the source package: it ignores every file that git does not track, so
# the package holds the tracked tree alone. Without git to ask, it makes none.
cmake_path(GET CMAKE_CURRENT_LIST_DIR PARENT_PATH source)
execute_process(COMMAND git -c core.quotePath=false ls-files --others --directory
                WORKING_DIRECTORY ${source} RESULT_VARIABLE status OUTPUT_VARIABLE untracked)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "strcrypt: the source package is made from a git checkout, which tells what it holds")
elseif(untracked)  # one path a line, a folder's ending in a slash: each made a regex
    string(REGEX REPLACE "([][.*+?^$()|\\])" "\\\\\\1" root "${source}/")
    string(REGEX REPLACE "([][.*+?^$()|\\])" "\\\\\\1" escaped "${untracked}")
    string(REGEX REPLACE "([^/])\n" "\\1$\n" escaped "${escaped}")  # a file: its whole name
    string(REGEX REPLACE "\n$" "" escaped "${escaped}")
    string(REPLACE "\n" ";^${root}" escaped "^${root}${escaped}")
    list(APPEND CPACK_IGNORE_FILES ${escaped})
endif()

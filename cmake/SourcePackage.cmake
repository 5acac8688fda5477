# Run by cpack for the source package: every file that git does not track is ignored, so
# the package holds the tracked tree alone. Without git to ask, no source package is made.
cmake_path(GET CMAKE_CURRENT_LIST_DIR PARENT_PATH source)
execute_process(COMMAND git -c core.quotePath=false ls-files --others --directory
                WORKING_DIRECTORY ${source} RESULT_VARIABLE status OUTPUT_VARIABLE untracked)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "strcrypt: the source package is made from a git checkout, which tells what it holds")
endif()
string(REGEX REPLACE "\n$" "" untracked "${untracked}")
string(REPLACE "\n" ";" untracked "${untracked}")
foreach(path IN LISTS source untracked)
    string(REGEX REPLACE "([][.*+?^$()|\\])" "\\\\\\1" path "${path}")  # as a regex
    if(NOT DEFINED root)
        set(root "${path}")
    elseif(path MATCHES "/$")
        list(APPEND CPACK_IGNORE_FILES "^${root}/${path}")
    else()
        list(APPEND CPACK_IGNORE_FILES "^${root}/${path}$")
    endif()
endforeach()

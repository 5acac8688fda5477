# Run by CPack after each package is made: records the new packages in SHA256SUMS in
# the package directory, in the form that `sha256sum -c` reads, keeping the lines of
# packages made earlier in the same run.
set(sums_file "${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS")
set(lines "")
if(EXISTS "${sums_file}")
    file(STRINGS "${sums_file}" lines)
endif()
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    get_filename_component(name "${package}" NAME)
    list(FILTER lines EXCLUDE REGEX "  ${name}$")
    file(SHA256 "${package}" hash)
    list(APPEND lines "${hash}  ${name}")
endforeach()
list(SORT lines)
list(JOIN lines "\n" text)
file(WRITE "${sums_file}" "${text}\n")

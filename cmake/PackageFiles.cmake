# Run by CPack after each package is made: lists the packages of this cpack run in
# SHA256SUMS in the package directory, in the form that `sha256sum -c` reads. The first
# package of a run starts the file anew, so that no line of an earlier run stays.
set(sums_file "${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS")
get_property(lines GLOBAL PROPERTY STRCRYPT_SHA256SUMS)  # this run's lines so far
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    get_filename_component(name "${package}" NAME)
    file(SHA256 "${package}" hash)
    list(APPEND lines "${hash}  ${name}")
endforeach()
set_property(GLOBAL PROPERTY STRCRYPT_SHA256SUMS "${lines}")
list(SORT lines)
list(JOIN lines "\n" text)
file(WRITE "${sums_file}" "${text}\n")

# Run by CPack around each package. Before it is packed: its folders 0755 as every system
# lays them out, whatever the umask. After: every package of this version in the package
# directory, whichever cpack run made it, listed in SHA256SUMS as `sha256sum -c` reads it.
if(NOT DEFINED CPACK_PACKAGE_FILES)
    file(CHMOD_RECURSE "${CPACK_TEMPORARY_DIRECTORY}" DIRECTORY_PERMISSIONS
         OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    return()
endif()
# A .deb's ar members (debian-binary, control, data) carry the umask's modes: 0644. Each
# is a 60-byte header, its mode at 40 and its size at 48, and its data, padded to even.
set(debs ${CPACK_PACKAGE_FILES})
list(FILTER debs INCLUDE REGEX "\\.deb$")
foreach(deb IN LISTS debs)
    execute_process(COMMAND sh -c [[at=8; for member in 1 2 3; do
        size=$(dd if="$0" bs=1 skip=$((at + 48)) count=10 status=none)
        printf '100644  ' | dd of="$0" bs=1 seek=$((at + 40)) conv=notrunc status=none
        at=$((at + 60 + size + size % 2)); done]] "${deb}")
endforeach()
file(GLOB packages "${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_NAME}[-_]${CPACK_PACKAGE_VERSION}[-_]*")
list(FILTER packages INCLUDE REGEX "\\.(deb|tar\\.gz|zip)$")
set(lines "")
foreach(package IN LISTS packages CPACK_PACKAGE_FILES)  # this run's are not copied out yet
    get_filename_component(name "${package}" NAME)
    file(SHA256 "${package}" hash)
    list(FILTER lines EXCLUDE REGEX "  ${name}$")
    list(APPEND lines "${hash}  ${name}")
endforeach()
list(SORT lines)
list(JOIN lines "\n" text)
file(WRITE "${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS" "${text}\n")

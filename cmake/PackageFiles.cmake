# Run by CPack around each package. Before it is packed: its folders 0755 as every system
# lays them out, whatever the umask. After: every package of this version in the package
# directory, whichever cpack run made it, listed in SHA256SUMS as `sha256sum -c` reads it.
if(NOT DEFINED CPACK_PACKAGE_FILES)
    file(CHMOD_RECURSE "${CPACK_TEMPORARY_DIRECTORY}" DIRECTORY_PERMISSIONS
         OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    return()
endif()
foreach(deb IN LISTS CPACK_PACKAGE_FILES)  # its ar members carry the umask's modes: 0644
    set(at 8)  # past "!<arch>\n"; each member: a 60-byte header, its mode at 40, size at 48
    foreach(member debian-binary control data)
        if(deb MATCHES "\\.deb$")
            file(READ "${deb}" header OFFSET ${at} LIMIT 60)
            string(SUBSTRING "${header}" 48 10 size)
            math(EXPR mode_at "${at} + 40")
            execute_process(COMMAND sh -c [[printf '100644  ' | dd of="$0" bs=1 seek="$1" conv=notrunc status=none]]
                            "${deb}" ${mode_at})
            math(EXPR at "${at} + 60 + ${size} + ${size} % 2")
        endif()
    endforeach()
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

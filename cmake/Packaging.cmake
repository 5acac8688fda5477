# What `cmake --install` puts where, and the packages CPack makes from it: a .deb and a
# .tar.gz on Linux, a .zip on Windows, with SHA256SUMS, in build/<preset>/packages. The same
# commit gives the same bytes: times come from SOURCE_DATE_EPOCH, by default the commit's,
# which a source package keeps.
include(GNUInstallDirs)

if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(STRCRYPT_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
elseif(EXISTS ${PROJECT_SOURCE_DIR}/SOURCE_DATE_EPOCH)  # a source package's
    file(STRINGS ${PROJECT_SOURCE_DIR}/SOURCE_DATE_EPOCH STRCRYPT_SOURCE_DATE_EPOCH LIMIT_COUNT 1)
else()  # a git checkout's, if git is here
    execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE STRCRYPT_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
set(ENV{SOURCE_DATE_EPOCH} "${STRCRYPT_SOURCE_DATE_EPOCH}")  # string(TIMESTAMP) reads it; empty unsets

set(STRCRYPT_CONTACT "the strcrypt authors <strcrypt@users.noreply.github.com>")

# Installs the build tree's <name> in <destination>, compressed as Debian lays out
# documents, without a name or time in the gzip header.
function(strcrypt_gzip name destination)
    find_program(STRCRYPT_GZIP gzip REQUIRED)
    add_custom_command(OUTPUT ${name}.gz
        COMMAND ${STRCRYPT_GZIP} -9 -n -c ${name} > ${name}.gz
        DEPENDS ${PROJECT_BINARY_DIR}/${name}
        WORKING_DIRECTORY ${PROJECT_BINARY_DIR})
    add_custom_target(strcrypt_gzip_${name} ALL DEPENDS ${name}.gz)
    install(FILES ${PROJECT_BINARY_DIR}/${name}.gz DESTINATION ${destination})
endfunction()

if(WIN32)
    # A folder to unpack anywhere: the program, a README for the person who runs it, and
    # the license, both texts with Windows line ends.
    install(TARGETS strcrypt RUNTIME DESTINATION .)
    configure_file(doc/README-windows.txt.in README.txt @ONLY NEWLINE_STYLE CRLF)
    configure_file(LICENSE LICENSE.txt @ONLY NEWLINE_STYLE CRLF)  # it has no @VAR@
    install(FILES ${PROJECT_BINARY_DIR}/README.txt ${PROJECT_BINARY_DIR}/LICENSE.txt DESTINATION .)
else()
    # The folders that the install makes are 0755 whatever the umask, which CMake's own
    # mkdir keeps: those missing before are noted, and set after.
    install(CODE "set(folders ${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_MANDIR}/man1 ${CMAKE_INSTALL_DOCDIR})"
            CODE [[
        set(strcrypt_made "")
        foreach(folder IN LISTS folders)
            set(path "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${folder}")
            while(NOT EXISTS "${path}")
                list(APPEND strcrypt_made "${path}")
                cmake_path(GET path PARENT_PATH path)
            endwhile()
        endforeach()]])
    install(TARGETS strcrypt RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

    string(TIMESTAMP STRCRYPT_DATE "%Y-%m-%d" UTC)  # from SOURCE_DATE_EPOCH
    configure_file(doc/strcrypt.1.in ${PROJECT_BINARY_DIR}/strcrypt.1 @ONLY)
    strcrypt_gzip(strcrypt.1 ${CMAKE_INSTALL_MANDIR}/man1)

    # The release's entry in Debian's changelog format, which a native package carries.
    string(TIMESTAMP release_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
    file(WRITE ${PROJECT_BINARY_DIR}/changelog
        "strcrypt (${PROJECT_VERSION}) unstable; urgency=medium\n\n"
        "  * Release ${PROJECT_VERSION}.\n\n"
        " -- ${STRCRYPT_CONTACT}  ${release_date}\n")
    strcrypt_gzip(changelog ${CMAKE_INSTALL_DOCDIR})

    install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)  # as Debian names it
    install(CODE [[file(CHMOD ${strcrypt_made} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
                                GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)]])
endif()

set(CPACK_PACKAGE_NAME strcrypt)
set(CPACK_PACKAGE_CONTACT "${STRCRYPT_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "encode a text as clock-padded, TEA-enciphered hex")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "strcrypt takes one text on its command line after the keyword CRYPT and\n"
    "prints it encoded: wrapped with a pad count, a clock-seeded pad and a CRC-32,\n"
    "enciphered with TEA over overlapping 8-byte windows and written as\n"
    "uppercase hexadecimal.\n"
    "${STRCRYPT_KEY_NOTE}")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PackageFiles.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PackageFiles.cmake)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/CPackOptions.cmake)
set(CPACK_SOURCE_GENERATOR TGZ)
# cpack runs apart from CMake: the same time for what it packs; the source package takes
# only what git tracks (no build folder, no key).
file(WRITE ${PROJECT_BINARY_DIR}/CPackOptions.cmake
    "set(ENV{SOURCE_DATE_EPOCH} \"${STRCRYPT_SOURCE_DATE_EPOCH}\")\n"
    "set(ENV{TZ} UTC)  # a zip's times are local times: the same in every time zone\n"
    "if(CPACK_INSTALLED_DIRECTORIES)\n  include(\"${PROJECT_SOURCE_DIR}/cmake/SourcePackage.cmake\")\nendif()\n")

if(WIN32)
    set(CPACK_GENERATOR ZIP)
    math(EXPR bits "8 * ${CMAKE_SIZEOF_VOID_P}")
    set(CPACK_SYSTEM_NAME win${bits})  # strcrypt-<version>-win32.zip or -win64.zip
else()
    set(CPACK_GENERATOR DEB TGZ)
    set(CPACK_SYSTEM_NAME "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}")  # the .tar.gz's name
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)  # Depends from the program's libraries
endif()
include(CPack)

# The cipher key, from STRCRYPT_KEY or, better, the file STRCRYPT_KEY_FILE names (off
# command lines and out of the cache): writes the key source STRCRYPT_KEY_SOURCE, sets
# STRCRYPT_KEY_IS_DEFAULT and STRCRYPT_KEY_NOTE, the sentence the packages carry. Every
# build runs it again with -P and those three set, so that the key file as it is now,
# whatever its time stamp, reaches the program.
if(CMAKE_SCRIPT_MODE_FILE)
    cmake_minimum_required(VERSION 3.25)
    include(${CMAKE_CURRENT_LIST_DIR}/KeyParse.cmake)
    set(configured_default ${STRCRYPT_KEY_IS_DEFAULT})
else()
    set(STRCRYPT_KEY "" CACHE STRING
        "Cipher key: four 32-bit words k0..k3 in hex with 0x, comma-separated; empty for the public default")
    set(STRCRYPT_KEY_FILE "" CACHE FILEPATH "A file that holds the cipher key in the form of STRCRYPT_KEY")
    set(STRCRYPT_KEY_SOURCE ${PROJECT_BINARY_DIR}/encoder/crypt_key.cpp)
endif()

strcrypt_resolve_key("${STRCRYPT_KEY}" "${STRCRYPT_KEY_FILE}" key_words)
strcrypt_parse_key("${STRCRYPT_DEFAULT_KEY}" "the default key" default_words)
list(JOIN key_words ", " STRCRYPT_KEY_INITIALIZER)
if(key_words STREQUAL default_words)
    set(STRCRYPT_KEY_IS_DEFAULT 1)
    set(STRCRYPT_KEY_NOTE "${STRCRYPT_DEFAULT_KEY_NOTE}")
else()
    set(STRCRYPT_KEY_IS_DEFAULT 0)
    set(STRCRYPT_KEY_NOTE "${STRCRYPT_OWN_KEY_NOTE}")
endif()
if(CMAKE_SCRIPT_MODE_FILE AND NOT STRCRYPT_KEY_IS_DEFAULT EQUAL configured_default)
    message(FATAL_ERROR "strcrypt: the key file changed to or from the public default key: configure again")
endif()
# Its owner's alone, whatever the umask; rewritten only when the key changes.
configure_file(${CMAKE_CURRENT_LIST_DIR}/../encoder/crypt_key.cpp.in ${STRCRYPT_KEY_SOURCE} @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE)
if(CMAKE_SCRIPT_MODE_FILE)
    return()
elseif(STRCRYPT_KEY_IS_DEFAULT)
    message(NOTICE "strcrypt: ${STRCRYPT_KEY_NOTE}")
endif()
# A key file that stays (not a pipe) is read again at every build and when it is newer.
if(NOT STRCRYPT_KEY_FILE STREQUAL "" AND NOT STRCRYPT_KEY_FILE_KIND STREQUAL "pipe")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${STRCRYPT_KEY_FILE}")
    add_custom_target(strcrypt_key_source BYPRODUCTS ${STRCRYPT_KEY_SOURCE} VERBATIM
        COMMAND ${CMAKE_COMMAND} -DSTRCRYPT_KEY_FILE=${STRCRYPT_KEY_FILE} -DSTRCRYPT_KEY_IS_DEFAULT=${STRCRYPT_KEY_IS_DEFAULT}
                -DSTRCRYPT_KEY_SOURCE=${STRCRYPT_KEY_SOURCE} -P ${CMAKE_CURRENT_LIST_FILE})
endif()

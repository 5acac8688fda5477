# The cipher key built into the program, from STRCRYPT_KEY or, better, from the file
# named by STRCRYPT_KEY_FILE, which keeps the key off command lines and out of
# CMakeCache.txt (it still lands in the generated crypt_key.cpp). Sets
# STRCRYPT_KEY_INITIALIZER (C++ initializer list of the words), STRCRYPT_KEY_IS_DEFAULT,
# and STRCRYPT_KEY_NOTE, the sentence that the packages and the program's resource carry.
include(${CMAKE_CURRENT_LIST_DIR}/KeyParse.cmake)

set(STRCRYPT_KEY "" CACHE STRING
    "Cipher key: four 32-bit words k0..k3 in hex with 0x, comma-separated; empty for the public default")
set(STRCRYPT_KEY_FILE "" CACHE FILEPATH "A file that holds the cipher key in the form of STRCRYPT_KEY")

strcrypt_resolve_key("${STRCRYPT_KEY}" "${STRCRYPT_KEY_FILE}" key_words)
if(NOT STRCRYPT_KEY_FILE STREQUAL "")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${STRCRYPT_KEY_FILE}")
endif()
strcrypt_parse_key("${STRCRYPT_DEFAULT_KEY}" "the default key" default_words)
list(JOIN key_words ", " STRCRYPT_KEY_INITIALIZER)
if(key_words STREQUAL default_words)
    set(STRCRYPT_KEY_IS_DEFAULT 1)
    set(STRCRYPT_KEY_NOTE "${STRCRYPT_DEFAULT_KEY_NOTE}")
    message(NOTICE "strcrypt: ${STRCRYPT_KEY_NOTE}")
else()
    set(STRCRYPT_KEY_IS_DEFAULT 0)
    set(STRCRYPT_KEY_NOTE "${STRCRYPT_OWN_KEY_NOTE}")
endif()

# Reading the cipher key, in a project or `cmake -P`: four 32-bit words k0..k3, each in hex
# with 0x, separated by commas, white space allowed. A malformed key stops with a message
# that says where it came from and what is wrong, and never repeats the key.

set(STRCRYPT_DEFAULT_KEY "0x5EC7A2B1,0x0F3D94C6,0xA1E85B27,0x6C49D03E")
# What a build says of its key: in the configure, the packages and the version resource.
set(STRCRYPT_DEFAULT_KEY_NOTE "Built with the public default key: anyone can decode the texts it encodes.")
set(STRCRYPT_OWN_KEY_NOTE "Built with a key of its own.")

# strcrypt_key_fault(<text>): stops with <text>, after taking a refused key out of the cache.
function(strcrypt_key_fault text)
    unset(STRCRYPT_KEY CACHE)
    message(FATAL_ERROR "${text}")
endfunction()

# strcrypt_parse_key(<text> <source> <out>): the words of <text> in <out>, as a list of
# 0x-prefixed uppercase hex; <source> names the key in messages.
function(strcrypt_parse_key text source out_words)
    string(STRIP "${text}" text)
    if(text STREQUAL "")
        strcrypt_key_fault("${source}: the key is empty; it needs 4 comma-separated words k0..k3")
    endif()
    if(text MATCHES ";")
        strcrypt_key_fault("${source}: separate the words with commas, not semicolons")
    endif()
    string(REPLACE "," ";" items "${text}")
    list(LENGTH items count)
    if(NOT count EQUAL 4)
        strcrypt_key_fault("${source}: the key needs 4 comma-separated words k0..k3, found ${count}")
    endif()
    set(words "")
    set(index 0)
    foreach(item IN LISTS items)
        string(STRIP "${item}" item)
        if(item STREQUAL "")
            strcrypt_key_fault("${source}: word k${index} is empty")
        elseif(NOT item MATCHES "^0[xX]([0-9A-Fa-f]+)$")
            strcrypt_key_fault("${source}: word k${index} is not hexadecimal with a 0x prefix")
        endif()
        string(REGEX REPLACE "^0+(.)" "\\1" digits "${CMAKE_MATCH_1}")  # leading zeros, but one digit stays
        string(LENGTH "${digits}" length)
        if(length GREATER 8)
            strcrypt_key_fault("${source}: word k${index} does not fit in 32 bits")
        endif()
        string(TOUPPER "${digits}" digits)
        list(APPEND words "0x${digits}")
        math(EXPR index "${index} + 1")
    endforeach()
    set(${out_words} "${words}" PARENT_SCOPE)
endfunction()

# strcrypt_read_key_file(<file> <source> <out>): the text of a key file as editors save
# it: UTF-8 or ASCII with or without a byte-order mark (Notepad writes one), or UTF-16
# with one (Windows PowerShell 5.1's > and Out-File), any line ends. The file is read
# once, so that a pipe's key is read whole; a device, which might never end, is refused.
function(strcrypt_read_key_file file source out_text)
    set(plain_text "save it as plain text (UTF-8 or ASCII)")
    set(most 4096)
    if(IS_DIRECTORY "${file}")
        strcrypt_key_fault("${source}: this is a folder; name the file that holds the key")
    endif()
    math(EXPR limit "${most} + 1")  # one byte more than a key file may hold
    set(kind file)  # or pipe, for the build; else why the file is refused
    if(CMAKE_HOST_UNIX)
        # One read, through od, which reads a pipe as it comes (CMake's file(READ) seeks).
        execute_process(COMMAND sh -c [[
            if [ ! -e "$1" ]; then echo "there is no such file"
            elif [ ! -f "$1" ] && [ ! -p "$1" ]; then
                echo "this is a device or another special file; name the file that holds the key"
            elif [ ! -r "$1" ]; then echo "you may not read this file; check its permissions"
            else { [ -p "$1" ] && echo pipe || echo file; } && od -An -v -tx1 -N "$2" "$1"
            fi]] sh "${file}" ${limit} OUTPUT_VARIABLE hex)
        string(REGEX REPLACE "^([a-z][^\n]*)\n" "" hex "${hex}")  # od's lines begin with a space
        set(kind "${CMAKE_MATCH_1}")
        string(REGEX REPLACE "[ \n]" "" hex "${hex}")
    elseif(EXISTS "${file}")
        file(READ "${file}" hex HEX LIMIT ${limit})
    else()
        set(kind "there is no such file")
    endif()
    if(NOT kind MATCHES "^(file|pipe)$")
        strcrypt_key_fault("${source}: ${kind}")
    endif()
    set(STRCRYPT_KEY_FILE_KIND ${kind} PARENT_SCOPE)
    string(LENGTH "${hex}" digits)
    math(EXPR size "${digits} / 2")
    if(size GREATER most)
        strcrypt_key_fault("${source}: the file holds more than ${most} bytes, far more than a key")
    endif()
    set(ascii "(0[1-9a-f]|[1-7][0-9a-f])")  # the hex of a byte of a character of ASCII but NUL
    if(hex MATCHES "^(fffe0000|0000feff)")
        strcrypt_key_fault("${source}: the file is UTF-32; ${plain_text}")
    elseif(hex MATCHES "^(fffe|feff)(.*)")
        # UTF-16: the key is ASCII, so every unit must be one ASCII character.
        math(EXPR odd "${digits} % 4")
        set(bom "${CMAKE_MATCH_1}")
        set(hex "${CMAKE_MATCH_2}")
        if(NOT odd EQUAL 0)
            strcrypt_key_fault("${source}: the file is UTF-16 with an odd number of bytes; ${plain_text}")
        elseif(bom STREQUAL "fffe" AND hex MATCHES "^(${ascii}00)*$")
            string(REGEX REPLACE "(..)00" "\\1" hex "${hex}")  # little-endian
        elseif(bom STREQUAL "feff" AND hex MATCHES "^(00${ascii})*$")
            string(REGEX REPLACE "00(..)" "\\1" hex "${hex}")
        else()
            strcrypt_key_fault("${source}: the file is UTF-16 with characters other than ASCII; ${plain_text}")
        endif()
    elseif(hex MATCHES "^(..)*00")
        strcrypt_key_fault("${source}: the file holds zero bytes, as UTF-16 without a byte-order mark does; ${plain_text}")
    else()
        string(REGEX REPLACE "^efbbbf" "" hex "${hex}")  # the UTF-8 byte-order mark
    endif()
    string(REGEX MATCHALL ".." units "${hex}")
    # A byte of a character other than ASCII, which no key has, stands as '?'.
    list(TRANSFORM units REPLACE "^[89a-f].$" "3f")
    set(codes "")
    foreach(unit IN LISTS units)
        math(EXPR code "0x${unit}")
        list(APPEND codes ${code})
    endforeach()
    set(text "")
    if(codes)
        string(ASCII ${codes} text)
    endif()
    set(${out_text} "${text}" PARENT_SCOPE)
endfunction()

# strcrypt_resolve_key(<key> <key_file> <out>): the words of the key given as <key>, or
# in the file <key_file>, or the default key when both are empty.
function(strcrypt_resolve_key key key_file out_words)
    if(NOT key STREQUAL "" AND NOT key_file STREQUAL "")
        strcrypt_key_fault("STRCRYPT_KEY and STRCRYPT_KEY_FILE are both set: give the key one way")
    endif()
    # A key typed into the wrong variable: hex words, with or without 0x, and separators.
    set(word "[ \t]*(0[xX])?[0-9A-Fa-f]+[ \t]*")
    if(key_file MATCHES "^${word}([,;]${word})+$")
        unset(STRCRYPT_KEY_FILE CACHE)
        strcrypt_key_fault("STRCRYPT_KEY_FILE holds key words, not a file's path: put the key in a file and name the file")
    elseif(NOT key_file STREQUAL "")
        set(source "STRCRYPT_KEY_FILE '${key_file}'")
        strcrypt_read_key_file("${key_file}" "${source}" key)
        set(STRCRYPT_KEY_FILE_KIND "${STRCRYPT_KEY_FILE_KIND}" PARENT_SCOPE)
    elseif(NOT key STREQUAL "")
        set(source "STRCRYPT_KEY")
    else()
        set(source "the default key")
        set(key "${STRCRYPT_DEFAULT_KEY}")
    endif()
    strcrypt_parse_key("${key}" "${source}" words)
    set(${out_words} "${words}" PARENT_SCOPE)
endfunction()

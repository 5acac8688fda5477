# What becomes of the key in a build, run by the host's CMake:
#   cmake -DCHECK=given -DBUILD_DIR=<build> -DPROGRAM_TESTS=<exe> [-DEMULATOR=<cmd>] -P key_in_build.cmake
#     The build carries the key it was given, and says which kind it is. The key is taken
#     from where the user put it (STRCRYPT_KEY or the file STRCRYPT_KEY_FILE names, read
#     now), never from the generated source, and the program's own output must decipher
#     under it (Key.ProgramCarriesTheGivenKey in the program tests).
#   cmake -DCHECK=build -DSOURCE_DIR=<src> -DWORK_DIR=<dir> -DGENERATOR=<gen> -P key_in_build.cmake
#     An in-source build is refused and leaves the key nowhere; a scratch build with a
#     key of its own is its owner's alone, and an edited key file reaches the next build;
#     its source package holds what git tracks and no more. Added to another project, it
#     builds the program alone. On a POSIX host: a configure that fails leaves its folder
#     private and no refused key in its cache, and a keyed subproject makes both its
#     folder and the host's private.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/KeyParse.cmake)

function(fail)
    list(JOIN ARGN "" text)
    message(FATAL_ERROR "${text}")
endfunction()

# Runs a command; on a POSIX host under the usual umask 022, so that an open folder shows.
function(run)
    if(CMAKE_HOST_UNIX)
        set(umask sh -c "umask 022 && exec \"$@\"" sh)
    endif()
    execute_process(COMMAND ${umask} ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
    set(status "${status}" PARENT_SCOPE)
    set(out "${out}" PARENT_SCOPE)
endfunction()

# Fails, naming `what`, unless on a POSIX host the paths after it have the octal `modes`.
function(expect_modes modes what)
    if(CMAKE_HOST_UNIX)
        run(stat -c %a ${ARGN})
        string(STRIP "${out}" out)
        string(REPLACE "\n" " " out "${out}")
        if(NOT out STREQUAL modes)
            fail("${what} at modes ${out}, not ${modes}")
        endif()
    endif()
endfunction()

if(CHECK STREQUAL "given")
    file(STRINGS "${BUILD_DIR}/CMakeCache.txt" entries REGEX "^STRCRYPT_KEY(_FILE)?:")
    set(key "")
    set(key_file "")
    foreach(entry IN LISTS entries)
        if(entry MATCHES "^STRCRYPT_KEY:[A-Z]+=(.*)$")
            set(key "${CMAKE_MATCH_1}")
        elseif(entry MATCHES "^STRCRYPT_KEY_FILE:[A-Z]+=(.*)$")
            set(key_file "${CMAKE_MATCH_1}")
        endif()
    endforeach()
    strcrypt_resolve_key("${key}" "${key_file}" words)
    strcrypt_parse_key("${STRCRYPT_DEFAULT_KEY}" "the default key" default_words)
    if(words STREQUAL default_words)
        set(note "${STRCRYPT_DEFAULT_KEY_NOTE}")
    else()
        set(note "${STRCRYPT_OWN_KEY_NOTE}")
    endif()
    file(READ "${BUILD_DIR}/CPackConfig.cmake" packaging)
    string(FIND "${packaging}" "${note}" found)
    if(found EQUAL -1)
        fail("the packages do not say '${note}'")
    endif()

    # In the environment, which only its owner can read, never on a command line.
    list(JOIN words "," given)
    set(ENV{STRCRYPT_GIVEN_KEY} "${given}")
    run(${EMULATOR} ${PROGRAM_TESTS} --gtest_filter=Key.ProgramCarriesTheGivenKey)
    if(NOT status EQUAL 0 OR NOT out MATCHES "PASSED  \\] 1 test")
        fail("the program does not carry the key it was given:\n${out}")
    endif()
    message(STATUS "the program carries the key it was given; the packages say '${note}'")

elseif(CHECK STREQUAL "build")
    # Keys that stand nowhere else in the tree, so that a search for them finds only copies.
    set(key_a "0x1DEA5EED,0x2DEA5EED,0x3DEA5EED,0x4DEA5EED")
    set(key_b "0x1B0A7ED5,0x2B0A7ED5,0x3B0A7ED5,0x4B0A7ED5")
    set(hex_a "ed5eea1ded5eea2ded5eea3ded5eea4d")  # key_a's words, least significant byte first
    set(hex_b "d57e0a1bd57e0a2bd57e0a3bd57e0a4b")

    # In the source tree: refused before the key is written anywhere.
    set(tree "${WORK_DIR}/in-source")
    file(REMOVE_RECURSE "${tree}")
    file(MAKE_DIRECTORY "${tree}")
    file(COPY "${SOURCE_DIR}/CMakeLists.txt" "${SOURCE_DIR}/cmake" DESTINATION "${tree}")
    run(${CMAKE_COMMAND} -S "${tree}" -B "${tree}" -G "${GENERATOR}" -DSTRCRYPT_KEY=${key_a})
    if(status EQUAL 0 OR NOT out MATCHES "build in a folder of its own")
        fail("an in-source build was not refused:\n${out}")
    endif()
    file(GLOB_RECURSE written "${tree}/*")
    foreach(path IN LISTS written)
        file(STRINGS "${path}" hits REGEX "1DEA5EED")
        if(hits)
            fail("the refused in-source build left the key in ${path}")
        endif()
    endforeach()

    # A build from a key file; the file is edited, and the next build has the new key.
    set(build "${WORK_DIR}/scratch")
    set(key_file "${WORK_DIR}/scratch.key")
    file(REMOVE_RECURSE "${build}")
    file(WRITE "${key_file}" "${key_a}\n")
    run(${CMAKE_COMMAND} -S "${SOURCE_DIR}" -B "${build}" -G "${GENERATOR}"
        -DCMAKE_BUILD_TYPE=Debug -DSTRCRYPT_BUILD_TESTS=OFF -DSTRCRYPT_BUILD_BENCH=OFF
        -DSTRCRYPT_KEY_FILE=${key_file})
    if(NOT status EQUAL 0)
        fail("configuring a scratch build failed:\n${out}")
    endif()
    expect_modes("600 700" "the key source and the build folder are" "${build}/encoder/crypt_key.cpp" "${build}")
    foreach(step a b)
        if(step STREQUAL "b")
            file(WRITE "${key_file}" "${key_b}\n")
        endif()
        run(${CMAKE_COMMAND} --build "${build}" --target strcrypt --config Debug)
        if(NOT status EQUAL 0)
            fail("building the scratch program with key ${step} failed:\n${out}")
        endif()
        # A multi-config generator puts it in a folder named for the configuration.
        file(GLOB program "${build}/strcrypt" "${build}/strcrypt.exe" "${build}/Debug/strcrypt"
             "${build}/Debug/strcrypt.exe")
        file(READ "${program}" binary HEX)
        string(FIND "${binary}" "${hex_${step}}" found)
        if(found EQUAL -1)
            fail("the scratch program does not carry key ${step}")
        endif()
    endforeach()
    string(FIND "${binary}" "${hex_a}" found)
    if(NOT found EQUAL -1)
        fail("the scratch program still carries the key from before the file was edited")
    endif()

    # The source package holds what git tracks: neither this build, inside the tree, nor its key.
    run(git -C "${SOURCE_DIR}" -c core.quotePath=false ls-files)
    if(status EQUAL 0)
        string(REGEX REPLACE "\n$" "" tracked "${out}")
        string(REPLACE "\n" ";" tracked "${tracked}")
        run(${CMAKE_COMMAND} --build "${build}" --target package_source)
        file(GLOB tarball "${build}/packages/*-Source.tar.gz")
        run(${CMAKE_COMMAND} -E tar tf "${tarball}")
        cmake_path(GET tarball FILENAME top)
        string(REPLACE ".tar.gz" "/" top "${top}")
        string(REPLACE "${top}" "" packed "${out}")  # the paths below the top folder
        string(REGEX REPLACE "\n$" "" packed "${packed}")
        string(REPLACE "\n" ";" packed "${packed}")
        list(FILTER packed EXCLUDE REGEX "(^|/)$")  # the folders
        list(SORT packed)
        list(SORT tracked)
        if(NOT packed STREQUAL tracked)
            list(JOIN packed "\n" packed)
            fail("the source package does not hold exactly what git tracks:\n${packed}")
        endif()
    endif()

    if(CMAKE_HOST_UNIX)
        # A configure that fails, for want of a compiler or for a malformed key, leaves its
        # folder private and the refused key out of its cache.
        foreach(case compiler key)
            set(dir "${WORK_DIR}/failed-${case}")
            file(REMOVE_RECURSE "${dir}")
            set(given -DSTRCRYPT_KEY=${key_a})
            if(case STREQUAL "compiler")
                list(APPEND given -DCMAKE_CXX_COMPILER=/nonexistent/c++)
            else()
                string(REPLACE "4DEA5EED" "4DEA5EEG" given "${given}")
            endif()
            run(${CMAKE_COMMAND} -S "${SOURCE_DIR}" -B "${dir}" -G "${GENERATOR}" ${given})
            if(status EQUAL 0)
                fail("a configure with a bad ${case} did not fail")
            endif()
            expect_modes(700 "a configure that failed for its ${case} left its folder" "${dir}")
            file(STRINGS "${dir}/CMakeCache.txt" hits REGEX "DEA5EE")
            if(case STREQUAL "key" AND hits)
                fail("the refused key stays in the cache: ${hits}")
            endif()
        endforeach()

    endif()

    # Added to another project: the program alone, with none of the tests, the benchmark or
    # the packaging. Given a key, its folder and the host's, which holds the cache, are private.
    set(host "${WORK_DIR}/host")
    set(sub "${host}/build/strcrypt")
    file(REMOVE_RECURSE "${host}")
    file(WRITE "${host}/CMakeLists.txt" "cmake_minimum_required(VERSION 3.25)\n"
         "project(host LANGUAGES NONE)\nadd_subdirectory(\"${SOURCE_DIR}\" strcrypt)\n")
    run(${CMAKE_COMMAND} -S "${host}" -B "${host}/build" -G "${GENERATOR}"
        -DCMAKE_BUILD_TYPE=Debug -DSTRCRYPT_KEY_FILE=${key_file})
    if(NOT status EQUAL 0)
        fail("configuring strcrypt as a keyed subproject failed:\n${out}")
    endif()
    expect_modes("700 700" "a keyed subproject leaves the host's folder and its own" "${host}/build" "${sub}")
    run(${CMAKE_COMMAND} --build "${host}/build" --config Debug)
    file(GLOB program "${sub}/strcrypt" "${sub}/strcrypt.exe" "${sub}/Debug/strcrypt" "${sub}/Debug/strcrypt.exe")
    run(${program} CRYPT subproject)
    if(NOT out MATCHES "^endecoded string")
        fail("strcrypt as a subproject printed: ${out}")
    endif()
    foreach(path "${host}/build/CPackConfig.cmake" "${sub}/CTestTestfile.cmake" "${sub}/tests" "${sub}/bench")
        if(EXISTS "${path}")
            fail("strcrypt as a subproject brings in tests, benchmarks or packaging: ${path}")
        endif()
    endforeach()
    file(REMOVE_RECURSE "${build}" "${tree}" "${WORK_DIR}/failed-compiler" "${WORK_DIR}/failed-key" "${host}")
    message(STATUS "in-source build refused; key source private; an edited key file reaches the build; "
                   "the source package holds what git tracks; failed configures stay private; "
                   "a subproject builds the program alone, in private folders")

else()
    fail("CHECK must be given or build")
endif()

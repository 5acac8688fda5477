# What becomes of the key in a build, run by the host's CMake:
#   cmake -DCHECK=given -DBUILD_DIR=<build> -DPROGRAM_TESTS=<exe> [-DEMULATOR=<cmd>] -P key_in_build.cmake
#     The build carries the key it was given, and says which kind it is. The key is taken
#     from where the user put it (STRCRYPT_KEY or the file STRCRYPT_KEY_FILE names, read
#     now), never from the generated source, and the program's own output must decipher
#     under it (Key.ProgramCarriesTheGivenKey in the program tests).
#   cmake -DCHECK=build -DSOURCE_DIR=<src> -DWORK_DIR=<dir> -DGENERATOR=<gen> -P key_in_build.cmake
#     An in-source build, also through a link, is refused and leaves the key nowhere; a
#     scratch build with a key of its own is its owner's alone, and the key file as it is
#     now reaches every build; a keyed build folder in a clone is out of git's sight, and
#     the source package holds what git tracks and no more. Without GoogleTest the presets
#     stop. Added to another project, it builds the program alone. On a POSIX host: a
#     configure that fails, or that cannot make its folder private, leaves no key in its
#     cache, and a keyed subproject makes both its folder and the host's private.
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
    file(CHMOD "${tree}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
         WORLD_READ WORLD_EXECUTE)
    file(COPY "${SOURCE_DIR}/CMakeLists.txt" "${SOURCE_DIR}/cmake" DESTINATION "${tree}")
    file(CREATE_LINK "${tree}" "${WORK_DIR}/in-source-link" SYMBOLIC)
    foreach(source "${tree}" "${WORK_DIR}/in-source-link")  # the tree, and a link to it
        run(${CMAKE_COMMAND} -S "${source}" -B "${tree}" -G "${GENERATOR}" -DSTRCRYPT_KEY=${key_a})
        if(status EQUAL 0 OR NOT out MATCHES "build in a folder of its own")
            fail("an in-source build from ${source} was not refused:\n${out}")
        endif()
    endforeach()
    expect_modes(755 "a refused in-source build left the tree" "${tree}")
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
    set(hex_c "${hex_a}")
    foreach(step a b c)
        if(step STREQUAL "b")
            file(WRITE "${key_file}" "${key_b}\n")
        elseif(step STREQUAL "c" AND CMAKE_HOST_UNIX)  # an older file copied over it, as a backup is
            file(WRITE "${key_file}.old" "${key_a}\n")
            run(touch -d 2001-09-09 "${key_file}.old")
            run(cp -p "${key_file}.old" "${key_file}")
        elseif(step STREQUAL "c")
            break()
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
            fail("the scratch program does not carry key ${step} (the key file's as it is now)")
        endif()
    endforeach()

    # A clone of the tree with its changes, at a path with spaces, with a keyed build folder
    # inside it and untracked files whose names git quotes or begin a tracked one's: git
    # does not see the build folder, and the source package holds what git tracks and the
    # commit's time, and nothing else.
    run(git --version)
    if(status EQUAL 0)
        set(clone "${WORK_DIR}/with space/strcrypt")
        file(REMOVE_RECURSE "${WORK_DIR}/with space")
        run(git clone -q "${SOURCE_DIR}" "${clone}")
        execute_process(COMMAND git -C "${SOURCE_DIR}" diff HEAD --binary
                        COMMAND git -C "${clone}" apply --index --allow-empty)
        set(untracked READ "my \"old\" key.txt")
        if(CMAKE_HOST_UNIX)
            list(APPEND untracked "back\\slash.key" "tab\there.key")
        endif()
        foreach(name IN LISTS untracked)
            file(WRITE "${clone}/${name}" "${key_a}\n")
        endforeach()
        run(${CMAKE_COMMAND} -S "${clone}" -B "${clone}/mybuild" -G "${GENERATOR}" -DSTRCRYPT_BUILD_TESTS=OFF
            -DSTRCRYPT_BUILD_BENCH=OFF -DSTRCRYPT_KEY_FILE=${key_file})
        run(git -C "${clone}" status --porcelain)
        if(out MATCHES "mybuild")
            fail("git sees the keyed build folder inside the tree:\n${out}")
        endif()
        run(git -C "${clone}" -c core.quotePath=false ls-files)
        string(REGEX REPLACE "\n$" "" tracked "${out}")
        string(REPLACE "\n" ";" tracked "SOURCE_DATE_EPOCH\n${tracked}")
        run(${CMAKE_COMMAND} --build "${clone}/mybuild" --target package_source)
        if(NOT status EQUAL 0)
            fail("package_source failed:\n${out}")
        endif()
        file(GLOB tarball "${clone}/mybuild/packages/*-Source.tar.gz")
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
        run(${CMAKE_COMMAND} -E chdir "${clone}/mybuild" ${CMAKE_COMMAND} -E tar xf "${tarball}")
        file(READ "${clone}/mybuild/${top}SOURCE_DATE_EPOCH" packed_time)
        run(git -C "${clone}" log -1 --format=%ct)
        if(NOT packed_time STREQUAL out)
            fail("the source package carries the time ${packed_time}, not the commit's, ${out}")
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

        # A host that cannot run 32-bit programs, where Wine's 32-bit loader fails as it does
        # there: the 32-bit Windows configure says so at once.
        file(WRITE "${WORK_DIR}/wine-i386" "not a program this host runs\n")
        file(CHMOD "${WORK_DIR}/wine-i386" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
        run(${CMAKE_COMMAND} -S "${SOURCE_DIR}" -B "${WORK_DIR}/no-x86" -G "${GENERATOR}"
            "--toolchain=${SOURCE_DIR}/cmake/toolchains/mingw-w64.cmake" "-DSTRCRYPT_WINE=${WORK_DIR}/wine-i386")
        string(REGEX REPLACE "\n *" " " out "${out}")
        if(status EQUAL 0 OR NOT out MATCHES "this host does not run 32-bit x86 programs")
            fail("a 32-bit Windows configure on a host without 32-bit programs did not say so:\n${out}")
        endif()

        # Another user's shared folder, which cannot be made private: the configure stops and
        # the key stays out of its cache. Only root can lend a folder to another user.
        run(id -u)
        if(out STREQUAL "0\n")
            string(RANDOM LENGTH 12 tag)
            set(shared "/tmp/strcrypt-shared-${tag}")
            file(MAKE_DIRECTORY "${shared}/build")
            file(COPY "${SOURCE_DIR}/CMakeLists.txt" "${SOURCE_DIR}/cmake" DESTINATION "${shared}/src"
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE WORLD_READ DIRECTORY_PERMISSIONS
                 OWNER_READ OWNER_WRITE OWNER_EXECUTE WORLD_READ WORLD_EXECUTE)
            file(CHMOD "${shared}" "${shared}/src" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
                 WORLD_READ WORLD_EXECUTE)
            file(CHMOD "${shared}/build" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE WORLD_READ
                 WORLD_WRITE WORLD_EXECUTE)
            run(setpriv --reuid=65534 --regid=65534 --clear-groups ${CMAKE_COMMAND} -S "${shared}/src"
                -B "${shared}/build" -G "${GENERATOR}" -DSTRCRYPT_KEY=${key_a})
            file(STRINGS "${shared}/build/CMakeCache.txt" hits REGEX "DEA5EE")
            file(REMOVE_RECURSE "${shared}")
            if(status EQUAL 0 OR NOT out MATCHES "folder cannot hold the key" OR hits)
                fail("a keyed configure into another user's folder did not stop, or kept the key:\n${out}")
            endif()
        else()
            message(STATUS "not root: a keyed configure into another user's folder is left untried")
        endif()

    endif()

    # Without GoogleTest, a preset that runs the suite stops and names the package to install;
    # a plain configure goes on without those tests and says how many it leaves out.
    set(no_gtest -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON "-DSTRCRYPT_GTEST_SOURCES=${WORK_DIR}/none")
    run(${CMAKE_COMMAND} --preset test -S "${SOURCE_DIR}" -B "${WORK_DIR}/no-gtest-preset" ${no_gtest})
    string(REGEX REPLACE "\n *" " " out "${out}")  # CMake wraps long messages
    if(status EQUAL 0 OR NOT out MATCHES "suite needs GoogleTest.*install Debian.s libgtest-dev")
        fail("the test preset without GoogleTest did not stop naming libgtest-dev:\n${out}")
    endif()
    run(${CMAKE_COMMAND} -S "${SOURCE_DIR}" -B "${WORK_DIR}/no-gtest" -G "${GENERATOR}" ${no_gtest})
    string(REGEX REPLACE "\n *" " " out "${out}")
    if(NOT status EQUAL 0 OR NOT out MATCHES "\\(([0-9]+) GoogleTest tests\\) are left out" OR CMAKE_MATCH_1 LESS 20)
        fail("a plain configure without GoogleTest did not say what it leaves out:\n${out}")
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
    file(REMOVE_RECURSE "${build}" "${tree}" "${WORK_DIR}/failed-compiler" "${WORK_DIR}/failed-key" "${host}"
         "${WORK_DIR}/with space" "${WORK_DIR}/no-gtest-preset" "${WORK_DIR}/no-gtest" "${WORK_DIR}/in-source-link" "${WORK_DIR}/no-x86")
    message(STATUS "in-source builds refused; key source private; an edited key file reaches the build; "
                   "the source package holds what git tracks; failed configures stay private; "
                   "presets need GoogleTest; a subproject builds the program alone, in private folders")

else()
    fail("CHECK must be given or build")
endif()

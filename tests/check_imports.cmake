# cmake -DOBJDUMP=... -DPROGRAM=... -DBITS=32|64 -P check_imports.cmake
# Fails unless the program imports only the DLLs it imports today, all of which every
# Windows installation has (a new one is a choice to make here, on purpose), and none of
# the calls that a thread library brings in and that antivirus heuristics take for
# process injection; and unless it is hardened: loaded at a random address
# (DYNAMIC_BASE; a 64-bit one anywhere in its address space, HIGH_ENTROPY_VA), its data
# not executable (NX_COMPAT), its stack protected.
cmake_minimum_required(VERSION 3.25)
# The C runtime, the system, and the stack protector's canary seed (CryptGenRandom).
set(system_dlls kernel32.dll msvcrt.dll advapi32.dll)
set(suspect_calls SetSystemTime SuspendThread GetThreadContext SetThreadContext OpenProcess)

execute_process(COMMAND "${OBJDUMP}" -p -t "${PROGRAM}" OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "${OBJDUMP} -p -t ${PROGRAM} failed")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
if(NOT imports)
    message(FATAL_ERROR "no imports found in ${PROGRAM}")
endif()
foreach(line IN LISTS imports)
    string(REPLACE "DLL Name: " "" dll "${line}")
    string(TOLOWER "${dll}" dll)
    if(NOT dll IN_LIST system_dlls)
        message(FATAL_ERROR "${PROGRAM} imports ${dll}, which it did not before")
    endif()
    message(STATUS "imports ${dll}")
endforeach()
foreach(call IN LISTS suspect_calls)
    if(dump MATCHES "[ \t]${call}[\r\n]")
        message(FATAL_ERROR "${PROGRAM} imports ${call}")
    endif()
endforeach()
set(format "PE32")
set(flags DYNAMIC_BASE NX_COMPAT)
if(BITS EQUAL 64)
    set(format "PE32\\+")
    list(APPEND flags HIGH_ENTROPY_VA)
endif()
if(NOT dump MATCHES "\nMagic[\t ]+[0-9a-f]+[\t ]+\\(${format}\\)\n")
    message(FATAL_ERROR "${PROGRAM} is not a ${BITS}-bit program")
endif()
foreach(flag IN LISTS flags)
    if(NOT dump MATCHES "DllCharacteristics[^\n]*\n([\t ]+[A-Z_]+\n)*[\t ]+${flag}\n")
        message(FATAL_ERROR "${PROGRAM} lacks ${flag} in its DLL characteristics")
    endif()
endforeach()
# The symbol table of the unstripped program: the canary's check is linked in.
if(NOT dump MATCHES "[ \t]___?stack_chk_fail[\r\n]")
    message(FATAL_ERROR "${PROGRAM} has no stack protector (__stack_chk_fail)")
endif()

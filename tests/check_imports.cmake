# cmake -DOBJDUMP=... -DPROGRAM=... -P check_imports.cmake
# Fails unless the program imports only DLLs that every Windows installation has, and
# none of the calls that a thread library brings in and that antivirus heuristics take
# for process injection.
cmake_minimum_required(VERSION 3.25)
set(system_dlls kernel32.dll msvcrt.dll advapi32.dll user32.dll ws2_32.dll shell32.dll)
set(suspect_calls SetSystemTime SuspendThread GetThreadContext SetThreadContext OpenProcess)

execute_process(COMMAND "${OBJDUMP}" -p "${PROGRAM}" OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "${OBJDUMP} -p ${PROGRAM} failed")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
if(NOT imports)
    message(FATAL_ERROR "no imports found in ${PROGRAM}")
endif()
foreach(line IN LISTS imports)
    string(REPLACE "DLL Name: " "" dll "${line}")
    string(TOLOWER "${dll}" dll)
    if(NOT dll IN_LIST system_dlls)
        message(FATAL_ERROR "${PROGRAM} needs ${dll}, which Windows does not ship")
    endif()
    message(STATUS "imports ${dll}")
endforeach()
foreach(call IN LISTS suspect_calls)
    if(dump MATCHES "[ \t]${call}[\r\n]")
        message(FATAL_ERROR "${PROGRAM} imports ${call}")
    endif()
endforeach()

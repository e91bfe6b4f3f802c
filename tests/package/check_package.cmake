cmake_minimum_required(VERSION 3.25)
# Runs CPack, then checks the zip's contents and that velmora.exe imports
# nothing but DLLs every Windows has.
execute_process(COMMAND ${CMAKE_CPACK_COMMAND} --config ${BINARY_DIR}/CPackConfig.cmake
  WORKING_DIRECTORY ${BINARY_DIR} RESULT_VARIABLE result OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${output}")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${ZIP}
  RESULT_VARIABLE result OUTPUT_VARIABLE listing)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot list ${ZIP}")
endif()
foreach(expected velmora.exe README.md docs/screenshot-main.png)
  string(FIND "${listing}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${ZIP} lacks ${expected}; it holds:\n${listing}")
  endif()
endforeach()
string(REGEX MATCHALL "[^\n]*\\.dll" dlls "${listing}")
if(dlls)
  message(FATAL_ERROR "the zip carries DLLs: ${dlls}")
endif()

execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE imports RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${EXE}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]*" names "${imports}")
set(system_dlls advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll
    shell32.dll user32.dll version.dll)
# Loaded only for an elevated start, never with the program: mapping them at
# start-up costs time before the window shows.
set(loaded_on_demand ole32.dll shell32.dll)
foreach(entry ${names})
  string(REPLACE "DLL Name: " "" dll "${entry}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" dll)
  if(dll IN_LIST loaded_on_demand)
    message(FATAL_ERROR "velmora.exe imports ${dll}, which it should load only when it elevates")
  endif()
  if(NOT dll IN_LIST system_dlls AND NOT dll MATCHES "^api-ms-win-")
    message(FATAL_ERROR "velmora.exe needs ${dll}, which Windows does not ship")
  endif()
endforeach()
message(STATUS "package ok: ${listing}")

cmake_minimum_required(VERSION 3.25)
# Makes the release zip, then checks the zip's contents and that velmora.exe
# imports nothing but DLLs every Windows has.
execute_process(COMMAND ${CMAKE_COMMAND} -DBINARY_DIR=${BINARY_DIR} -DSOURCE_DIR=${SOURCE_DIR}
  -DZIP=${ZIP} -P ${SOURCE_DIR}/cmake/release_zip.cmake
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "making the zip failed:\n${output}")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${ZIP}
  RESULT_VARIABLE result OUTPUT_VARIABLE listing)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot list ${ZIP}")
endif()
foreach(expected velmora.exe LICENSE readme.txt README.md docs/screenshot-main.png)
  string(FIND "${listing}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${ZIP} lacks ${expected}; it holds:\n${listing}")
  endif()
endforeach()
string(REGEX MATCHALL "[^\n]*\\.dll" dlls "${listing}")
if(dlls)
  message(FATAL_ERROR "the zip carries DLLs: ${dlls}")
endif()

# The users' readme, read back from the zip: UTF-8 with a byte-order mark (so
# Notepad never guesses the code page), CRLF line ends throughout, and its
# first line names the version that velmora.exe's version resource is made
# from (VERSION, the project's).
set(unpacked ${BINARY_DIR}/package-check)
file(REMOVE_RECURSE ${unpacked})
file(MAKE_DIRECTORY ${unpacked})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${ZIP} readme.txt
  WORKING_DIRECTORY ${unpacked} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot unpack readme.txt from ${ZIP}")
endif()
file(READ ${unpacked}/readme.txt readme_hex HEX)
if(NOT readme_hex MATCHES "^efbbbf")
  message(FATAL_ERROR "readme.txt does not start with the UTF-8 byte-order mark")
endif()
# Whole UTF-8 sequences (shortest forms, no surrogates, up to U+10FFFF) taken
# off from the left in step with the bytes: anything left is not UTF-8.
set(tail "[89ab][0-9a-f]")
string(REGEX REPLACE "[0-7][0-9a-f]|(c[2-9a-f]|d[0-9a-f])${tail}|(e0[ab][0-9a-f]|e[1-9a-cef]${tail}|ed[89][0-9a-f])${tail}|(f0[9ab][0-9a-f]|f[1-3]${tail}|f48[0-9a-f])${tail}${tail}"
  "" invalid "${readme_hex}")
if(NOT invalid STREQUAL "")
  message(FATAL_ERROR "readme.txt is not valid UTF-8")
endif()
# Line ends on the bytes, one per word (file(READ) as text drops every CR):
# with each CR LF pair taken out, no CR or LF may remain.
string(REGEX REPLACE "(..)" " \\1" bytes "${readme_hex}")
string(REPLACE " 0d 0a" "" bare_ends "${bytes}")
string(REGEX MATCH " 0[ad]" bare_end "${bare_ends}")
if(bare_end OR NOT bytes MATCHES " 0d 0a$")
  message(FATAL_ERROR "readme.txt has a line end that is not CRLF, or does not end with one")
endif()
file(STRINGS ${unpacked}/readme.txt first_line LIMIT_COUNT 1 ENCODING UTF-8)
string(REPLACE "." "\\." version_pattern "${VERSION}")
if(NOT first_line MATCHES "Velmora ${version_pattern}( |$)")
  message(FATAL_ERROR "readme.txt's first line '${first_line}' does not name Velmora ${VERSION}")
endif()

# A release anyone can check and repeat: the checksum file is right, the zip's
# entries are in sorted order, the PE header carries no link time and nothing
# in the exe names the folders it was built in.
file(STRINGS ${ZIP}.sha256 checksum_line)
file(SHA256 ${ZIP} zip_hash)
get_filename_component(zip_name ${ZIP} NAME)
if(NOT checksum_line STREQUAL "${zip_hash}  ${zip_name}")
  message(FATAL_ERROR "${ZIP}.sha256 holds '${checksum_line}', not '${zip_hash}  ${zip_name}'")
endif()
string(REGEX MATCHALL "[^\n]+" entries "${listing}")
set(sorted_entries ${entries})
list(SORT sorted_entries)
if(NOT entries STREQUAL sorted_entries)
  message(FATAL_ERROR "the zip's entries are not in sorted order: ${entries}")
endif()
# The COFF header follows the "PE\0\0" signature whose offset is at 0x3c;
# its time stamp is 4 bytes in.
file(READ ${EXE} pe_offset_hex OFFSET 60 LIMIT 4 HEX)
string(REGEX REPLACE "(..)(..)(..)(..)" "0x\\4\\3\\2\\1" pe_offset_hex "${pe_offset_hex}")
math(EXPR stamp_offset "${pe_offset_hex} + 8")
file(READ ${EXE} pe_stamp OFFSET ${stamp_offset} LIMIT 4 HEX)
if(NOT pe_stamp STREQUAL "00000000")
  message(FATAL_ERROR "velmora.exe's PE time stamp is ${pe_stamp}, not zero: the link time got in")
endif()
file(READ ${EXE} exe_hex HEX)
foreach(folder ${SOURCE_DIR} ${BINARY_DIR})
  string(HEX "${folder}" folder_hex)
  string(FIND "${exe_hex}" "${folder_hex}" at)
  if(NOT at EQUAL -1)
    math(EXPR at "${at} / 2")
    message(FATAL_ERROR "velmora.exe names the build folder ${folder} at byte ${at}")
  endif()
endforeach()

execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE imports RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${EXE}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]*" names "${imports}")
# Exactly these: DLLs the loader takes from the system (known DLLs, and common
# controls through the manifest).  Any other DLL, say oleacc.dll, msi.dll or
# version.dll, would be searched for beside the exe first, where a download
# folder may hold a planted one: such DLLs, like the shell, COM and OLE
# automation for a start, are loaded on demand from the system folder.
set(expected_dlls advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll user32.dll)
set(imported_dlls "")
foreach(entry ${names})
  string(REPLACE "DLL Name: " "" dll "${entry}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" dll)
  list(APPEND imported_dlls ${dll})
endforeach()
list(SORT imported_dlls)
if(NOT imported_dlls STREQUAL expected_dlls)
  message(FATAL_ERROR "velmora.exe imports ${imported_dlls}, not exactly ${expected_dlls}")
endif()
message(STATUS "package ok: ${listing}")

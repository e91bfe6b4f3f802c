# Runs icon_from_pixmap on the real map and on malformed ones.
#   cmake -DTOOL=<converter> -DMAP=<velmora_icon.txt> -DWORK_DIR=<scratch> -P this
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(failures 0)

function(fail message)
  message(SEND_ERROR "${message}")
  math(EXPR n "${failures} + 1")
  set(failures ${n} PARENT_SCOPE)
endfunction()

# Runs the converter on MAP_FILE; sets <prefix>_result, <prefix>_error and
# <prefix>_ico (the output path).
function(convert prefix map_file)
  get_filename_component(name ${map_file} NAME_WE)
  set(ico ${WORK_DIR}/${name}.ico)
  execute_process(COMMAND ${TOOL} ${map_file} ${ico}
    RESULT_VARIABLE result ERROR_VARIABLE error OUTPUT_QUIET)
  set(${prefix}_result ${result} PARENT_SCOPE)
  set(${prefix}_error "${error}" PARENT_SCOPE)
  set(${prefix}_ico ${ico} PARENT_SCOPE)
endfunction()

function(expect_rejected name content pattern)
  set(map_file ${WORK_DIR}/${name}.txt)
  file(WRITE ${map_file} "${content}")
  convert(run ${map_file})
  if(run_result EQUAL 0)
    fail("${name}: accepted a malformed map")
  elseif(NOT run_error MATCHES "${pattern}")
    fail("${name}: message '${run_error}' does not match '${pattern}'")
  endif()
  if(EXISTS ${run_ico})
    fail("${name}: an icon was written for a malformed map")
  endif()
  set(failures ${failures} PARENT_SCOPE)
endfunction()

# Directory 6 + entry 16, header 40, palette 64, colour bitmap 32 rows of 16
# bytes, mask 32 rows of 4 bytes.
set(total_size 766)

# --- the program's own map ---------------------------------------------------
convert(real ${MAP})
if(NOT real_result EQUAL 0)
  fail("real map refused: ${real_error}")
else()
  file(SIZE ${real_ico} size)
  if(NOT size EQUAL total_size)
    fail("real map: icon of ${size} bytes, expected ${total_size}")
  endif()
endif()

# --- line ends: CRLF and a missing final newline give the same icon ----------
file(READ ${MAP} map_text)
string(REPLACE "\n" "\r\n" crlf_text "${map_text}")
file(WRITE ${WORK_DIR}/crlf.txt "${crlf_text}")
string(REGEX REPLACE "\n$" "" unterminated_text "${map_text}")
file(WRITE ${WORK_DIR}/unterminated.txt "${unterminated_text}")
foreach(variant crlf unterminated)
  convert(run ${WORK_DIR}/${variant}.txt)
  if(NOT run_result EQUAL 0)
    fail("${variant}: refused: ${run_error}")
  elseif(real_result EQUAL 0)
    file(SHA256 ${run_ico} variant_hash)
    file(SHA256 ${real_ico} real_hash)
    if(NOT variant_hash STREQUAL real_hash)
      fail("${variant}: icon differs from the LF map's")
    endif()
  endif()
endforeach()

# --- malformed maps -----------------------------------------------------------
string(REPEAT "................................\n" 32 blank)
string(REPEAT "................................\n" 4 four_rows)
string(REPEAT "................................\n" 27 rest27)
string(REPEAT "." 29 dots29)
string(REPEAT "." 31 dots31)
string(REPEAT "................................\n" 31 empty_rows)
expect_rejected(empty "" ":1: error: 0 rows, expected 32")
expect_rejected(short_map "${empty_rows}" ":31: error: 31 rows, expected 32")
expect_rejected(long_map "${blank}.\n" ":33: error: more than 32 rows")
expect_rejected(blank_line_after "${blank}\n" ":33: error: more than 32 rows")
expect_rejected(short_row "${four_rows}${dots31}\n${rest27}"
  ":5: error: row of 31 pixels, expected 32")
expect_rejected(long_row "${four_rows}${dots31}..\n${rest27}"
  ":5: error: row of 33 pixels, expected 32")
expect_rejected(unknown_letter "${four_rows}..x${dots29}\n${rest27}"
  ":5: error: column 3: unknown pixel 'x'")
expect_rejected(tab "${four_rows}..\t${dots29}\n${rest27}"
  ":5: error: column 3: unknown pixel byte 0x9")
expect_rejected(space "${four_rows}${dots31} \n${rest27}"
  ":5: error: column 32: unknown pixel byte 0x20")

convert(missing ${WORK_DIR}/no_such_map.txt)
if(missing_result EQUAL 0 OR NOT missing_error MATCHES "cannot open")
  fail("missing map: result ${missing_result}, message '${missing_error}'")
endif()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} check(s) of icon_from_pixmap failed")
endif()
message(STATUS "icon_from_pixmap: all checks passed")

# Checks what each folder of src/ may include (cmake -DSOURCE_DIR=... -P):
# the logic stays free of Windows, the catalogue and the backup of the user
# interface, and the rooms of the Win32 layer reach only downwards.  Prints every offending
# line and fails.
set(logic "(backup|catalogue|mainwindow|verdict|windowing)/")
# folder (under src/) | include pattern that folder must not use
set(rules
  "backup|<windows\\.h>|platform/win32/|platform/controls\\.h|mainwindow/|windowing/"
  "catalogue|<windows\\.h>|platform/win32/|platform/controls\\.h|backup/|mainwindow/|windowing/"
  "mainwindow|<windows\\.h>|platform/win32/"
  "verdict|<windows\\.h>|platform/win32/|platform/controls\\.h|backup/|catalogue/|mainwindow/|windowing/"
  "windowing|<windows\\.h>|platform/win32/|backup/|mainwindow/|catalogue/"
  "platform|<windows\\.h>|platform/win32/|${logic}"
  "platform/win32/common|platform/win32/(system|ui|forms)/|${logic}"
  "platform/win32/system|platform/win32/(ui|forms)/|${logic}"
  "platform/win32/ui|platform/win32/(system|forms)/|${logic}"
  "platform/win32/forms|platform/win32/system/")

set(offences "")
foreach(rule IN LISTS rules)
  string(REPLACE "|" ";" parts "${rule}")
  list(POP_FRONT parts folder)
  list(JOIN parts "|" forbidden)
  if(folder STREQUAL "platform")
    # The interfaces only, not the implementations below them.
    file(GLOB files "${SOURCE_DIR}/src/platform/*.h")
  else()
    file(GLOB_RECURSE files "${SOURCE_DIR}/src/${folder}/*.h" "${SOURCE_DIR}/src/${folder}/*.cpp")
  endif()
  foreach(path IN LISTS files)
    file(STRINGS "${path}" includes REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS includes)
      if(line MATCHES "(${forbidden})")
        file(RELATIVE_PATH shown "${SOURCE_DIR}" "${path}")
        string(APPEND offences "  ${shown}: ${line}   (src/${folder} must not include ${CMAKE_MATCH_1})\n")
      endif()
    endforeach()
  endforeach()
endforeach()
if(offences)
  message(FATAL_ERROR "includes across the layers:\n${offences}")
endif()

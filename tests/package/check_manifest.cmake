cmake_minimum_required(VERSION 3.25)
# The manifest as it is inside velmora.exe, where the resource compiler keeps
# it as plain text: one, asking for the highest rights the account has, with
# the version 6 controls, Windows 7 to 11 and each monitor's dpi.
file(STRINGS ${EXE} strings)
string(REGEX REPLACE "[ \t]+" " " text "${strings}")
string(REGEX MATCHALL "<requestedExecutionLevel [^>]*>" levels "${text}")
foreach(setting "Common-Controls\" version=\"6.0.0.0\"" "6595b64144ccf1df"
    "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a" "1f676c76-80e1-4239-95bb-83d0f6d0da78"
    "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38" "35138b9a-5d96-4fbd-8e2d-a2440225f93a"
    ">true/pm</dpiAware>" ">PerMonitorV2, PerMonitor</dpiAwareness>")
  string(FIND "${text}" "${setting}" at)
  if(at EQUAL -1 OR NOT levels STREQUAL
      "<requestedExecutionLevel level=\"highestAvailable\" uiAccess=\"false\"/>")
    message(FATAL_ERROR "the manifest in ${EXE} asks for ${levels}, has ${setting} at ${at}")
  endif()
endforeach()

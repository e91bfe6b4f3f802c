cmake_minimum_required(VERSION 3.25)
# Checks the application manifest as it is inside velmora.exe, where the
# resource compiler stores it as plain text: exactly one, asking for the
# highest rights the account has, with the settings the program relies on.
file(STRINGS ${EXE} strings)
list(JOIN strings " " text)
string(REGEX REPLACE "[ \t]+" " " text "${text}")
string(REGEX MATCHALL "<requestedExecutionLevel [^>]*>" levels "${text}")
if(NOT levels STREQUAL "<requestedExecutionLevel level=\"highestAvailable\" uiAccess=\"false\"/>")
  message(FATAL_ERROR "${EXE} should ask for highestAvailable once, without uiAccess; "
    "its manifests ask for: ${levels}")
endif()
foreach(setting
    # The version 6 controls.
    "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""
    "publicKeyToken=\"6595b64144ccf1df\""
    # Windows 10 and 11, 8.1, 8 and 7.
    "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"
    "<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>"
    "<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>"
    "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>"
    # Aware of each monitor's dpi.
    ">true/pm</dpiAware>"
    ">PerMonitorV2, PerMonitor</dpiAwareness>")
  string(FIND "${text}" "${setting}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the manifest in ${EXE} lacks ${setting}")
  endif()
endforeach()
message(STATUS "manifest ok: ${levels}")

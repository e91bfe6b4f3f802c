cmake_minimum_required(VERSION 3.25)
# Installs into a staging folder and zips it, then writes the checksum file.
# Every entry carries the commit's time (SOURCE_DATE_EPOCH when the caller
# sets it) in a fixed zone, in sorted order: nothing in the zip depends on
# when, where or on which file system it was made.
#   cmake -DBINARY_DIR=... -DSOURCE_DIR=... -DZIP=.../name.zip -P release_zip.cmake
get_filename_component(package_dir ${ZIP} DIRECTORY)
get_filename_component(zip_name ${ZIP} NAME)
set(stage ${BINARY_DIR}/package-stage)
file(REMOVE_RECURSE ${stage})
file(REMOVE ${ZIP} ${ZIP}.sha256)
file(MAKE_DIRECTORY ${package_dir})

execute_process(COMMAND ${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${stage}
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "installing into ${stage} failed:\n${output}")
endif()

set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(epoch STREQUAL "" AND EXISTS ${SOURCE_DIR}/.git)
  # A checkout whose commit time cannot be read (no git, or a git that does
  # not trust the checkout's owner) must not give the zip the time below, and
  # other bytes than every other build of the commit.
  find_package(Git QUIET)
  set(error "no git was found")
  if(Git_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct WORKING_DIRECTORY ${SOURCE_DIR}
      OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_VARIABLE error)
  endif()
  if(NOT epoch MATCHES "^[0-9]+$")
    message(FATAL_ERROR "cannot read the commit time of ${SOURCE_DIR} (or set SOURCE_DATE_EPOCH): "
      "${error}")
  endif()
endif()
if(epoch STREQUAL "")
  # Neither given nor a git checkout: 1980-01-01, the earliest a zip can hold.
  set(epoch 315532800)
elseif(NOT epoch MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH is '${epoch}', not a number of seconds")
endif()

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${stage} ${stage}/*)
list(SORT files)
# Zip entries hold local time: UTC0 reads as UTC in both the C library of
# Linux and that of Windows.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${epoch} TZ=UTC0
    ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip -- ${files}
  WORKING_DIRECTORY ${stage} RESULT_VARIABLE result ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "zipping ${stage} failed:\n${output}")
endif()

# The format of sha256sum: the hash, two spaces, the file's name.
file(SHA256 ${ZIP} hash)
file(WRITE ${ZIP}.sha256 "${hash}  ${zip_name}\n")
message(STATUS "${ZIP}\n${hash}  ${zip_name}")

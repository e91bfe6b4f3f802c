# The release zip, velmora.exe with the licence, the users' Japanese readme
# (stored as readme.txt, an ASCII name every zip tool shows alike), the
# README, the changelog and the pictures the README shows, and beside it a
# SHA-256 checksum file that `sha256sum -c` reads:
#   cmake --build --preset windows --target release_zip
#   -> build/windows/package/velmora-1.0.3.1-win64.zip and .zip.sha256
# Written by cmake/release_zip.cmake rather than CPack so that the zip is the
# same bytes on every machine: CPack stores the files in the order the file
# system lists them.
install(TARGETS velmora RUNTIME DESTINATION .)
install(FILES LICENSE README.md CHANGELOG.md DESTINATION .)
install(FILES docs/readme-ja.txt DESTINATION . RENAME readme.txt)
install(DIRECTORY docs/ DESTINATION docs FILES_MATCHING PATTERN "*.png")

set(VELMORA_PACKAGE_NAME velmora-${PROJECT_VERSION}-win64)
set(VELMORA_PACKAGE_ZIP ${CMAKE_BINARY_DIR}/package/${VELMORA_PACKAGE_NAME}.zip)
set(VELMORA_PACKAGE_COMMAND ${CMAKE_COMMAND} -DBINARY_DIR=${CMAKE_BINARY_DIR}
  -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DZIP=${VELMORA_PACKAGE_ZIP}
  -P ${CMAKE_CURRENT_LIST_DIR}/release_zip.cmake)
add_custom_target(release_zip COMMAND ${VELMORA_PACKAGE_COMMAND} VERBATIM)
add_dependencies(release_zip velmora)

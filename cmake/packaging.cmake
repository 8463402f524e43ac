# Release packages of the Windows build: what is installed, the portable zip
# (CPack) and the per-user installer (NSIS), all made by the "dist" target:
#   cmake --build build/windows --target dist
# which leaves Quillark-<version>-win64.zip and Quillark-<version>-win64-setup.exe
# in build/windows/dist. scripts/package.sh runs it and copies them to dist/.

# Files for Windows users get Windows line ends.
configure_file(${PROJECT_SOURCE_DIR}/packaging/README.txt ${PROJECT_BINARY_DIR}/packaging/README.txt
  @ONLY NEWLINE_STYLE WIN32)
# (Written only when they change, so that configuring again does not make
# the packages again.)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_BINARY_DIR}/packaging/LICENSE.txt
  @ONLY NEWLINE_STYLE WIN32)

# No link time in the programs' PE headers: the same sources give the same
# executables, and so the same packages.
target_link_options(quillark PRIVATE LINKER:--no-insert-timestamp)
target_link_options(quillark-calc PRIVATE LINKER:--no-insert-timestamp)

# One flat folder: the two programs beside their README and licence.
install(TARGETS quillark quillark-calc RUNTIME DESTINATION .)
install(FILES ${PROJECT_BINARY_DIR}/packaging/README.txt ${PROJECT_BINARY_DIR}/packaging/LICENSE.txt
  DESTINATION .)

set(QUILLARK_PACKAGE_NAME "Quillark-${PROJECT_VERSION}-win64")
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Quillark)
set(CPACK_PACKAGE_VENDOR "The Quillark authors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME ${QUILLARK_PACKAGE_NAME})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_SOURCE_GENERATOR "")
# Fixed times in the zip: see packaging/set_times.cmake.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/set_times.cmake)
include(CPack)

find_program(QUILLARK_MAKENSIS makensis)
add_custom_target(dist
  COMMAND ${CMAKE_COMMAND}
    -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
    -DBUILD_DIR=${PROJECT_BINARY_DIR}
    -DVERSION=${PROJECT_VERSION}
    -DPACKAGE_NAME=${QUILLARK_PACKAGE_NAME}
    -DMAKENSIS=${QUILLARK_MAKENSIS}
    -P ${PROJECT_SOURCE_DIR}/packaging/make_dist.cmake
  DEPENDS quillark quillark-calc
  COMMENT "Making the zip and the installer"
  USES_TERMINAL)

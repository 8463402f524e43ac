# The "dist" target's work (cmake/packaging.cmake): the zip with CPack, the
# installer with makensis, both from the installed files and with every time
# in them set to SOURCE_DATE_EPOCH. Without SOURCE_DATE_EPOCH in the
# environment the time of the checked-out commit is used, so two runs from
# one commit give the same files.
foreach(var SOURCE_DIR BUILD_DIR VERSION PACKAGE_NAME)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "make_dist: ${var} is not set")
  endif()
endforeach()
if(NOT MAKENSIS)
  message(FATAL_ERROR "make_dist: makensis was not found (Debian package nsis)")
endif()

if(NOT "$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[0-9]+$")
  execute_process(COMMAND git -C "${SOURCE_DIR}" log -1 --format=%ct
    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE result)
  if(NOT result EQUAL 0 OR NOT epoch MATCHES "^[0-9]+$")
    message(FATAL_ERROR "make_dist: set SOURCE_DATE_EPOCH (no git commit to take the time from)")
  endif()
  set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
endif()

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    string(REPLACE ";" " " command "${ARGN}")
    message(FATAL_ERROR "make_dist: failed (${result}): ${command}")
  endif()
endfunction()

set(out "${BUILD_DIR}/dist")
set(stage "${BUILD_DIR}/dist-stage/${PACKAGE_NAME}")
set(zip "${out}/${PACKAGE_NAME}.zip")
set(setup "${out}/${PACKAGE_NAME}-setup.exe")
file(REMOVE_RECURSE "${out}" "${BUILD_DIR}/dist-stage")
file(MAKE_DIRECTORY "${out}")

run(${CMAKE_CPACK_COMMAND} -G ZIP --config "${BUILD_DIR}/CPackConfig.cmake" -B "${BUILD_DIR}/dist-cpack")
file(RENAME "${BUILD_DIR}/dist-cpack/${PACKAGE_NAME}.zip" "${zip}")

run(${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${stage}")
run(${CMAKE_COMMAND} -DTREE=${stage} -P "${SOURCE_DIR}/packaging/set_times.cmake")
run("${MAKENSIS}" -V2 -NOCD "-DVERSION=${VERSION}" "-DSTAGE=${stage}" "-DOUTFILE=${setup}"
  "${SOURCE_DIR}/packaging/quillark.nsi")

foreach(file "${zip}" "${setup}")
  file(SIZE "${file}" size)
  file(SHA256 "${file}" sha)
  get_filename_component(name "${file}" NAME)
  message(STATUS "${name}: ${size} bytes, SHA-256 ${sha}")
endforeach()

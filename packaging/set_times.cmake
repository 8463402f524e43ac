# Gives every file and folder below a staged package tree the same time,
# SOURCE_DATE_EPOCH (the commit's time), so that archives and installers made
# from it do not depend on when the build ran. Used two ways:
#   as a CPack pre-build script (the tree is CPACK_TEMPORARY_INSTALL_DIRECTORY)
#   cmake -DTREE=<folder> -P set_times.cmake
if(NOT DEFINED TREE)
  set(TREE "${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
if(NOT IS_DIRECTORY "${TREE}")
  message(FATAL_ERROR "set_times: no folder ${TREE}")
endif()
if(NOT "$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[0-9]+$")
  message(FATAL_ERROR "set_times: SOURCE_DATE_EPOCH is not set")
endif()
execute_process(
  COMMAND find "${TREE}" -exec touch -h -d "@$ENV{SOURCE_DATE_EPOCH}" {} +
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "set_times: could not set the times below ${TREE}")
endif()

# Runs quillark-calc.exe through the emulator and checks its exit code and
# output. Arguments come joined by "|" because CTest splits on ";".
string(REPLACE "|" ";" args "${ARGS}")
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(stdin_option)
if(INPUT)
  set(stdin_option INPUT_FILE "${INPUT}")
endif()
execute_process(
  COMMAND ${EMULATOR} ${PROGRAM} ${args}
  ${stdin_option}
  WORKING_DIRECTORY "${WORK}"
  RESULT_VARIABLE exit_code
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err)
if(NOT exit_code STREQUAL EXIT)
  message(FATAL_ERROR "expected exit ${EXIT}, got ${exit_code}\nstdout: ${out}\nstderr: ${err}")
endif()
if(MATCH AND NOT "${out}${err}" MATCHES "${MATCH}")
  message(FATAL_ERROR "expected output matching ${MATCH}, got\nstdout: ${out}\nstderr: ${err}")
endif()
if(EXPECT_FILE)
  file(READ "${EXPECT_FILE}" expected HEX)
  file(READ "${WORK}/out.csv" got HEX)
  if(NOT got STREQUAL expected)
    message(FATAL_ERROR "expected bytes ${expected}, got ${got}")
  endif()
endif()

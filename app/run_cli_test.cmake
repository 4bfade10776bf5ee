# Runs the program with one option: it must end with 0 and print what MATCH says.
execute_process(COMMAND ${PROGRAM} ${OPTION} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} ${OPTION} ended with ${result}\n${out}${err}")
endif()
if(NOT out MATCHES "${MATCH}")
  message(FATAL_ERROR "${PROGRAM} ${OPTION} printed no match for '${MATCH}':\n${out}${err}")
endif()

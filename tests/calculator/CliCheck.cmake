# Feeds INPUT (lines separated by "|") to tallix --cli and compares what it
# prints with EXPECTED (lines separated by "|").
string(REPLACE "|" "\n" input "${INPUT}|")
file(WRITE ${WORK_FILE} "${input}")
execute_process(COMMAND ${TALLIX} --cli INPUT_FILE ${WORK_FILE} OUTPUT_VARIABLE out RESULT_VARIABLE rc)
string(REPLACE "|" "\n" expected "${EXPECTED}|")
if(NOT rc EQUAL 0 OR NOT out STREQUAL expected)
  message(FATAL_ERROR "exit ${rc}, printed [${out}] expected [${expected}]")
endif()

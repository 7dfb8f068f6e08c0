# Runs tallix --press and compares the last printed line with EXPECTED
# (fields separated by "|" here, by TABs in the output).
separate_arguments(args UNIX_COMMAND "${ARGS}")
execute_process(COMMAND ${TALLIX} --press "${KEYS}" ${args}
  OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "tallix --press exited with ${rc}")
endif()
string(REGEX REPLACE "\n$" "" out "${out}")
string(REGEX REPLACE "^.*\n" "" last "${out}")
string(REPLACE "|" "\t" expected "${EXPECTED}")
if(NOT last STREQUAL expected)
  message(FATAL_ERROR "last line [${last}] expected [${expected}]")
endif()

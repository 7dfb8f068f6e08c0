# Feeds INPUT (lines separated by "|") to tallix --cli and compares what it
# prints with EXPECTED (lines separated by "|").
# The input goes through a file under TMPDIR, removed right after.
string(REPLACE "|" "\n" input "${INPUT}|")
set(folder /tmp)
if(DEFINED ENV{TMPDIR} AND IS_DIRECTORY "$ENV{TMPDIR}")
  set(folder $ENV{TMPDIR})
endif()
string(RANDOM LENGTH 12 suffix)
set(work_file ${folder}/tallix-cli-check-${suffix}.txt)
file(WRITE ${work_file} "${input}")
execute_process(COMMAND ${TALLIX} --cli INPUT_FILE ${work_file} OUTPUT_VARIABLE out RESULT_VARIABLE rc)
file(REMOVE ${work_file})
string(REPLACE "|" "\n" expected "${EXPECTED}|")
if(NOT rc EQUAL 0 OR NOT out STREQUAL expected)
  message(FATAL_ERROR "exit ${rc}, printed [${out}] expected [${expected}]")
endif()

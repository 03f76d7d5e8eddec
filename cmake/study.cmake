# The main job: the sample table in a work folder of the build tree, and lorstudy on it: the
# study's steps and its report page, whose path comes last.
# Run as: cmake -DBIN=<programs folder> -DWORK=<work folder> -P study.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
message("== lorgen > loren.out: the sample table")
execute_process(COMMAND "${BIN}/lorgen" WORKING_DIRECTORY "${WORK}"
                OUTPUT_FILE "${WORK}/loren.out" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "lorgen failed: ${rc}")
endif()
execute_process(COMMAND "${BIN}/lorstudy" WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "lorstudy failed: ${rc}")
endif()

# The main job: a sample table in a work folder of the build tree, splerr and quaderr run on
# it with a few abscissae and the sentinel, the project's gplot first on PATH; then the
# convergence study of the four methods, and the tables each method needs for an error of 1e-8.
# Run as: cmake -DBIN=<programs folder> -DWORK=<work folder> -P study.cmake
set(input "2.5\n3.47\n5.2\n-10000\n")
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(WRITE "${WORK}/input.txt" "${input}")

execute_process(COMMAND "${BIN}/lorgen" OUTPUT_FILE "${WORK}/loren.out" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "lorgen failed: ${rc}")
endif()

set(path "${BIN}:$ENV{PATH}")
foreach(program splerr quaderr)
  string(REPLACE "\n" " " typed "${input}")
  message("\n== ${program}, typing: ${typed}")
  execute_process(COMMAND ${CMAKE_COMMAND} -E env "PATH=${path}" "${BIN}/${program}"
                  WORKING_DIRECTORY "${WORK}" INPUT_FILE "${WORK}/input.txt" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${program} failed: ${rc}")
  endif()
endforeach()

message("\n== gplot: both methods side by side")
execute_process(COMMAND "${BIN}/gplot" loren.out errsp.out errq.out WORKING_DIRECTORY "${WORK}"
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "gplot failed: ${rc}")
endif()

message("\n== lorconv: the error as the table gets finer")
execute_process(COMMAND "${BIN}/lorconv" WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "lorconv failed: ${rc}")
endif()

foreach(method spline quadratic)
  message("\n== lorgen: a table that keeps the ${method} within 1e-8")
  execute_process(COMMAND "${BIN}/lorgen" --tol 1e-8 --method ${method} --svg design-${method}.svg
                  WORKING_DIRECTORY "${WORK}" OUTPUT_FILE "${WORK}/design-${method}.out"
                  RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "lorgen --tol failed: ${rc}")
  endif()
endforeach()

set(made loren.out errsp.out errq.out errsp.svg errq.svg compare.svg conv.csv conv.svg
         design-spline.out design-quadratic.out design-spline.svg design-quadratic.svg)
foreach(f ${made})
  if(NOT EXISTS "${WORK}/${f}")
    message(FATAL_ERROR "the study did not make ${f}")
  endif()
endforeach()
message("\nThe study is in ${WORK}:")
foreach(f ${made})
  message("  ${WORK}/${f}")
endforeach()
message("Open errsp.svg, errq.svg, compare.svg, conv.svg and the design-*.svg in a browser.")

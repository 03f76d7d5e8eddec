# The main job: a sample table in a work folder of the build tree, splerr and quaderr run on
# it with a few abscissae and the sentinel, the project's gplot first on PATH; both methods
# side by side; the convergence study of the four methods; the tables each method needs for
# an error of 1e-8; then the report page, read from these outputs, whose path comes last.
# Run as: cmake -DBIN=<programs folder> -DWORK=<work folder> -P study.cmake
set(input "2.5\n3.47\n5.2\n-10000\n")
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(WRITE "${WORK}/input.txt" "${input}")
string(REPLACE "\n" " " typed "${input}")
string(STRIP "${typed}" typed)
set(commands "")

# Runs a step: its command line (as a user types it) into commands.txt, its output shown
# (not with QUIET); with OUT, standard output kept in that file too. Stops the study when it fails.
function(step what)
  cmake_parse_arguments(S "QUIET" "OUT;TYPED;INPUT" "COMMAND" ${ARGN})
  message("\n== ${what}")
  set(line "${S_TYPED}")
  set(commands "${commands}${line}\n" PARENT_SCOPE)
  set(extra "")
  if(S_INPUT)
    list(APPEND extra INPUT_FILE "${S_INPUT}")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E env "PATH=${BIN}:$ENV{PATH}" ${S_COMMAND}
                  WORKING_DIRECTORY "${WORK}" OUTPUT_VARIABLE out RESULT_VARIABLE rc ${extra})
  if(NOT S_QUIET)
    message("${out}")
  endif()
  if(S_OUT)
    file(WRITE "${WORK}/${S_OUT}" "${out}")
  endif()
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${what} failed: ${rc}")
  endif()
endfunction()

step("lorgen: the sample table" QUIET COMMAND "${BIN}/lorgen" OUT loren.out
     TYPED "lorgen > loren.out")
step("splerr, typing: ${typed}" COMMAND "${BIN}/splerr" INPUT "${WORK}/input.txt"
     TYPED "printf '${typed}' | splerr")
step("quaderr, typing: ${typed}" COMMAND "${BIN}/quaderr" INPUT "${WORK}/input.txt"
     TYPED "printf '${typed}' | quaderr")
step("gplot: both methods side by side" COMMAND "${BIN}/gplot" loren.out errsp.out errq.out
     OUT compare.txt TYPED "gplot loren.out errsp.out errq.out")
step("lorconv: the error as the table gets finer" COMMAND "${BIN}/lorconv" OUT conv.txt
     TYPED "lorconv")
step("lorgen: the rows each method needs for 1e-8"
     COMMAND "${BIN}/lorgen" --tol 1e-8 --method all --svg design.svg OUT design.txt
     TYPED "lorgen --tol 1e-8 --method all --svg design.svg")
file(WRITE "${WORK}/commands.txt" "${commands}")
step("lorreport: the report page" COMMAND "${BIN}/lorreport" TYPED "lorreport")

set(made loren.out errsp.out errq.out errsp.svg errq.svg compare.svg conv.csv conv.svg
         design.svg index.html)
foreach(f ${made})
  if(NOT EXISTS "${WORK}/${f}")
    message(FATAL_ERROR "the study did not make ${f}")
  endif()
endforeach()
list(JOIN made ", " listed)
message("\nThe study is in ${WORK}: ${listed}")
message("Its report, with every figure: open it in a browser:\n${WORK}/index.html")

# Runs the real velkarin-batch program and checks its exit status, standard
cmake_minimum_required(VERSION 3.25)
# output and standard error for one case.
#   cmake -DBATCH=<program> -DSOURCE_DIR=<source tree> -DWORK_DIR=<scratch dir> -DCASE=<case> -P batch_cli_test.cmake

set(cr2o3_line "t=1650   c=2.200   cr=18.000   Pco=101325   G=-137074   teq=1349℃   pcoeq=1764649   ceq=0.326   ccc=0.126")
set(cr3o4_line "t=1650   c=0.350   cr=18.000   Pco=101325   G=-008686   teq=1626℃   pcoeq=121437   ceq=0.300   ccc=0.292")
set(header "reaction,A,B,t,C,Cr,Ni,Si,Mn,pCO\n")
file(MAKE_DIRECTORY "${WORK_DIR}")

# expect(<message> <condition>...): fails the case unless the condition holds.
function(expect message)
  if(NOT (${ARGN}))
    message(FATAL_ERROR "${CASE}: ${message}\n--- exit status: ${status}\n--- stdout:\n${out}\n--- stderr:\n${err}")
  endif()
endfunction()

# Line `number` (0 = header) of the output. execute_process may already have
# turned the CRLF line ends into LF.
function(output_line number result)
  string(REPLACE "\r" "" lines "${out}")
  string(REPLACE "\n" ";" lines "${lines}")
  list(LENGTH lines count)
  if(number LESS count)
    list(GET lines ${number} line)
  else()
    set(line "")
  endif()
  set(${result} "${line}" PARENT_SCOPE)
endfunction()

if(CASE STREQUAL "example")
  # The example shift: both worked examples first; one row faults on purpose.
  execute_process(COMMAND "${BATCH}" "${SOURCE_DIR}/examples/heats.csv"
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  expect("exit status 1 expected (the example has a faulting row)" status EQUAL 1)
  expect("nothing on standard error expected" err MATCHES "^$")
  output_line(1 first)
  output_line(2 second)
  string(FIND "${first}" ",${cr2o3_line}," at1)
  string(FIND "${second}" ",${cr3o4_line}," at2)
  expect("first data row lacks the Cr2O3 worked example" NOT at1 EQUAL -1)
  expect("second data row lacks the Cr3O4 worked example" NOT at2 EQUAL -1)
elseif(CASE STREQUAL "stdin")
  file(WRITE "${WORK_DIR}/worked.csv" "${header}Cr3O4,,,,,,,,,\n")
  foreach(args IN ITEMS "-" "")
    execute_process(COMMAND "${BATCH}" ${args} INPUT_FILE "${WORK_DIR}/worked.csv"
                    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    expect("exit status 0 expected (argument '${args}')" status EQUAL 0)
    output_line(1 first)
    string(FIND "${first}" ",${cr3o4_line}," at)
    expect("the worked example is missing (argument '${args}')" NOT at EQUAL -1)
  endforeach()
elseif(CASE STREQUAL "missing-file")
  execute_process(COMMAND "${BATCH}" "${WORK_DIR}/no-such-file.csv"
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  expect("exit status 2 expected" status EQUAL 2)
  expect("nothing on standard output expected" out MATCHES "^$")
  string(FIND "${err}" "cannot open ${WORK_DIR}/no-such-file.csv" at)
  expect("the message does not name the file" NOT at EQUAL -1)
elseif(CASE STREQUAL "malformed")
  # A good row, then an unknown reaction on line 3: nothing at all is written.
  file(WRITE "${WORK_DIR}/bad.csv" "${header}Cr2O3,,,,,,,,,\nCr2O5,,,,,,,,,\n")
  execute_process(COMMAND "${BATCH}" "${WORK_DIR}/bad.csv"
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  expect("exit status 2 expected" status EQUAL 2)
  expect("nothing on standard output expected" out MATCHES "^$")
  string(FIND "${err}" "bad.csv:3: unknown reaction" at)
  expect("the message does not name line 3" NOT at EQUAL -1)
elseif(CASE STREQUAL "help")
  execute_process(COMMAND "${BATCH}" --help RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  expect("exit status 0 expected" status EQUAL 0)
  string(FIND "${out}" "Usage: velkarin-batch [FILE]" at)
  expect("no usage text" NOT at EQUAL -1)
elseif(CASE STREQUAL "bad-arguments")
  execute_process(COMMAND "${BATCH}" --frobnicate RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  expect("exit status 2 expected for an unknown option" status EQUAL 2)
  execute_process(COMMAND "${BATCH}" a.csv b.csv RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  expect("exit status 2 expected for two files" status EQUAL 2)
  expect("nothing on standard output expected" out MATCHES "^$")
else()
  message(FATAL_ERROR "unknown case ${CASE}")
endif()

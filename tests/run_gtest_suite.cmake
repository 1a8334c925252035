# Runs one suite of a cross-built GoogleTest program in one process, through
# the emulator (Wine, Node), and fails unless the program ends cleanly having
# run every case the sources hold, so that no case can drop out unnoticed.
#   cmake -DEMULATOR=wine -DPROGRAM=tests.exe -DSUITE=Name -DCASES=N -P run_gtest_suite.cmake
execute_process(COMMAND ${EMULATOR} ${PROGRAM} --gtest_filter=${SUITE}.* --gtest_color=no
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out
                ECHO_OUTPUT_VARIABLE ECHO_ERROR_VARIABLE)
if(NOT status STREQUAL "0")
    message(FATAL_ERROR "${SUITE}: the program ended with ${status}")
endif()
if(NOT out MATCHES "\\[==========\\] ([0-9]+) tests? from 1 test suite ran")
    message(FATAL_ERROR "${SUITE}: no count of cases run in the output")
endif()
if(NOT CMAKE_MATCH_1 EQUAL CASES)
    message(FATAL_ERROR "${SUITE}: ${CMAKE_MATCH_1} cases ran, the sources hold ${CASES}")
endif()

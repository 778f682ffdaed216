# Runs a table's generator into the build tree and compares its output with the committed table:
#   cmake -DPYTHON=... -DSCRIPT=... -DGENERATED=... -DCOMMITTED=... -P check_generated_table.cmake
execute_process(COMMAND "${PYTHON}" "${SCRIPT}" "${GENERATED}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${SCRIPT} failed (${status})")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${GENERATED}" "${COMMITTED}"
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${COMMITTED} is not what ${SCRIPT} writes now (${GENERATED})")
endif()

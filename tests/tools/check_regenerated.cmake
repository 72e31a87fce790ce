# Runs the reflector generator into a scratch file and fails on any byte that
# differs from the committed source.
execute_process(COMMAND ${GENERATOR} ${DATA_DIR} ${OUTPUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "reflector_generator failed (${rc})")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${COMMITTED} RESULT_VARIABLE diff)
if(NOT diff EQUAL 0)
  message(FATAL_ERROR "${COMMITTED} is out of date: regenerate it with the regenerate_reflectors target (diff ${OUTPUT} ${COMMITTED})")
endif()

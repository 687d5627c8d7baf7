# Runs chmcmd on zovod.hhp in the current folder and fails on any warning (a missing page or a dead
# link), which chmcmd itself reports but does not count as an error.
execute_process(COMMAND ${CHMCMD} zovod.hhp RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0 OR "${out}${err}" MATCHES "Warning|Error" OR NOT EXISTS zovod.chm)
    file(REMOVE zovod.chm)
    message(FATAL_ERROR "chmcmd failed:\n${out}${err}")
endif()

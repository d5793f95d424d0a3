# Compares the SONAME in the dynamic section of LIBRARY with EXPECTED.
execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
string(REGEX MATCH "SONAME[ \t]+([^ \t\n]+)" _ "${dump}")
if(NOT rc EQUAL 0 OR NOT CMAKE_MATCH_1 STREQUAL EXPECTED)
  message(FATAL_ERROR "SONAME of ${LIBRARY}: expected ${EXPECTED}, found '${CMAKE_MATCH_1}'")
endif()
message(STATUS "SONAME: ${CMAKE_MATCH_1}")

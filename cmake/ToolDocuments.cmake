# Makes k4xtrace's man page and bash completion from their templates, with
# the command, option and property lists that k4xtrace prints from its own
# tables.
#   cmake -DK4XTRACE=<k4xtrace> -DSOURCE=<packaging folder> -DOUTPUT=<folder> -P ToolDocuments.cmake
foreach(part man-commands man-options commands options value-options properties)
  execute_process(COMMAND ${K4XTRACE} --document-part ${part}
    OUTPUT_VARIABLE text OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE result)
  if(NOT result EQUAL 0 OR text STREQUAL "")
    message(FATAL_ERROR "k4xtrace --document-part ${part} gave nothing (${result})")
  endif()
  string(TOUPPER "K4X_${part}" variable)
  string(REPLACE "-" "_" variable ${variable})
  set(${variable} "${text}")
endforeach()
configure_file(${SOURCE}/k4xtrace.1.in ${OUTPUT}/k4xtrace.1 @ONLY)
configure_file(${SOURCE}/k4xtrace.bash.in ${OUTPUT}/k4xtrace.bash @ONLY)

# Runs the tool and the C host from a copy of the built files in FOLDER,
# whose name the system's ANSI code page cannot hold: each must find the
# configuration library in its own folder.
#   cmake -DFOLDER=... -DFILES=<files to copy> -DRUNNER=<emulator> -DANSWER=<an existing file> -P RunFromFolder.cmake
file(REMOVE_RECURSE "${FOLDER}")
file(COPY ${FILES} DESTINATION "${FOLDER}")
foreach(run "k4xtrace.exe;--version" "k4x_c_host.exe;${ANSWER}")
  list(POP_FRONT run program)
  execute_process(COMMAND ${RUNNER} "${FOLDER}/${program}" ${run}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${program} in ${FOLDER} failed (${status}):\n${out}")
  endif()
endforeach()
file(REMOVE_RECURSE "${FOLDER}")

# A channel driver that dlopen's own search finds but cannot load (here a
# file that is no library) ends the search with 193: the good copy in the
# working directory behind it is not loaded instead.
#   cmake -DK4XTRACE=<k4xtrace> -DSIM=<bin/sim/default> -DSCRATCH=<dir> -P FoundButUnloadable.cmake
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}/found" "${SCRATCH}/work" "${SCRATCH}/profile")
file(WRITE "${SCRATCH}/found/libNAVRO.so" "not a library\n")
file(COPY "${SIM}/libNAVRO.so" "${SIM}/libTraceFactory.so" DESTINATION "${SCRATCH}/work")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env "LD_LIBRARY_PATH=${SCRATCH}/found"
          "${K4XTRACE}" --profile "${SCRATCH}/profile" --log-level 1 live K4x_DSP0
  WORKING_DIRECTORY "${SCRATCH}/work"
  OUTPUT_VARIABLE out ERROR_VARIABLE out)
file(GLOB logs "${SCRATCH}/profile/.ZR-trace/zr_trace_log_*.txt")
file(READ "${logs}" log)
file(REMOVE_RECURSE "${SCRATCH}")
if(NOT out MATCHES "Cannot load channel driver\\." OR NOT log MATCHES "failed to load NAVRO with error code 193\n")
  message(FATAL_ERROR "expected error 193 and no fallback; k4xtrace said:\n${out}\nlog:\n${log}")
endif()

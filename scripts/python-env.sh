# shellcheck shell=bash
# Sourced by the scripts that run the Python tests: the environment in
# which they meet a build's C interface and the default simulated target.
#   k4x_python_env BIN_FOLDER
k4x_python_env() {
  # A fresh trace environment: the library publishes its own on first use.
  unset ZR_TRACE_DEBUGCLIENT_PID ZR_TRACE_LOGGING_DIR ZR_TRACE_DATA_DIR ZR_TRACE_SETTINGS_DIR
  export K4XTRACE_C_LIBRARY=$1/libK4xTraceC.so PATH=$1/sim/default:$PATH ZR_TRACE_LOGGING=0
}

# The project version (project() in the top CMakeLists.txt) is the only
# place a version is written; everything below derives from it.
set(K4X_PRODUCT_NAME "K4x Trace Configuration")
set(K4X_COMPANY_NAME "The K4x trace configuration developers")

# k4x_version_resource(<target> <description>)
# Gives a Windows module a version resource: file and product version,
# product and company name and the description. Nothing elsewhere.
function(k4x_version_resource target description)
  if(NOT WIN32)
    return()
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(K4X_RC_TYPE VFT_APP)
    set(suffix .exe)
  else()
    set(K4X_RC_TYPE VFT_DLL)
    set(suffix .dll)
  endif()
  set(K4X_RC_NAME ${target})
  set(K4X_RC_FILE ${target}${suffix})
  set(K4X_RC_DESCRIPTION "${description}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()

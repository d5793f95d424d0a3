# What a user installs: the library with the tools library it imports, its
# header, the two tools, the simulated live target, the host guide and the
# licence; the C interface with its header (and on Windows its import
# library for mingw-w64 linkers) and the Python wheel when one was made;
# the CMake and pkg-config files of the host SDK; on Linux the man pages
# and the bash completion. Test programs are never installed.
include(CMakePackageConfigHelpers)

set(K4X_CMAKE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/K4xTraceCfg)
if(WIN32)
  set(K4X_SIM_INSTALL_DIR simulated-target)
  set(K4X_DOC_INSTALL_DIR .)
  set(K4X_LIBRARY_INSTALL_FILE ${CMAKE_INSTALL_BINDIR}/K4xTraceCfg.dll)
  set(K4X_C_LIBRARY_INSTALL_FILE ${CMAKE_INSTALL_BINDIR}/K4xTraceC.dll)
  set(K4X_C_IMPORT_LIBRARY_INSTALL_FILE ${CMAKE_INSTALL_LIBDIR}/libK4xTraceC.dll.a)
  set(K4X_PYTHON_INSTALL_DIR python)
else()
  # The tools' own folder under lib/, as Debian keeps a program's modules.
  set(K4X_SIM_INSTALL_DIR lib/k4xtrace/simulated-target)
  set(K4X_DOC_INSTALL_DIR ${CMAKE_INSTALL_DOCDIR})
  set(K4X_LIBRARY_INSTALL_FILE ${CMAKE_INSTALL_LIBDIR}/libK4xTraceCfg.so.${PROJECT_VERSION_MAJOR})
  set(K4X_C_LIBRARY_INSTALL_FILE ${CMAKE_INSTALL_LIBDIR}/libK4xTraceC.so.${PROJECT_VERSION_MAJOR})
  set(K4X_C_IMPORT_LIBRARY_INSTALL_FILE "")
  set(K4X_PYTHON_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/k4xtrace/python)
  # Installed files find what they import relative to themselves, never in the build tree.
  set_target_properties(K4xTraceCfg PROPERTIES INSTALL_RPATH "$ORIGIN")
  set_target_properties(k4xtrace k4xtdf PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
  file(RELATIVE_PATH libraries_from_sim /${K4X_SIM_INSTALL_DIR} /${CMAKE_INSTALL_LIBDIR})
  set_target_properties(TraceFactory-default NAVRO-default PROPERTIES INSTALL_RPATH "$ORIGIN/${libraries_from_sim}")
endif()

# k4xtrace names the simulated target of its package to a user whose live
# command finds no channel driver.
file(RELATIVE_PATH sim_from_programs /${CMAKE_INSTALL_BINDIR} /${K4X_SIM_INSTALL_DIR})
target_compile_definitions(k4xtrace PRIVATE K4X_INSTALLED_SIM_FOLDER="${sim_from_programs}")

# The import library of a DLL is no use to hosts, which load it at run time.
install(TARGETS K4xTraceCfg vexa
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT import-libraries EXCLUDE_FROM_ALL)
install(TARGETS k4xtrace k4xtdf RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS K4xTraceC
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES capi/include/k4xtrace_c.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
# scripts/wheel.sh makes the wheel before the packages are made.
install(DIRECTORY ${PROJECT_BINARY_DIR}/wheel/ DESTINATION ${K4X_PYTHON_INSTALL_DIR} OPTIONAL
  FILES_MATCHING PATTERN "*.whl")
install(TARGETS TraceFactory-default NAVRO-default LIBRARY DESTINATION ${K4X_SIM_INSTALL_DIR})
install(FILES packaging/simulated-target.txt DESTINATION ${K4X_SIM_INSTALL_DIR} RENAME README.txt)
install(FILES include/DeviceConfigManager.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES README.md LICENSE DESTINATION ${K4X_DOC_INSTALL_DIR})
install(DIRECTORY examples/host examples/c-host DESTINATION ${K4X_DOC_INSTALL_DIR}/examples)

configure_package_config_file(packaging/K4xTraceCfgConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/K4xTraceCfgConfig.cmake
  INSTALL_DESTINATION ${K4X_CMAKE_INSTALL_DIR}
  PATH_VARS CMAKE_INSTALL_INCLUDEDIR K4X_LIBRARY_INSTALL_FILE K4X_C_LIBRARY_INSTALL_FILE
    K4X_C_IMPORT_LIBRARY_INSTALL_FILE)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/K4xTraceCfgConfigVersion.cmake
  COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/K4xTraceCfgConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/K4xTraceCfgConfigVersion.cmake
  DESTINATION ${K4X_CMAKE_INSTALL_DIR})

if(NOT WIN32)
  # The files name their folders relative to their own (pkg-config's pcfiledir).
  file(RELATIVE_PATH K4X_PC_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
  string(REGEX REPLACE "/$" "" K4X_PC_PREFIX "${K4X_PC_PREFIX}")
  configure_file(packaging/k4xtracecfg.pc.in ${CMAKE_CURRENT_BINARY_DIR}/k4xtracecfg.pc @ONLY)
  configure_file(packaging/k4xtrace-c.pc.in ${CMAKE_CURRENT_BINARY_DIR}/k4xtrace-c.pc @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/k4xtracecfg.pc ${CMAKE_CURRENT_BINARY_DIR}/k4xtrace-c.pc
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
  # k4xtrace's man page and completion list the commands and options of its
  # own tables: every build runs it to fill them in.
  set(documents ${CMAKE_CURRENT_BINARY_DIR}/packaging/k4xtrace.1 ${CMAKE_CURRENT_BINARY_DIR}/packaging/k4xtrace.bash)
  add_custom_command(OUTPUT ${documents}
    COMMAND ${CMAKE_COMMAND} -DK4XTRACE=$<TARGET_FILE:k4xtrace> -DSOURCE=${PROJECT_SOURCE_DIR}/packaging
      -DOUTPUT=${CMAKE_CURRENT_BINARY_DIR}/packaging -P ${PROJECT_SOURCE_DIR}/cmake/ToolDocuments.cmake
    DEPENDS k4xtrace packaging/k4xtrace.1.in packaging/k4xtrace.bash.in cmake/ToolDocuments.cmake
    COMMENT "Filling in k4xtrace's man page and bash completion")
  add_custom_target(k4xtrace_documents ALL DEPENDS ${documents})
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/k4xtrace.1 packaging/k4xtdf.1
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/k4xtrace.bash
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME k4xtrace)
endif()

# Packages: a zip for Windows, a .tar.gz for Linux. The Debian packages are
# made from the same install tree by packaging/debian (scripts/package.sh).
set(CPACK_PACKAGE_NAME k4xtrace)
set(CPACK_PACKAGE_VENDOR "${K4X_COMPANY_NAME}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "K4x trace configuration library, its header, its C interface and the k4xtrace and k4xtdf tools")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_BINARY_DIR}/packages)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME windows-x86_64)
else()
  set(CPACK_GENERATOR TGZ)
  set(CPACK_SYSTEM_NAME linux-x86_64)
endif()
include(CPack)

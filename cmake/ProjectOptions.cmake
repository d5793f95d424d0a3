# Warnings and link options for the project's own targets.
add_library(k4x_options INTERFACE)
target_compile_options(k4x_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow)
if(K4X_WERROR)
  target_compile_options(k4x_options INTERFACE -Werror)
endif()
if(WIN32)
  # Windows modules import only system DLLs: no libstdc++, libgcc or
  # winpthread DLL travels with them.
  target_link_options(k4x_options INTERFACE -static)
endif()

# Sanitizer builds (see CMakePresets.json).
set(K4X_SANITIZE "" CACHE STRING "Sanitizers to build with, e.g. address,undefined")
if(K4X_SANITIZE)
  add_compile_options(-fsanitize=${K4X_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${K4X_SANITIZE})
endif()

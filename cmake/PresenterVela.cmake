# Helpers shared by every folder of the project.
include_guard(GLOBAL)

# Our own code is built with strict warnings; third-party code is not.
function(pv_strict_warnings target)
  target_compile_options(${target} PRIVATE
    $<$<COMPILE_LANGUAGE:C,CXX>:-Wall -Wextra -Werror>)
endfunction()

# Definitions every Win32 translation unit agrees on.
function(pv_win32_definitions target)
  target_compile_definitions(${target} PUBLIC
    UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
    _WIN32_WINNT=0x0601 WINVER=0x0601 NTDDI_VERSION=0x06010000)
endfunction()

# pv_core_library(<name> <sources...>): a platform-free static library.
# Its headers are included from the repository root ("link/core/...").
function(pv_core_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}" "${PROJECT_BINARY_DIR}/generated")
  pv_strict_warnings(${name})
endfunction()

# pv_core_headers(<name>): a platform-free part that is headers only, as an
# INTERFACE library, so whoever includes its headers links it like any other.
function(pv_core_headers name)
  add_library(${name} INTERFACE)
  target_include_directories(${name} INTERFACE "${PROJECT_SOURCE_DIR}")
endfunction()

# pv_win32_library(<name> <sources...>): the Win32 side of a subsystem.
function(pv_win32_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}" "${PROJECT_BINARY_DIR}/generated")
  pv_strict_warnings(${name})
  pv_win32_definitions(${name})
endfunction()

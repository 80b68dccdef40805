# CLI11 for a cross build. The library is header-only, so the host's headers
# serve any target; but the host's /usr/include must not reach the cross
# compiler's include path, so only the CLI folder is linked into the build.
find_path(THERMAL_CLI11_HOST_INCLUDE CLI/CLI.hpp PATHS /usr/include /usr/local/include
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT THERMAL_CLI11_HOST_INCLUDE)
  set(CLI11_FOUND FALSE)
  set(CLI11_NOT_FOUND_MESSAGE "CLI/CLI.hpp not found on the host (Debian: libcli11-dev)")
  return()
endif()
set(_thermal_cli11_include ${CMAKE_BINARY_DIR}/cross-include)
file(MAKE_DIRECTORY ${_thermal_cli11_include})
file(CREATE_LINK ${THERMAL_CLI11_HOST_INCLUDE}/CLI ${_thermal_cli11_include}/CLI SYMBOLIC)
if(NOT TARGET CLI11::CLI11)
  add_library(CLI11::CLI11 INTERFACE IMPORTED)
  set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${_thermal_cli11_include})
endif()
set(CLI11_FOUND TRUE)

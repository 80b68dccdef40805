# The packages' version, from what the programs' --version says (version/):
# the project's number and, for a build from a git checkout, what git
# described, made a Debian version that sorts after the release it follows:
#   "0.1" and ""                      -> 0.1
#   "0.1" and "v0.1-12-gabc1234"      -> 0.1+12.gabc1234
#   "0.1" and "abc1234-dirty"         -> 0.1+gabc1234.dirty   (no tag yet)
#   "0.2" and "v0.1-3-gabc1234"       -> 0.2+v0.1.3.gabc1234  (another tag)
function(thermal_package_version out number build)
  string(REGEX REPLACE "-dirty$" "" described "${build}")
  set(dirty "")
  if(NOT described STREQUAL build)
    set(dirty ".dirty")
  endif()
  string(REPLACE "." "\\." number_pattern "${number}")
  if(described STREQUAL "" OR described MATCHES "^v?${number_pattern}$")
    # The release itself (a clean tag of this number), or no git at all.
    set(suffix "")
  elseif(described MATCHES "^v?${number_pattern}-([0-9]+-g[0-9a-f]+)$")
    set(suffix "${CMAKE_MATCH_1}")
  elseif(described MATCHES "^[0-9a-f]+$")
    # No tag: the commit alone, marked as git marks it.
    set(suffix "g${described}")
  else()
    set(suffix "${described}")
  endif()
  string(CONCAT suffix "${suffix}" "${dirty}")
  string(REGEX REPLACE "^\\." "" suffix "${suffix}")
  # Debian takes letters, digits, ".", "+" and "~" in a version without a
  # revision: whatever else a tag holds becomes ".".
  string(REGEX REPLACE "[^A-Za-z0-9.+~]" "." suffix "${suffix}")
  if(suffix STREQUAL "")
    set(${out} "${number}" PARENT_SCOPE)
  else()
    set(${out} "${number}+${suffix}" PARENT_SCOPE)
  endif()
endfunction()

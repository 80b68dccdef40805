# cmake -DSOURCE_DIR=... -DPROJECT_VERSION=... -P PackageVersionTest.cmake
# The packages' version made from the programs' version, case by case; and
# the release the packaging data names is the project's own.
cmake_minimum_required(VERSION 3.25)
include(${SOURCE_DIR}/cmake/PackageVersion.cmake)

set(failures 0)
# number | what git described | the package's version
set(cases
  "0.1||0.1"
  "0.1|v0.1|0.1"
  "0.1|0.1|0.1"
  "0.1|v0.1-dirty|0.1+dirty"
  "0.1|v0.1-12-gabc1234|0.1+12.gabc1234"
  "0.1|0.1-2-g0123abc|0.1+2.g0123abc"
  "0.1|v0.1-12-gabc1234-dirty|0.1+12.gabc1234.dirty"
  "0.1|00e71bf|0.1+g00e71bf"
  "0.1|00e71bf-dirty|0.1+g00e71bf.dirty"
  "0.2|v0.1-3-gdeadbee|0.2+v0.1.3.gdeadbee"
  "0.1|v0.10-1-gabcdef0|0.1+v0.10.1.gabcdef0"
  "1.0|release/1.0_rc1-2-gabcdef0|1.0+release.1.0.rc1.2.gabcdef0")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 number)
  list(GET fields 1 build)
  list(GET fields 2 expected)
  thermal_package_version(got "${number}" "${build}")
  if(NOT got STREQUAL expected)
    message(SEND_ERROR "${number} and \"${build}\": ${got}, not ${expected}")
    math(EXPR failures "${failures} + 1")
  elseif(NOT got MATCHES "^[0-9][A-Za-z0-9.+~]*$")
    message(SEND_ERROR "${number} and \"${build}\": ${got} is no Debian version")
    math(EXPR failures "${failures} + 1")
  endif()
endforeach()

# The newest entry of the changelog and the newest release of the AppStream
# data are the project's version: a new version changes all three.
file(STRINGS ${SOURCE_DIR}/packaging/changelog top LIMIT_COUNT 1)
if(NOT top MATCHES "^thermal \\(${PROJECT_VERSION}\\) ")
  message(SEND_ERROR "packaging/changelog begins with \"${top}\", not version ${PROJECT_VERSION}")
  math(EXPR failures "${failures} + 1")
endif()
file(READ ${SOURCE_DIR}/packaging/rs.kadmar.thermal.metainfo.xml metainfo)
if(NOT metainfo MATCHES "<releases>[ \n]*<release version=\"${PROJECT_VERSION}\"")
  message(SEND_ERROR "the newest release in the AppStream data is not ${PROJECT_VERSION}")
  math(EXPR failures "${failures} + 1")
endif()
list(LENGTH cases count)
message(STATUS "package version: ${count} cases and the packaging data's release, ${failures} failed")

# What the Windows cross build takes from Debian besides mingw-w64, as the
# targets the Linux build gets from find_package:
#
# Boost::headers  Boost's headers (libboost-dev). They are header-only for what
#                 we use, so the host's serve any target; the cross compiler is
#                 given a folder holding only a link to boost/, never the
#                 host's /usr/include.
# SQLite::SQLite3 SQLite compiled here for Windows from Debian's sqlite3 source
#                 package (scripts/fetch-sqlite makes its sqlite3.c at
#                 configure time), the version the Linux build links.
enable_language(C)
if(THERMAL_CCACHE AND NOT CMAKE_C_COMPILER_LAUNCHER)
  set(CMAKE_C_COMPILER_LAUNCHER ${THERMAL_CCACHE})
endif()

find_path(THERMAL_BOOST_HOST_INCLUDE boost/version.hpp PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH
          REQUIRED)
set(_thermal_boost_include ${CMAKE_BINARY_DIR}/boost-include)
file(MAKE_DIRECTORY ${_thermal_boost_include})
file(CREATE_LINK ${THERMAL_BOOST_HOST_INCLUDE}/boost ${_thermal_boost_include}/boost SYMBOLIC)
add_library(Boost::headers INTERFACE IMPORTED)
# Asio's sockets are Winsock's.
set_target_properties(Boost::headers PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${_thermal_boost_include}
                                                INTERFACE_LINK_LIBRARIES "ws2_32;mswsock")

set(THERMAL_SQLITE_DIR ${CMAKE_BINARY_DIR}/sqlite3 CACHE PATH "Where scripts/fetch-sqlite puts SQLite's source")
execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/fetch-sqlite ${THERMAL_SQLITE_DIR} RESULT_VARIABLE _thermal_fetched)
if(NOT _thermal_fetched EQUAL 0)
  message(FATAL_ERROR "SQLite's source for Windows could not be made (scripts/fetch-sqlite)")
endif()
set(_thermal_sqlite ${THERMAL_SQLITE_DIR}/amalgamation)
# Re-made when the script's pinned version changes.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/scripts/fetch-sqlite)
add_library(sqlite3 STATIC ${_thermal_sqlite}/sqlite3.c)
target_include_directories(sqlite3 SYSTEM PUBLIC ${_thermal_sqlite})
# Debian's options that change what SQL does or how much it takes, so the
# journal behaves as on Linux; without what no program of ours uses (loadable
# extensions, full-text search, R-trees, sessions). Its warnings are not ours.
target_compile_definitions(
  sqlite3 PRIVATE SQLITE_THREADSAFE=1 SQLITE_OMIT_LOAD_EXTENSION SQLITE_SECURE_DELETE SQLITE_ALLOW_ROWID_IN_VIEW
                  SQLITE_LIKE_DOESNT_MATCH_BLOBS SQLITE_USE_URI=1 SQLITE_MAX_SCHEMA_RETRY=25
                  SQLITE_MAX_VARIABLE_NUMBER=250000)
target_compile_options(sqlite3 PRIVATE -w)
add_library(SQLite::SQLite3 ALIAS sqlite3)

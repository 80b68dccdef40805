# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (the posix thread
# model, which std::thread needs). Programs are linked statically, so they run
# on Windows or under Wine without any DLL beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(THERMAL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${THERMAL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${THERMAL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${THERMAL_MINGW_TRIPLE}-windres)

# Libraries, headers and packages come from the mingw-w64 tree only, never
# from the host's /usr; the host's programs stay usable.
set(CMAKE_FIND_ROOT_PATH /usr/${THERMAL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# ctest runs the test programs under Wine.
find_program(THERMAL_WINE NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(THERMAL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${THERMAL_WINE})
endif()

# Precompiled headers for the heavy third-party headers that many of our files
# include: CLI11 (header-only, several seconds a file), Qt Widgets, GoogleTest
# and GoogleMock. Each target gets its own (their flags and definitions
# differ); only targets of many files pay for one.
option(THERMAL_PCH "Precompile the heavy third-party headers" ON)

set(THERMAL_PCH_STD <algorithm> <array> <chrono> <cstdint> <functional> <map> <memory> <optional> <string>
    <string_view> <utility> <vector>)
set(THERMAL_PCH_QT <QApplication> <QCheckBox> <QComboBox> <QDialog> <QLabel> <QLineEdit> <QPushButton> <QString>
    <QTimer> <QWidget>)

# thermal_precompile(target [CLI] [QT] [QTEST] [GTEST])
function(thermal_precompile target)
  if(NOT THERMAL_PCH)
    return()
  endif()
  cmake_parse_arguments(P "CLI;QT;QTEST;GTEST" "" "" ${ARGN})
  set(headers ${THERMAL_PCH_STD})
  if(P_CLI)
    list(APPEND headers <CLI/CLI.hpp>)
  endif()
  if(P_QT)
    list(APPEND headers ${THERMAL_PCH_QT})
  endif()
  if(P_QTEST)
    list(APPEND headers <QTest>)
  endif()
  if(P_GTEST)
    list(APPEND headers <gtest/gtest.h> <gmock/gmock.h>)
    # Through a precompiled header GCC 12 no longer takes the standard
    # library's inlined string copies for system code, and its known false
    # -Warray-bounds and -Wstringop-* on them in the tests' long strings would show.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      target_compile_options(${target} PRIVATE -Wno-array-bounds -Wno-stringop-overflow -Wno-stringop-overread)
    endif()
  endif()
  target_precompile_headers(${target} PRIVATE ${headers})
endfunction()

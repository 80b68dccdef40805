# Precompiled headers for the heavy third-party headers that many of our files
# include: CLI11 (header-only, several seconds a file), Qt Widgets, GoogleTest
# and GoogleMock. Targets asking for the same set share one: the first to ask
# builds it, the others reuse it (their flags agree; a header that would not
# fit is reported by -Winvalid-pch, an error in CI).
option(THERMAL_PCH "Precompile the heavy third-party headers" ON)
# Unity builds (several files compiled as one) where the same heavy templates
# would otherwise be compiled in every file: the test programs and ecrctl's
# option parsers.
option(THERMAL_UNITY "Build the test programs and the option parsers a few files at a time" ON)

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
    # Qt Test names each target's own folders in macros its header uses (for
    # QFINDTESTDATA, which we do not use); without them the header is the
    # same for every test program.
    target_compile_options(${target} PRIVATE -UQT_TESTCASE_BUILDDIR -UQT_TESTCASE_SOURCEDIR)
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
  # Libraries and programs are built with different flags (-fPIC), so they
  # do not share.
  get_target_property(type ${target} TYPE)
  set(key "THERMAL_PCH_${type}")
  foreach(set CLI QT QTEST GTEST)
    if(P_${set})
      string(APPEND key "_${set}")
    endif()
  endforeach()
  get_property(owner GLOBAL PROPERTY ${key})
  if(owner)
    target_precompile_headers(${target} REUSE_FROM ${owner})
  else()
    set_property(GLOBAL PROPERTY ${key} ${target})
    target_precompile_headers(${target} PRIVATE ${headers})
  endif()
endfunction()

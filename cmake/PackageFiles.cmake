# Files the packages hold that are made while installing, from what is built
# and from packaging/: manual pages from the programs' own --help (help2man),
# the icon's PNG sizes from its SVG, each package's changelog and copyright.
# Included by the install script (cmake/Packaging.cmake); DESTDIR is honoured.

function(thermal_destination out relative)
  set(${out} "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${relative}" PARENT_SCOPE)
endfunction()

function(thermal_run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE failed ERROR_VARIABLE errors)
  if(failed)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "${command}: ${failed}\n${errors}")
  endif()
endfunction()

# Compressed as Debian wants it: best, and without the name and time that
# would make two builds of the same sources differ.
function(thermal_gzip file)
  thermal_run(gzip -9nf "${file}")
endfunction()

# The manual page of a built program, from its --help and --version and the
# sections that packaging/man/NAME.h2m adds.
function(thermal_install_man program name section include)
  find_program(help2man help2man REQUIRED)
  thermal_destination(folder "share/man/man${section}")
  file(MAKE_DIRECTORY "${folder}")
  thermal_run(${help2man} --no-info --section=${section} --include=${include}
              --output=${folder}/${name}.${section} ${program})
  thermal_gzip("${folder}/${name}.${section}")
  message(STATUS "Installing: ${folder}/${name}.${section}.gz (help2man)")
endfunction()

# A Markdown text (code spans, the only markup the tables use) as roff.
function(thermal_roff out text)
  string(REPLACE "\\" "\\e" text "${text}")
  while(text MATCHES "`([^`]*)`")
    set(span "${CMAKE_MATCH_1}")
    string(REPLACE "-" "\\-" code "${span}")
    string(REPLACE "`${span}`" "\\fB${code}\\fR" text "${text}")
  endwhile()
  if(text MATCHES "^[.']")
    string(PREPEND text "\\&")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# packaging/man/NAME.h2m with two sections more, made from README.md's
# reference tables (the table of items, "| item | meaning |", and of problem
# codes, "| code | status | retryable ... | meaning |"), so that the manual
# page lists what README lists; tests/service compares those tables with the
# program's own lists.
function(thermal_man_tables include readme out)
  file(READ "${include}" page)
  file(READ "${readme}" text)
  # A CMake list is split at every ';'.
  string(REPLACE ";" "<semicolon>" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(table "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^\\| item \\| meaning \\|")
      set(table items)
      string(APPEND page "\n[CONFIGURATION]\nThe configuration file is a JSON object of these items; an unknown item, "
             "a value of the wrong kind and a register named twice are refused at the start "
             "(\\fBecrd \\-\\-check\\-config\\fR names the item).\n")
    elseif(line MATCHES "^\\| code \\| status \\|")
      set(table problems)
      string(APPEND page "\n[PROBLEMS]\nA request that fails is answered with an application/problem+json "
             "document (RFC 9457) with a stable \\fBcode\\fR; \\fBretryable\\fR is true when nothing was sent and "
             "the same request, with the same Idempotency\\-Key, may succeed later.\n")
    elseif(table AND line MATCHES "^\\|---")
    elseif(table STREQUAL "items" AND line MATCHES "^\\| (.*) \\| (.*) \\|$")
      thermal_roff(tag "${CMAKE_MATCH_1}")
      thermal_roff(meaning "${CMAKE_MATCH_2}")
      string(APPEND page ".TP\n${tag}\n${meaning}.\n")
    elseif(table STREQUAL "problems" AND line MATCHES "^\\| (.*) \\| ([0-9]+) \\| (yes|no) \\| (.*) \\|$")
      thermal_roff(tag "${CMAKE_MATCH_1}")
      set(status "${CMAKE_MATCH_2}")
      set(retry "")
      if(CMAKE_MATCH_3 STREQUAL "yes")
        set(retry ", retryable")
      endif()
      thermal_roff(meaning "${CMAKE_MATCH_4}")
      string(APPEND page ".TP\n${tag} (${status}${retry})\n${meaning}.\n")
    elseif(table AND line MATCHES "^\\|")
      message(FATAL_ERROR "${readme}: a row of its ${table} table that is not of its form: ${line}")
    else()
      set(table "")
    endif()
  endforeach()
  string(REPLACE "<semicolon>" ";" page "${page}")
  file(WRITE "${out}" "${page}")
endfunction()

# The icon in every size a menu or a launcher asks for.
function(thermal_install_icons svg name)
  find_program(rsvg rsvg-convert REQUIRED)
  foreach(size 16 22 24 32 48 64 128 256)
    thermal_destination(folder "share/icons/hicolor/${size}x${size}/apps")
    file(MAKE_DIRECTORY "${folder}")
    thermal_run(${rsvg} --width=${size} --height=${size} --output=${folder}/${name}.png ${svg})
  endforeach()
  message(STATUS "Installing: ${name}.png in eight sizes (rsvg-convert)")
endfunction()

# /usr/share/doc/PACKAGE: copyright (packaging/copyright.in with the
# licence) and changelog.gz (packaging/changelog; a build that is not the
# release gets an entry of its own on top, naming what git described).
function(thermal_install_package_docs package source version build contact)
  thermal_destination(folder "share/doc/${package}")
  file(MAKE_DIRECTORY "${folder}")

  file(STRINGS "${source}/LICENSE" lines)
  set(LICENSE_TEXT "")
  foreach(line IN LISTS lines)
    if(line STREQUAL "")
      string(APPEND LICENSE_TEXT " .\n")
    else()
      string(APPEND LICENSE_TEXT " ${line}\n")
    endif()
  endforeach()
  string(REGEX REPLACE "\n$" "" LICENSE_TEXT "${LICENSE_TEXT}")
  configure_file("${source}/packaging/copyright.in" "${folder}/copyright" @ONLY)

  file(READ "${source}/packaging/changelog" changelog)
  if(NOT changelog MATCHES "^thermal \\(${version}\\) ")
    # Now, or SOURCE_DATE_EPOCH where a reproducible build sets it.
    string(TIMESTAMP date "%a, %d %b %Y %H:%M:%S +0000" UTC)
    string(PREPEND changelog "thermal (${version}) UNRELEASED; urgency=medium\n\n"
           "  * Built from the git checkout ${build}.\n\n -- ${contact}  ${date}\n\n")
  endif()
  file(WRITE "${folder}/changelog" "${changelog}")
  thermal_gzip("${folder}/changelog")
endfunction()

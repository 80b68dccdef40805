# Installing the programs, and packing them: Debian packages on Linux
# (cpack -G DEB in a build folder; scripts/package), a zip of the Qt-free
# programs for Windows (cpack in the windows-cross build; scripts/test-windows)
# and an installer of them that sets ecrd up as a service (the `installer`
# target).
#
# Three Debian packages, so that a shop PC that runs only ecrctl or ecrd gets
# no Qt and no desktop files: thermal (the desktop tool), ecrctl (with
# ecr-sim, which its users test against) and ecrd (with its systemd unit).
# Their dependencies are found by dpkg-shlibdeps; the version is the one the
# programs' --version prints (cmake/PackageVersion.cmake).
include(${CMAKE_CURRENT_LIST_DIR}/PackageVersion.cmake)
thermal_package_version(THERMAL_PACKAGE_VERSION "${THERMAL_VERSION_NUMBER}" "${THERMAL_VERSION_BUILD}")
set(THERMAL_APP_ID rs.kadmar.thermal)
set(packaging ${PROJECT_SOURCE_DIR}/packaging)

set(CPACK_PACKAGE_NAME thermal)
set(CPACK_PACKAGE_VENDOR "the Thermal developers")
set(CPACK_PACKAGE_CONTACT "Thermal developers <packages@kadmar.rs>")
set(CPACK_PACKAGE_VERSION ${THERMAL_PACKAGE_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)

# The installer (packaging/windows/thermal.nsi, Debian's nsis): the programs
# under Program Files, the ecrd service registered and started, its default
# configuration under %ProgramData%\ecrd. `--target installer` makes it in
# packages/ beside the zip.
function(thermal_windows_installer)
  find_program(THERMAL_MAKENSIS makensis)
  if(NOT THERMAL_MAKENSIS OR NOT TARGET ecrd)
    return()
  endif()
  set(programs ${CMAKE_BINARY_DIR}/installer/programs)
  set(installer ${CPACK_PACKAGE_DIRECTORY}/thermal-${THERMAL_PACKAGE_VERSION}-windows-x64-setup.exe)
  string(REGEX MATCHALL "[0-9]+" numbers "${THERMAL_VERSION_NUMBER}.0.0.0")
  list(SUBLIST numbers 0 4 numbers)
  list(JOIN numbers . quad)
  set(nsi ${PROJECT_SOURCE_DIR}/packaging/windows/thermal.nsi)
  # The programs stripped, as in the zip.
  add_custom_command(
    OUTPUT ${installer}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${programs} ${CPACK_PACKAGE_DIRECTORY}
    COMMAND ${CMAKE_STRIP} -o ${programs}/ecrctl.exe $<TARGET_FILE:ecrctl>
    COMMAND ${CMAKE_STRIP} -o ${programs}/ecr-sim.exe $<TARGET_FILE:ecr-sim>
    COMMAND ${CMAKE_STRIP} -o ${programs}/ecrd.exe $<TARGET_FILE:ecrd>
    COMMAND ${THERMAL_MAKENSIS} -V2 -DVERSION=${THERMAL_PACKAGE_VERSION} -DVERSION_QUAD=${quad}
            -DPROGRAMS=${programs} -DREADME=${packaging}/windows/README.txt -DLICENSE=${PROJECT_SOURCE_DIR}/LICENSE
            -DCONFIG=${packaging}/ecrd/ecrd.json -DOUTFILE=${installer} ${nsi}
    DEPENDS ecrctl ecr-sim ecrd ${nsi} ${packaging}/windows/README.txt ${PROJECT_SOURCE_DIR}/LICENSE
            ${packaging}/ecrd/ecrd.json
    COMMENT "Making the installer ${installer}"
    VERBATIM)
  add_custom_target(installer DEPENDS ${installer})
endfunction()

if(WIN32)
  # One folder to unpack anywhere, for those who want no installer: the
  # static programs, ecrd's configuration to start from, a README, the licence.
  install(TARGETS ecrctl ecr-sim RUNTIME DESTINATION .)
  if(TARGET ecrd)
    install(TARGETS ecrd RUNTIME DESTINATION .)
    install(FILES ${packaging}/ecrd/ecrd.json DESTINATION .)
  endif()
  install(FILES ${packaging}/windows/README.txt DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME thermal-${THERMAL_PACKAGE_VERSION}-windows-x64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  include(CPack)
  thermal_windows_installer()
  return()
endif()

include(GNUInstallDirs)
set(CPACK_GENERATOR DEB)
# The unit and the configuration go to /lib/systemd/system and /etc, outside
# the prefix: the package is staged through DESTDIR.
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# What every package holds of its own: the changelog and the copyright.
function(thermal_package_docs component)
  install(CODE "include(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/PackageFiles.cmake)
thermal_install_package_docs(${component} \"${PROJECT_SOURCE_DIR}\" \"${THERMAL_PACKAGE_VERSION}\"
                             \"${THERMAL_VERSION_BUILD}\" \"${CPACK_PACKAGE_CONTACT}\")"
          COMPONENT ${component})
endfunction()

# A program's manual page, made from the built program (help2man). A fourth
# argument, a README, adds the sections its reference tables hold.
function(thermal_man_page target section component)
  set(include "${packaging}/man/${target}.h2m")
  if(ARGC GREATER 3)
    set(include "${CMAKE_BINARY_DIR}/packaging/${target}.h2m")
    set(tables "thermal_man_tables(\"${packaging}/man/${target}.h2m\" \"${ARGV3}\" \"${include}\")")
  endif()
  install(CODE "include(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/PackageFiles.cmake)
${tables}
thermal_install_man(\"$<TARGET_FILE:${target}>\" ${target} ${section} \"${include}\")"
          COMPONENT ${component})
endfunction()

set(components ecrctl)
install(TARGETS ecrctl ecr-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ecrctl)
install(FILES ${packaging}/bash-completion/ecrctl DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        COMPONENT ecrctl)
thermal_man_page(ecrctl 1 ecrctl)
thermal_man_page(ecr-sim 1 ecrctl)
thermal_package_docs(ecrctl)
set(CPACK_DEBIAN_ECRCTL_PACKAGE_NAME ecrctl)
set(CPACK_COMPONENT_ECRCTL_DESCRIPTION
    "fiscal cash register from the command line, and a simulated register
ecrctl runs every operation of the fiscal cash register from the command
line, for scripts, tills and CI: status, clock, tax rates, receipt header,
reports, totalizers, articles, sales, logo, memory dumps, backup and restore
of the register's programming, a batch of commands over one connection, and
the decoding of captured traffic. It reaches the register on a serial port,
a USB adapter or a serial device server (raw TCP or RFC 2217).
.
ecr-sim is a simulated register, on a pseudo-terminal or on TCP, that
answers as a real one would and injects faults on demand.")

if(TARGET ecrd)
  list(APPEND components ecrd)
  install(TARGETS ecrd RUNTIME DESTINATION ${CMAKE_INSTALL_SBINDIR} COMPONENT ecrd)
  # The unit of service/, for the packaged program's place; its manual page
  # instead of the README a hand install puts beside it.
  file(READ ${PROJECT_SOURCE_DIR}/service/ecrd.service unit)
  string(REPLACE "/usr/local/bin/ecrd" "/usr/sbin/ecrd" unit "${unit}")
  string(REGEX REPLACE "\nDocumentation=[^\n]*" "\nDocumentation=man:ecrd(8)" unit "${unit}")
  string(REGEX REPLACE "^(#[^\n]*\n)+" "" unit "${unit}")
  file(WRITE ${CMAKE_BINARY_DIR}/packaging/ecrd.service "${unit}")
  install(FILES ${CMAKE_BINARY_DIR}/packaging/ecrd.service DESTINATION /lib/systemd/system COMPONENT ecrd)
  install(FILES ${packaging}/ecrd/ecrd.json DESTINATION /etc/ecrd COMPONENT ecrd)
  install(FILES ${PROJECT_SOURCE_DIR}/service/openapi.json DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ecrd COMPONENT ecrd)
  install(FILES ${packaging}/prometheus/prometheus.yml ${packaging}/prometheus/ecrd-alerts.yml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ecrd/examples/prometheus COMPONENT ecrd)
  # Every configuration item and problem code, from README.md's tables.
  thermal_man_page(ecrd 8 ecrd ${PROJECT_SOURCE_DIR}/README.md)
  thermal_package_docs(ecrd)
  set(CPACK_DEBIAN_ECRD_PACKAGE_NAME ecrd)
  set(CPACK_DEBIAN_ECRD_PACKAGE_SECTION admin)
  set(CPACK_DEBIAN_ECRD_PACKAGE_CONTROL_EXTRA
      ${packaging}/ecrd/conffiles ${packaging}/ecrd/postinst ${packaging}/ecrd/prerm ${packaging}/ecrd/postrm)
  set(CPACK_COMPONENT_ECRD_DESCRIPTION
      "fiscal cash registers as a local HTTP service
ecrd serves the fiscal cash registers of a shop to point-of-sale programs
over a local HTTP interface (JSON), and prints receipts and reports without
their speaking the register's protocol. Each register has its own worker;
jobs and their idempotency keys are kept in a SQLite journal, and a lost
answer is settled from the register, so a sale is never printed twice.
.
The package runs ecrd as a hardened systemd service with a user of its own,
configured in /etc/ecrd/ecrd.json.")
endif()

if(TARGET thermal)
  list(APPEND components thermal)
  install(TARGETS thermal RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT thermal)
  install(FILES ${packaging}/${THERMAL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
          COMPONENT thermal)
  install(FILES ${packaging}/${THERMAL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
          COMPONENT thermal)
  install(FILES ${packaging}/icons/thermal.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
          RENAME ${THERMAL_APP_ID}.svg COMPONENT thermal)
  install(CODE "include(${CMAKE_CURRENT_LIST_DIR}/PackageFiles.cmake)
thermal_install_icons(\"${packaging}/icons/thermal.svg\" ${THERMAL_APP_ID})"
          COMPONENT thermal)
  thermal_man_page(thermal 1 thermal)
  thermal_package_docs(thermal)
  set(CPACK_DEBIAN_THERMAL_PACKAGE_NAME thermal)
  # Qt's libraries only recommend their platform plugins (X11, Wayland),
  # without which the program cannot show a window.
  set(CPACK_DEBIAN_THERMAL_PACKAGE_DEPENDS qt6-qpa-plugins)
  set(CPACK_COMPONENT_THERMAL_DESCRIPTION
      "service and test tool for a fiscal cash register
Thermal drives a fiscal cash register with a thermal printer over its RS-232
line, command by command, for service technicians and point-of-sale
developers: the connection monitor shows every byte; the receipt header, the
tax rates and the clock are programmed; the register is fiscalized; reports
are printed and totalizers read; articles are read, saved, imported,
generated and deleted, and sold by hand or from an article database; a logo
is uploaded. Its windows are in Serbian.
.
A simulated register inside the program (thermal --simulator) allows work
without hardware.")
endif()

set(CPACK_COMPONENTS_ALL ${components})
include(CPack)

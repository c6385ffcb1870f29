# The Debian package, made by CPack from the install rules (packaging/CMakeLists.txt):
#   cpack -G DEB    in a build folder configured with CMAKE_INSTALL_PREFIX=/usr (scripts/package.sh does it)
# One name for the desktop entry, its icon and the AppStream file, as desktops match them by it.
set(VELMORA_APP_ID example.velmora.Velmora)
set(VELMORA_MAINTAINER "Velmora developers <author@velmora.example>")

set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "Velmora developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "telemetry dashboard for racing simulators")
set(CPACK_PACKAGE_CONTACT ${VELMORA_MAINTAINER})
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_FILE_NAME velmora_${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VELMORA_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://velmora.example/)
# The libraries the programs really link decide the dependencies.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The synopsis comes from the summary above; this is the long description under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Velmora finds a running racing simulator by its window, reads its live values
and shows the driver's car on one screen: tyres, brakes, engine, pedals, lamps,
a lap and sector grid with fuel accounting, the session clock, the weather and
the standings. It can mirror the dashboard to a second machine over TCP and
export the lap grid.

velmora-cli gives the same data on the command line as JSON, logs laps and
serves the telemetry without a window. A stand-in for a simulator, in
/usr/libexec/velmora/demo, lets one try the dashboard without a simulator.")
option(VELMORA_PACKAGE_UNSIGNED "The package is knowingly built without a release key (scripts/package.sh --unsigned)" OFF)
if(VELMORA_PACKAGE_UNSIGNED)
  string(APPEND CPACK_DEBIAN_PACKAGE_DESCRIPTION "

This package was built without a release key: its update check trusts no
version history and never offers an update.")
endif()
include(CPack)

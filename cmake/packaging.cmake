# The Debian package: `cpack -G DEB` in the build folder (scripts/package.sh does it all).
# Library dependencies come from dpkg-shlibdeps over the installed binaries; only what is
# loaded at run time without being linked is named here.
set(TWR_PACKAGE_MAINTAINER "Tonewright developers <tonewright@localhost>" CACHE STRING
  "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tonewright)
set(CPACK_PACKAGE_VENDOR Tonewright)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "audio file converter for MP3, WMA, OGG Vorbis and WAV")
set(CPACK_PACKAGE_CONTACT "${TWR_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "hicolor-icon-theme")
# Opening folders, the guide and links goes through xdg-open; Wayland sessions use Qt's
# Wayland plugin when it is there (X11 through XWayland otherwise).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The summary line above goes first; CPack indents these lines for the control file.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Tonewright converts a list of audio files into MP3 (LAME), WMA, OGG Vorbis or WAV\n"
  "with the chosen encoder settings, plays files with level meters, edits ID3 tags and\n"
  "imports and exports playlists. twr-convert converts from the command line with the\n"
  "same settings.")
include(CPack)

# Installation and the Debian package. The layout is the usual one of a Unix prefix:
#   bin/warplon, bin/warplon-cli
#   share/warplon/            the shipped program files (language files, pictures, colour files)
#   share/warplon/tricot/     the sample designs, made at build time by warplon-cli
#   share/applications, share/mime/packages, share/icons/hicolor, share/thumbnailers
# The program finds share/warplon from its own folder (../share/warplon), so any prefix works.
include(GNUInstallDirs)

# The sample designs: every structure of `warplon-cli new --list`, written by the tool just
# built, so they always match the file format of this build. They also stand beside the desktop
# program in the build tree, whose folder is its program directory there.
set(WARPLON_SAMPLES_DIR ${CMAKE_BINARY_DIR}/samples/tricot)
set(warplon_samples_stamp ${CMAKE_BINARY_DIR}/samples/tricot.stamp)
add_custom_command(
  OUTPUT ${warplon_samples_stamp}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${WARPLON_SAMPLES_DIR}
  COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/make-samples.sh $<TARGET_FILE:warplon-cli>
          ${WARPLON_SAMPLES_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${WARPLON_SAMPLES_DIR}
          $<TARGET_FILE_DIR:warplon>/tricot
  COMMAND ${CMAKE_COMMAND} -E touch ${warplon_samples_stamp}
  DEPENDS warplon-cli ${PROJECT_SOURCE_DIR}/scripts/make-samples.sh
  COMMENT "Writing the sample designs"
  VERBATIM)
add_custom_target(warplon_samples ALL DEPENDS ${warplon_samples_stamp})

install(TARGETS warplon warplon-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/ DESTINATION ${CMAKE_INSTALL_DATADIR}/warplon)
install(DIRECTORY ${WARPLON_SAMPLES_DIR} DESTINATION ${CMAKE_INSTALL_DATADIR}/warplon)

set(packaging ${PROJECT_SOURCE_DIR}/packaging)
install(FILES ${packaging}/warplon.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging}/warplon.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${packaging}/warplon.thumbnailer DESTINATION ${CMAKE_INSTALL_DATADIR}/thumbnailers)
foreach(size 48x48 128x128 256x256)
  install(FILES ${packaging}/icons/${size}/warplon.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps)
endforeach()
install(FILES ${packaging}/icons/scalable/warplon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# `make deb`: a Debian package of the same files, installed under /usr, its library
# dependencies found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME warplon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Warplon developers <warplon@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "CAD for warp-knitted (tricot) fabric")
set(CPACK_PACKAGE_DESCRIPTION "Lapping in chain notation for one to four guide bars, threading, \
run-in, a relaxed stitch model and a rendered picture of the fabric; a command-line tool for design \
files and a thumbnailer for file browsers.")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt Multimedia reaches cameras and microscopes through GStreamer.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
include(CPack)

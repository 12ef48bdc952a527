# The Debian package: scripts/package runs cpack in the build folder, which writes
# zipdemographics_VERSION_ARCH.deb there. The library dependencies are the ones
# dpkg-shlibdeps finds in the executables.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zipdemographics)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${ZIPDEMOGRAPHICS_SUPPORT_EMAIL}")
set(CPACK_PACKAGE_VENDOR "The zipdemographics developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "look up the demographics of United States ZIP codes")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The zipdemographics developers <${ZIPDEMOGRAPHICS_SUPPORT_EMAIL}>")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The census source speaks HTTPS and verifies the API's certificate. Its key is
# kept through the Secret Service by QtKeychain, which loads libsecret when it
# runs (dpkg-shlibdeps cannot see that); the desktop brings the keyring itself.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "ca-certificates, libsecret-1-0")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "gnome-keyring")
# Fonts metric-compatible with the ones the window is laid out for.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
# The summary is the synopsis line; CPack indents the text below it and marks its
# empty lines for the control file.
file(READ ${CMAKE_SOURCE_DIR}/packaging/description.txt CPACK_DEBIAN_PACKAGE_DESCRIPTION)
string(STRIP "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}" CPACK_DEBIAN_PACKAGE_DESCRIPTION)

# Debian wants the copyright and a compressed changelog in the package's doc folder
# (changelog.gz: the package is its own upstream).
set(ZD_PACKAGE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/zipdemographics)
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  COMMAND gzip -n -9 -c ${CMAKE_BINARY_DIR}/packaging/changelog > ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog
  COMMENT "Compressing the package's changelog")
add_custom_target(zipdemographics_package_changelog ALL
  DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${ZD_PACKAGE_DOC_DIR})

include(CPack)

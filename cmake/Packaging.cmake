# The Debian package: `cpack -G DEB` in the build folder writes quorlet3_VERSION_ARCH.deb,
# which installs under /usr with `apt install ./quorlet3_*.deb`.
set(CPACK_PACKAGE_NAME quorlet3)
set(CPACK_PACKAGE_VENDOR "Loganta")
set(CPACK_PACKAGE_CONTACT "Quorlet 3 maintainers <quorlet3@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "access log analyser for a hit counter's cp932 log")
# Lines of the long description stay within 80 columns, as Debian's tools expect.
set(CPACK_PACKAGE_DESCRIPTION
    "Reads the first 10000 lines of a hit counter's Shift-JIS access log and\n\
shows reports (file check, listing, tallies of links, browsers, hosts,\n\
keywords and pages, time bars, guest numbers, browser share pies, days per\n\
page) in a Qt window, and prints them with quorlet3-report.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beyond the libraries the programs link: the window system plugin of Qt, Qt's Japanese
# texts, the Gothic font the dialogs are measured with, and the font that draws the
# Control Pictures symbols (the result box's lone-CR sign).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-ipafont-gothic, fonts-symbola")
include(CPack)

# Builds the package into a scratch folder and checks its files and dependencies.
find_program(QUORLET3_DPKG_DEB dpkg-deb)
find_program(QUORLET3_DPKG_SHLIBDEPS dpkg-shlibdeps)
# A sanitizer build names its sources in its own diagnostics and is never packaged.
if(QUORLET3_TESTS AND QUORLET3_GUI AND QUORLET3_DPKG_DEB AND QUORLET3_DPKG_SHLIBDEPS AND NOT QUORLET3_SANITIZE)
  add_test(NAME quorlet3-deb-package
           COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${PROJECT_BINARY_DIR} -DDPKG_DEB=${QUORLET3_DPKG_DEB}
                   -DCPACK=${CMAKE_CPACK_COMMAND} -P ${PROJECT_SOURCE_DIR}/cmake/CheckDebPackage.cmake)
  set_tests_properties(quorlet3-deb-package PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
  # Debian's package checker over the same package: no error may be found. Without
  # lintian on the machine the test reports itself skipped.
  add_test(NAME quorlet3-deb-lintian
           COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${PROJECT_BINARY_DIR} -DCPACK=${CMAKE_CPACK_COMMAND}
                   -P ${PROJECT_SOURCE_DIR}/cmake/LintDebPackage.cmake)
  set_tests_properties(quorlet3-deb-lintian PROPERTIES TIMEOUT 600 RUN_SERIAL TRUE
                       SKIP_REGULAR_EXPRESSION "lintian is not installed")
endif()

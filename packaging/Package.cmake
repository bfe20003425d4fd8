# The Debian package (cpack -G DEB, `make package`): what `cmake --install`
# puts under /usr, stripped. Its dependencies are the runtime packages of the
# libraries the programs link (found by dpkg-shlibdeps), Qt's ODBC driver and
# the FreeTDS driver for SQL Server.
set(CPACK_PACKAGE_NAME tannbuch)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tannbuch")
set(CPACK_PACKAGE_CONTACT "Tannbuch <tannbuch@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "prints timber lists from a forestry database as spreadsheet reports")
set(CPACK_PACKAGE_DESCRIPTION
  "Tannbuch reads the measurement records of a forestry application's SQL Server\n"
  "database and prints a timber list as a spreadsheet report built from the\n"
  "customer's template, in a window or unattended for the host application.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-odbc, tdsodbc")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups-client, fonts-dejavu-core")
# Only legacy .xlt templates need the office suite.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libreoffice-calc-nogui")
include(CPack)

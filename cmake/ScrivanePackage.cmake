# The Debian package: `cpack -G DEB` in the build folder gives
# scrivane_<version>_amd64.deb, installed under /usr.
set(CPACK_PACKAGE_NAME scrivane)
set(CPACK_PACKAGE_VENDOR "The Scrivane developers")
set(CPACK_PACKAGE_CONTACT "The Scrivane developers <developers@scrivane.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "clean the payee names of OFX bank statements")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The package is for users, not for debugging it.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://scrivane.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Help hands the guide to xdg-open; the other two keep the file types and the
# menu up to date.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, shared-mime-info, desktop-file-utils")
# The long description; CPack puts the summary above it, indents every line and
# turns the empty line into the control file's paragraph break.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Scrivane takes a bank, credit-card or investment statement downloaded as an
OFX file and cleans its payee names by your rules: it drops listed words,
dates, numbers and repeated words, and converts the names to proper case.
It puts in the bank identifier that QuickBooks and Quicken ask for and gives
the file the matching .QBO or .QFX extension.

The package holds the desktop program, scrivane, and the command-line
program, scrivane-clean.")
# The menu, icon and file-type caches are refreshed by the triggers of the
# packages that own them.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${PROJECT_SOURCE_DIR}/dist/linux/triggers")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)

set(CPACK_GENERATOR DEB)
include(CPack)

# The Debian package: `cpack -G DEB` in a build configured with -DCMAKE_INSTALL_PREFIX=/usr
# (scripts/package does it all) makes carryover_<version>_<arch>.deb from what the build installs.
set(CARRYOVER_MAINTAINER "The Carryover developers <maintainers@users.noreply.c-seed-6f3589db.example>"
  CACHE STRING "The package's maintainer, as Name <address>")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME carryover)
set(CPACK_PACKAGE_VENDOR "The Carryover developers")
set(CPACK_PACKAGE_CONTACT "${CARRYOVER_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "carry a configuration property list over into a newer sample")
# One string, broken into the lines the package's description shows.
set(CPACK_PACKAGE_DESCRIPTION "\
Carryover carries a user's configuration property list over into the
structure of a newer, full sample of the same configuration format. It
compares the two files, marks every entry with what happened to it (taken
from the sample, switched off, merged, replaced, inserted, unmatched) and
writes the merged result as a property list.

The package holds the desktop application, carryover, and the command-line
tool carryover-cli, which prints the differences and writes the merge in
scripts. Both read XML and binary property lists. License: ${CARRYOVER_LICENSE}.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)

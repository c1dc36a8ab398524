# SPDX-License-Identifier: MIT
# Debian packages with CPack: `cpack -G DEB` in a tree configured with
# -DCMAKE_INSTALL_PREFIX=/usr (scripts/package.sh) makes one package per
# install component:
#   q57backup   the programs, the preview library, help, desktop files, manual pages
#   libspp1     the link library libspp.so.1
#   libspp-dev  spp.h, the libspp.so link, spp.pc, the CMake package files, spp(3)
# Dependencies on other packages come from dpkg-shlibdeps; the ones between
# these three are named here.
include_guard(GLOBAL)

set(Q57_PACKAGE_MAINTAINER "Q57 Backup authors <q57backup@example.org>"
    CACHE STRING "Maintainer field of the Debian packages")
set(Q57_PACKAGE_HOMEPAGE "https://q57backup.example.org/"
    CACHE STRING "Homepage field of the Debian packages")

include(Q57PackageDocs)
q57_package_docs(q57backup q57backup)
q57_package_docs(libspp1 libspp1)
q57_package_docs(libspp-dev libspp-dev)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME q57backup)
set(CPACK_PACKAGE_VENDOR "the Q57 Backup authors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${Q57_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_HOMEPAGE_URL "${Q57_PACKAGE_HOMEPAGE}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
# Installed programs and libraries carry no debug information (lintian:
# unstripped-binary-or-object); the build tree keeps it for backtraces.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL q57backup libspp1 libspp-dev)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # <name>_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_SOURCE q57backup)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
find_program(Q57_DPKG dpkg)
if(Q57_DPKG)
  execute_process(COMMAND ${Q57_DPKG} --print-architecture
                  OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps has to find libspp.so.1, which the programs link, though no
# installed package holds it yet: it is taken from the build tree (and adds
# no dependency; q57backup's on libspp1 is named below).
get_target_property(q57_spp_dir spp LIBRARY_OUTPUT_DIRECTORY)
if(NOT q57_spp_dir)
  get_target_property(q57_spp_dir spp BINARY_DIR)
endif()
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${q57_spp_dir})
# Control files 0644, maintainer scripts 0755, whatever the umask.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Packages of these components depend on each other at exactly this version.
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

# q57backup
set(CPACK_DEBIAN_Q57BACKUP_PACKAGE_NAME q57backup)
set(CPACK_DEBIAN_Q57BACKUP_PACKAGE_SECTION utils)
set(CPACK_COMPONENT_Q57BACKUP_DEPENDS libspp1) # the programs link libspp.so.1
# Loaded as Qt plugins or started, so dpkg-shlibdeps cannot see them: the SVG
# image plugin draws the window's icon; xdg-open shows the status log
# (without it the window uses Qt's own opener).
set(CPACK_DEBIAN_Q57BACKUP_PACKAGE_DEPENDS "libqt6svg6")
set(CPACK_DEBIAN_Q57BACKUP_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_Q57BACKUP_DESCRIPTION
  "backup and restore for the Zantherix Q57 messaging device
Q57 Backup copies the preferences, address book, folders, memos and quick
texts of a Zantherix Q57 handheld messaging device to files and back, over a
serial port or UDP. It also merges and edits address books.
.
This package holds the window q57backup, the command-line program
q57backup-cli, the address book editor q57adredit and the device simulator
q57sim.
.
To use a serial port, a user must be in the dialout group
(sudo adduser $USER dialout, then log in again).")

# libspp1
set(CPACK_DEBIAN_LIBSPP1_PACKAGE_NAME libspp1)
set(CPACK_DEBIAN_LIBSPP1_PACKAGE_SECTION libs)
# The shlibs file tells dpkg-shlibdeps of other packages that libspp.so.1 comes from here.
# (CPack makes one for every package with a library that has a SONAME: libspp1 alone.)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# ldconfig runs once after dpkg has installed or removed the library (a
# trigger: control files go in by their file name).
file(WRITE ${CMAKE_BINARY_DIR}/package-docs/libspp1/triggers "activate-noawait ldconfig\n")
set(CPACK_DEBIAN_LIBSPP1_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/package-docs/libspp1/triggers)
set(CPACK_DEBIAN_LIBSPP1_DESCRIPTION
  "link library for the Zantherix Q57 messaging device
libspp speaks the Q57's framed link protocol (versions 4 and 3) over a serial
port or over UDP: connecting, acknowledged sends, receives and the device's
reset signals. Q57 Backup uses it.")

# libspp-dev
set(CPACK_DEBIAN_LIBSPP-DEV_PACKAGE_NAME libspp-dev)
set(CPACK_DEBIAN_LIBSPP-DEV_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_LIBSPP-DEV_DEPENDS libspp1)
set(CPACK_DEBIAN_LIBSPP-DEV_DESCRIPTION
  "link library for the Zantherix Q57 messaging device - development files
libspp speaks the Q57's framed link protocol (versions 4 and 3) over a serial
port or over UDP.
.
This package holds the header spp.h, which is also the library's reference,
the manual page spp(3), and the files for pkg-config and CMake.")

include(CPack)

# SPDX-License-Identifier: MIT
# The two files Debian wants in every package's /usr/share/doc/<package>/: the
# machine-readable (DEP-5) copyright, made from LICENSE so that the license
# text has one home, and the changelog (changelog.gz: the packages are native,
# their version has no Debian revision). Both are written when CMake
# configures, and installed with each component by q57_package_docs().
include_guard(GLOBAL)
include(GNUInstallDirs)
find_program(Q57_GZIP gzip REQUIRED)

set(Q57_PACKAGE_DOCS_DIR ${CMAKE_BINARY_DIR}/package-docs)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)

# copyright: the DEP-5 header, then LICENSE's permission notice as the text of
# the MIT license paragraph (each line indented, empty lines as " .").
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE q57_license_lines)
set(q57_copyright_notice)
set(q57_license_text)
set(q57_in_notice FALSE)
foreach(line IN LISTS q57_license_lines)
  if(line MATCHES "^Copyright ")
    set(q57_copyright_notice "${line}")
    set(q57_in_notice TRUE)
  elseif(q57_in_notice)
    if(line STREQUAL "")
      string(APPEND q57_license_text " .\n")
    else()
      string(APPEND q57_license_text " ${line}\n")
    endif()
  endif()
endforeach()
# The notice starts after the copyright line's empty line.
string(REGEX REPLACE "^ \\.\n" "" q57_license_text "${q57_license_text}")
if(NOT q57_copyright_notice OR NOT q57_license_text)
  message(FATAL_ERROR "LICENSE has no copyright line or no permission notice")
endif()
file(WRITE ${Q57_PACKAGE_DOCS_DIR}/copyright
  "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
  "Upstream-Name: Q57 Backup\n"
  "Upstream-Contact: ${Q57_PACKAGE_MAINTAINER}\n"
  "\n"
  "Files: *\n"
  "Copyright: ${q57_copyright_notice}\n"
  "License: MIT\n"
  "\n"
  "License: MIT\n"
  "${q57_license_text}")

# changelog.gz: one entry per released version, newest first.
file(WRITE ${Q57_PACKAGE_DOCS_DIR}/changelog
  "q57backup (${PROJECT_VERSION}) unstable; urgency=medium\n"
  "\n"
  "  * First packaged release: q57backup, q57backup-cli, q57adredit and q57sim\n"
  "    with their manual pages; the link library libspp1 and its development\n"
  "    files libspp-dev.\n"
  "\n"
  " -- ${Q57_PACKAGE_MAINTAINER}  Thu, 10 Dec 2026 12:00:00 +0000\n")
execute_process(COMMAND ${Q57_GZIP} -9nf ${Q57_PACKAGE_DOCS_DIR}/changelog COMMAND_ERROR_IS_FATAL ANY)

# q57_package_docs(<component> <package>): the copyright and changelog in
# usr/share/doc/<package>/ of that component's package.
function(q57_package_docs component package)
  install(FILES ${Q57_PACKAGE_DOCS_DIR}/copyright ${Q57_PACKAGE_DOCS_DIR}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package}
          COMPONENT ${component})
endfunction()

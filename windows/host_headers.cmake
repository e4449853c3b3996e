# SPDX-License-Identifier: GPL-3.0-or-later
# Header-only libraries from Debian's /usr/include for the Windows build,
# without putting all of /usr/include (Linux's C library headers) on
# mingw's include path: each gets a link in an include directory of the
# build tree. CLI11 (libcli11-dev) becomes CLI11::CLI11 when it is there.
set(VOSTREL_HOST_INCLUDE_DIR ${CMAKE_BINARY_DIR}/host-include)
file(MAKE_DIRECTORY ${VOSTREL_HOST_INCLUDE_DIR})
if(EXISTS /usr/include/CLI/CLI.hpp AND NOT TARGET CLI11::CLI11)
    file(CREATE_LINK /usr/include/CLI ${VOSTREL_HOST_INCLUDE_DIR}/CLI SYMBOLIC)
    add_library(CLI11::CLI11 INTERFACE IMPORTED)
    target_include_directories(CLI11::CLI11 SYSTEM INTERFACE ${VOSTREL_HOST_INCLUDE_DIR})
endif()

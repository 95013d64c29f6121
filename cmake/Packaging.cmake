# `make package` (CPack): a Debian package from the Linux build (the programs in
# /usr/bin, the manual page in /usr/share/man/man1), a zip from the Windows build (the
# programs, the README and examples/function.txt).
set(CPACK_PACKAGE_NAME allocate)
set(CPACK_PACKAGE_VERSION 1.0.0)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Shares a budget among 8 projects with a genetic search")
set(CPACK_PACKAGE_CONTACT "allocate developers <allocate@localhost>")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME windows-x86_64)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION math)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.32), libstdc++6 (>= 12), libgcc-s1")
endif()
include(CPack)

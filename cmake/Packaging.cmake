# What ships beside the programs, and `make package` (CPack): a Debian package from the
# Linux build, a zip from the Windows build. Both carry the licence, the README, the
# sample table and the manuals: the manual pages gzipped where Debian puts them, and in
# the zip the same pages rendered as plain text, every text there with CR LF.
#
#   .deb (amd64, and arm64 from the aarch64 cross build): /usr/bin/{allocate,allocate-optimum}, /usr/share/man/man1/*.1.gz,
#         /usr/share/doc/allocate/{copyright,changelog.gz,README.md.gz,examples/function.txt},
#         /usr/share/lintian/overrides/allocate
#   zip:  allocate.exe, allocate-optimum.exe, allocate.txt, allocate-optimum.txt,
#         LICENSE.txt, README.md, examples/function.txt

# packaging/changelog (Debian's format) names the release and who made it; the package
# takes its maintainer from there, and a version bumped without an entry stops here.
file(STRINGS packaging/changelog changelog_top LIMIT_COUNT 1)
file(STRINGS packaging/changelog changelog_signature REGEX "^ -- " LIMIT_COUNT 1)
string(REGEX MATCH "^allocate \\(([^)]+)\\)" changelog_top "${changelog_top}")
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "packaging/changelog starts with version '${CMAKE_MATCH_1}', "
                      "the project is ${PROJECT_VERSION}: add an entry for it")
endif()
string(REGEX REPLACE "^ -- (.*>)  .*$" "\\1" ALLOCATE_MAINTAINER "${changelog_signature}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS packaging/changelog LICENSE)

set(MANUAL_PAGES allocate allocate-optimum)
set(SHIPPED ${PROJECT_BINARY_DIR}/shipped)

if(WIN32)
  # Rendered on the building machine: a Windows user has no man.
  find_program(GROFF groff REQUIRED)
  set(texts)
  foreach(page IN LISTS MANUAL_PAGES)
    add_custom_command(
      OUTPUT ${SHIPPED}/${page}.txt
      COMMAND ${CMAKE_COMMAND} -DMANUAL=${GROFF} -DINPUT=${PROJECT_SOURCE_DIR}/docs/${page}.1
              -DOUTPUT=${SHIPPED}/${page}.txt -P ${PROJECT_SOURCE_DIR}/cmake/WindowsText.cmake
      DEPENDS docs/${page}.1 cmake/WindowsText.cmake
      VERBATIM)
    list(APPEND texts ${SHIPPED}/${page}.txt)
  endforeach()
  foreach(source IN ITEMS LICENSE README.md)
    string(REGEX REPLACE "^LICENSE$" "LICENSE.txt" name ${source})
    add_custom_command(
      OUTPUT ${SHIPPED}/${name}
      COMMAND ${CMAKE_COMMAND} -DINPUT=${PROJECT_SOURCE_DIR}/${source}
              -DOUTPUT=${SHIPPED}/${name} -P ${PROJECT_SOURCE_DIR}/cmake/WindowsText.cmake
      DEPENDS ${source} cmake/WindowsText.cmake
      VERBATIM)
    list(APPEND texts ${SHIPPED}/${name})
  endforeach()
  add_custom_target(shipped_texts ALL DEPENDS ${texts})
  install(FILES ${texts} DESTINATION .)
  install(FILES examples/function.txt DESTINATION examples)
else()
  # Debian wants manual pages and changelogs (and documents above 4 kB) gzipped at the
  # highest level, without name or time stamp, so that a rebuild gives the same bytes.
  set(gzipped)
  foreach(source IN ITEMS docs/allocate.1 docs/allocate-optimum.1 packaging/changelog README.md)
    get_filename_component(name ${source} NAME)
    add_custom_command(
      OUTPUT ${SHIPPED}/${name}.gz
      COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/${source} ${SHIPPED}/${name}
      COMMAND gzip -9nf ${SHIPPED}/${name}
      DEPENDS ${source}
      VERBATIM)
    list(APPEND gzipped ${SHIPPED}/${name}.gz)
  endforeach()
  add_custom_target(shipped_texts ALL DEPENDS ${gzipped})

  # The licence in Debian's machine-readable copyright format, from LICENSE itself: its
  # copyright line, then its text indented, with " ." for a blank line.
  file(READ LICENSE license)
  string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" holder "${license}")
  set(holder "${CMAKE_MATCH_1}")
  string(REGEX REPLACE "^.*Copyright \\(c\\) [^\n]*\n\n" "" license "${license}")
  string(REGEX REPLACE "\n+$" "" license "${license}")
  string(REPLACE "\n\n" "\n.\n" license "${license}")
  string(REPLACE "\n" "\n " license "${license}")
  file(WRITE ${SHIPPED}/copyright
       "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
       "Upstream-Name: allocate\n\n"
       "Files: *\n"
       "Copyright: ${holder}\n"
       "License: Expat\n"
       " ${license}\n")

  install(FILES ${SHIPPED}/allocate.1.gz ${SHIPPED}/allocate-optimum.1.gz
          DESTINATION share/man/man1)
  install(FILES ${SHIPPED}/copyright ${SHIPPED}/changelog.gz ${SHIPPED}/README.md.gz
          DESTINATION share/doc/allocate)
  install(FILES examples/function.txt DESTINATION share/doc/allocate/examples)

  # Installed stripped, as for a package: the programs also lose the compilers' notes in
  # .comment, as Debian's own packages do (strip keeps that section), and lintian learns
  # why it finds no fortified call (packaging/lintian-overrides).
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      foreach(program IN ITEMS allocate allocate-optimum)
        execute_process(
          COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                  \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/\${program}\"
          COMMAND_ERROR_IS_FATAL ANY)
      endforeach()
      file(INSTALL \"${PROJECT_SOURCE_DIR}/packaging/lintian-overrides\"
           DESTINATION \"\${CMAKE_INSTALL_PREFIX}/share/lintian/overrides\" RENAME allocate
           PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    endif()")
endif()

set(CPACK_PACKAGE_NAME allocate)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "share a budget among 8 projects with a genetic search")
# The extended description, in lines short enough for Debian's tools (at most 79).
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "allocate splits one budget (money, hours, machines) among eight uses whose\n"
    "returns flatten or fall off as they grow. It reads the profit of each use at\n"
    "ten investment levels from a table, function.txt, interpolates linearly in\n"
    "between, and evolves a population of allocations for as many generations as\n"
    "the user asks; then it prints every allocation of the final population with\n"
    "its profit.\n"
    "\n"
    "allocate-optimum reads the same table and prints the exact best allocation, to\n"
    "show how close the search came.")
set(CPACK_PACKAGE_CONTACT "${ALLOCATE_MAINTAINER}")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME windows-x86_64)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION math)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.32), libstdc++6 (>= 12), libgcc-s1")
  # A cross build is packed for its own processor, under Debian's name for it.
  if(CMAKE_CROSSCOMPILING)
    set(debian_architectures aarch64=arm64 riscv64=riscv64 s390x=s390x)
    foreach(pair IN LISTS debian_architectures)
      if(pair MATCHES "^${CMAKE_SYSTEM_PROCESSOR}=(.*)$")
        set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${CMAKE_MATCH_1})
      endif()
    endforeach()
  endif()
endif()
include(CPack)

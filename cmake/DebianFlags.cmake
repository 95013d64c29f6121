# Debian's own build flags for a package's programs, as dpkg-buildflags gives them with
# every hardening feature on: fortified library calls, the stack protector, read-only
# relocations bound at start. Compiled before the project's own flags, which come after
# them on every command line, so -ffp-contract=off and -O2 still hold.
if(CMAKE_CROSSCOMPILING)
  set(debian_architectures aarch64=arm64 riscv64=riscv64 s390x=s390x)
  foreach(pair IN LISTS debian_architectures)
    if(pair MATCHES "^${CMAKE_SYSTEM_PROCESSOR}=(.*)$")
      set(debian_host_architecture DEB_HOST_ARCH=${CMAKE_MATCH_1})
    endif()
  endforeach()
endif()
find_program(DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
            ${debian_host_architecture} ${DPKG_BUILDFLAGS} --get ${kind}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    OUTPUT_VARIABLE flags
    OUTPUT_STRIP_TRAILING_WHITESPACE
    COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  if(flags MATCHES "fast-math")
    message(FATAL_ERROR "dpkg-buildflags asks for ${flags}: results would change")
  endif()
  if(kind STREQUAL LDFLAGS)
    add_link_options(${flags})
  else()
    add_compile_options(${flags})
  endif()
  message(STATUS "Debian's ${kind}: ${flags}")
endforeach()

# Shared by the cross-build toolchain files (aarch64, riscv64, s390x): Debian's cross
# compiler for CROSS_PROCESSOR, its own library tree, static linking (by default) so qemu-user
# runs the programs without a loader path, and qemu-user as the emulator CTest runs them under.
# GoogleTest comes from its sources there (ALLOCATE_GTEST_SOURCE=/usr/src/googletest).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${CROSS_PROCESSOR})
set(CROSS_TRIPLE ${CROSS_PROCESSOR}-linux-gnu)

set(CMAKE_C_COMPILER ${CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${CROSS_TRIPLE}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ALLOCATE_CROSS_STATIC=OFF links against the shared libraries instead, as a Debian
# package must; qemu-user then takes them from the cross compiler's tree.
if(NOT DEFINED ALLOCATE_CROSS_STATIC OR ALLOCATE_CROSS_STATIC)
  set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
  set(CMAKE_CROSSCOMPILING_EMULATOR qemu-${CROSS_PROCESSOR})
else()
  set(CMAKE_CROSSCOMPILING_EMULATOR qemu-${CROSS_PROCESSOR} -L /usr/${CROSS_TRIPLE})
endif()

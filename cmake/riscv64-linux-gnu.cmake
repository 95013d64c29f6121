# Cross build for riscv64 Linux: see linux-cross.cmake.
set(CROSS_PROCESSOR riscv64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)

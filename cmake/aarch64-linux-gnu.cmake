# Cross build for aarch64 Linux: see linux-cross.cmake.
set(CROSS_PROCESSOR aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)

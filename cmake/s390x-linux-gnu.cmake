# Cross build for s390x Linux, big-endian: see linux-cross.cmake.
set(CROSS_PROCESSOR s390x)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)

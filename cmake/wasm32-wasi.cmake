# Build for WebAssembly as a WASI command (Debian's clang 14, lld 14, wasi-libc and the
# wasm32 libc++): allocate.wasm and allocate-optimum.wasm, run by wasm/run.mjs under Node.
# WebAssembly has no x87 unit, so the extended type is the software one; it has no
# exceptions in this toolchain, no signals and no code addresses a program can read.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
set(CMAKE_C_COMPILER clang-14)
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_C_COMPILER_TARGET wasm32-wasi)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
set(CMAKE_CXX_FLAGS_INIT -fno-exceptions)
# wasm-ld leaves a command 64 KiB of stack (the native programs have megabytes), placed
# first, so that running out of it is a bad memory access rather than a write over data.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld -Wl,-z,stack-size=1048576 -Wl,--stack-first")
set(CMAKE_EXECUTABLE_SUFFIX_CXX .wasm)
# CTest runs the unit suites' modules under Node.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../wasm/run.mjs)
# Nothing of the building machine's own libraries (GoogleTest, Google Benchmark) is found.
set(CMAKE_FIND_ROOT_PATH /usr/lib/wasm32-wasi)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

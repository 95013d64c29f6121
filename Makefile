# The commands of the README: `make run`, `make test`, and for Windows `make windows` and
# `make test-windows`; `make package` builds both packages. Each sets up what it needs on
# a fresh Debian machine.
BUILD         ?= build
WINDOWS_BUILD ?= build-windows
JOBS          ?= 2
CMAKE_ARGS    ?=
# The project's version, as the packages' names carry it.
VERSION       := $(shell sed -n "s/^project.allocate VERSION \([0-9.]*\).*/\1/p" CMakeLists.txt)

.PHONY: all deps configure build programs run test check-source bench install clean package lint-package \
        windows test-windows test-sanitize test-exhaustive fuzz-build fuzz test-soft \
        cross test-cross package-amd64 package-arm64 test-package wasm test-wasm web web-modules \
        web-serve test-web package-web

all: build

# Debian packages, each with a file that shows it is there. The program alone needs only
# the first three.
RUN_DEPS := cmake:/usr/bin/cmake g++:/usr/bin/g++ make:/usr/bin/make
DEPS := $(RUN_DEPS) libgtest-dev:/usr/include/gtest/gtest.h \
        libbenchmark-dev:/usr/include/benchmark/benchmark.h
# groff renders the manual pages as text for the Windows zip.
WINDOWS_DEPS := g++-mingw-w64-x86-64:/usr/bin/x86_64-w64-mingw32-g++-posix \
                googletest:/usr/src/googletest/CMakeLists.txt groff-base:/usr/bin/groff
WINE_DEPS := wine64:/usr/lib/wine/wine64 wine:/usr/bin/wine
PACKAGE_DEPS := lintian:/usr/bin/lintian

deps:
	@missing=""; \
	for dep in $(DEPS); do \
	  [ -e "$${dep#*:}" ] || missing="$$missing $${dep%%:*}"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "installing:$$missing"; \
	    apt-get update -q && \
	      DEBIAN_FRONTEND=noninteractive apt-get install -y -q $(APT_FLAGS) $$missing; \
	  else \
	    echo "missing Debian packages:$$missing (install them as root: apt-get install$$missing)"; \
	    exit 1; \
	  fi; \
	fi

# Extra apt-get install flags for a set of packages that needs no recommended ones.
APT_FLAGS ?=

# Configured on every build, so tests whose packages came later are picked up.
configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Only the two programs: no tests, no benchmarks, no GoogleTest needed.
programs:
	$(MAKE) deps DEPS="$(RUN_DEPS)"
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS)
	cmake --build $(BUILD) -j $(JOBS) --target allocate allocate-optimum

run: programs
	cd examples && ../$(BUILD)/allocate

# The source checks first: no include runs upward between the folders of src/, and every
# file is laid out as .clang-format says.
test: build check-source
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

check-source:
	$(MAKE) deps DEPS="clang-format:/usr/bin/clang-format"
	cmake/check_includes.sh
	cmake/check_format.sh

# allocate.exe, cross-built with MinGW-w64 (posix threads, linked statically). Packing the
# zip takes only what `make windows` built, not the Windows test programs.
WINDOWS_CONFIGURE := cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DALLOCATE_GTEST_SOURCE=/usr/src/googletest \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON

windows:
	$(MAKE) deps DEPS="$(RUN_DEPS) $(WINDOWS_DEPS)"
	$(WINDOWS_CONFIGURE)
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target allocate allocate-optimum shipped_texts

# The unit suites built for Windows and run under Wine, then the end-to-end suites (Linux
# programs) against allocate.exe under Wine for every case through pipes and files. Wine
# gets a prefix of its own and one persistent server, warmed up with its standard streams
# detached (Wine's services must not inherit CTest's pipes), and stopped at the end.
# Wine now and then loses a process (a test program that ends at once, or part-way, with
# no output and no report): a failed test runs once more there, in CTest's log for all to
# see. A failure of the program itself fails both times.
WINE_SETUP := export WINEPREFIX=$(abspath $(WINDOWS_BUILD))/wine-prefix WINEDEBUG=-all
WINE_CTEST := ctest --output-on-failure -j $(JOBS) --repeat until-pass:2

test-windows: build
	$(MAKE) deps DEPS="$(RUN_DEPS) $(WINDOWS_DEPS) $(WINE_DEPS)"
	$(WINDOWS_CONFIGURE)
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	@set -e; $(WINE_SETUP); mkdir -p "$$WINEPREFIX"; \
	wineserver -p; trap 'wineserver -k' EXIT; \
	(cd $(WINDOWS_BUILD) && wine ./allocate.exe </dev/null >/dev/null 2>&1) || true; \
	$(WINE_CTEST) --test-dir $(WINDOWS_BUILD); \
	ALLOCATE_PROGRAM=$(abspath $(WINDOWS_BUILD))/allocate.exe \
	OPTIMUM_PROGRAM=$(abspath $(WINDOWS_BUILD))/allocate-optimum.exe ALLOCATE_EMULATOR=$$(command -v wine) \
	  $(WINE_CTEST) --test-dir $(BUILD) -L e2e

# The whole suite with the extended type in integers (as every processor but x86-64
# computes) on this machine, where its differential tests also meet the x87 unit.
SOFT_BUILD ?= build-soft
test-soft:
	$(MAKE) test BUILD=$(SOFT_BUILD) CMAKE_ARGS="$(CMAKE_ARGS) -DALLOCATE_SOFT_EXTENDED=ON"

# Builds for other processors with Debian's cross compilers (static, so qemu-user runs
# them as they are): `make cross` all three, `make cross-aarch64` one. `make test-cross`
# runs each unit suite under qemu-user, then the end-to-end suites of the native build
# against the emulated programs; the fixed clock is preloaded into the emulator only.
CROSS_PROCESSORS := aarch64 riscv64 s390x
CROSS_SUITES ?= unit e2e
CROSS_DEPS_aarch64 := g++-aarch64-linux-gnu:/usr/bin/aarch64-linux-gnu-g++
CROSS_DEPS_riscv64 := g++-riscv64-linux-gnu:/usr/bin/riscv64-linux-gnu-g++
CROSS_DEPS_s390x := g++-s390x-linux-gnu:/usr/bin/s390x-linux-gnu-g++
CROSS_COMMON_DEPS := qemu-user:/usr/bin/qemu-aarch64 googletest:/usr/src/googletest/CMakeLists.txt

cross: $(addprefix cross-,$(CROSS_PROCESSORS))
test-cross: $(addprefix test-cross-,$(CROSS_PROCESSORS))

cross-%:
	$(MAKE) deps DEPS="$(RUN_DEPS) $(CROSS_COMMON_DEPS) $(CROSS_DEPS_$*)" APT_FLAGS=--no-install-recommends
	cmake -S . -B build-$* -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/$*-linux-gnu.cmake \
	  -DALLOCATE_GTEST_SOURCE=/usr/src/googletest $(CMAKE_ARGS)
	cmake --build build-$* -j $(JOBS) $(if $(filter unit,$(CROSS_SUITES)),,--target allocate allocate-optimum)

# CROSS_SUITES=e2e builds only the programs and runs only the end-to-end suites (CI does
# so for riscv64 and s390x).
test-cross-%: build cross-%
	$(if $(filter unit,$(CROSS_SUITES)),ctest --test-dir build-$* --output-on-failure -j $(JOBS) -LE e2e)
	$(if $(filter e2e,$(CROSS_SUITES)),ALLOCATE_PROGRAM=$(abspath build-$*)/allocate \
	  OPTIMUM_PROGRAM=$(abspath build-$*)/allocate-optimum ALLOCATE_EMULATOR=$$(command -v qemu-$*) \
	  QEMU_UNSET_ENV=LD_PRELOAD ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) -L e2e)

# allocate.wasm and allocate-optimum.wasm in build-wasm/: WASI commands built with clang 14
# and wasi-libc, on the software extended type (docs/wasm.md). wasm/run.mjs runs one under
# Node as a command; `make test-wasm` tests the runner itself (node --test), runs the unit
# suites that a WASI command can run as modules under it, then the end-to-end suites of
# the native build against both programs through it.
WASM_BUILD ?= build-wasm
WASM_DEPS := clang-14:/usr/bin/clang++-14 lld-14:/usr/bin/wasm-ld-14 \
             wasi-libc:/usr/lib/wasm32-wasi/libc.a \
             libc++-14-dev-wasm32:/usr/lib/llvm-14/lib/wasm32-wasi/libc++.a \
             libc++abi-14-dev-wasm32:/usr/lib/llvm-14/lib/wasm32-wasi/libc++abi.a \
             libclang-rt-14-dev-wasm32:/usr/lib/llvm-14/lib/clang/14.0.6/lib/wasi/libclang_rt.builtins-wasm32.a
NODE_DEPS := nodejs:/usr/bin/node googletest:/usr/src/googletest/CMakeLists.txt

wasm:
	$(MAKE) deps DEPS="$(RUN_DEPS) $(WASM_DEPS)" APT_FLAGS=--no-install-recommends
	cmake -S . -B $(WASM_BUILD) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/wasm32-wasi.cmake \
	  -DBUILD_TESTING=OFF $(CMAKE_ARGS)
	cmake --build $(WASM_BUILD) -j $(JOBS) --target allocate allocate-optimum

test-wasm: build wasm
	$(MAKE) deps DEPS="$(NODE_DEPS)"
	node --test wasm/
	cmake -S . -B $(WASM_BUILD) -DBUILD_TESTING=ON -DALLOCATE_GTEST_SOURCE=/usr/src/googletest
	cmake --build $(WASM_BUILD) -j $(JOBS)
	ctest --test-dir $(WASM_BUILD) --output-on-failure -j $(JOBS)
	ALLOCATE_PROGRAM=$(abspath $(WASM_BUILD))/allocate.wasm \
	OPTIMUM_PROGRAM=$(abspath $(WASM_BUILD))/allocate-optimum.wasm \
	ALLOCATE_EMULATOR=$(abspath wasm/run.mjs) \
	  ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) -L e2e

# A Debian package of the Linux build, one of the arm64 build and a zip of the Windows
# build, in package/ of each. The Debian packages are built apart, with Debian's own
# hardening flags (dpkg-buildflags) and without the tests; the arm64 programs are linked
# against the shared libraries, as a Debian package wants, unlike the static ones
# `make test-cross` runs.
PACKAGE_BUILD       ?= build-package
ARM64_PACKAGE_BUILD ?= build-aarch64-package
DEBIAN_FLAGS_DEPS   := dpkg-dev:/usr/bin/dpkg-buildflags
package: windows package-amd64 package-arm64 package-web
	cd $(WINDOWS_BUILD) && cpack

package-amd64:
	$(MAKE) deps DEPS="$(RUN_DEPS) $(DEBIAN_FLAGS_DEPS)"
	cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=Release -DALLOCATE_DEBIAN_FLAGS=ON \
	  -DBUILD_TESTING=OFF
	cmake --build $(PACKAGE_BUILD) -j $(JOBS) --target allocate allocate-optimum shipped_texts
	cd $(PACKAGE_BUILD) && cpack

package-arm64:
	$(MAKE) deps DEPS="$(RUN_DEPS) $(DEBIAN_FLAGS_DEPS) $(CROSS_COMMON_DEPS) $(CROSS_DEPS_aarch64)" \
	  APT_FLAGS=--no-install-recommends
	cmake -S . -B $(ARM64_PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake -DALLOCATE_CROSS_STATIC=OFF \
	  -DALLOCATE_DEBIAN_FLAGS=ON -DBUILD_TESTING=OFF
	cmake --build $(ARM64_PACKAGE_BUILD) -j $(JOBS) --target allocate allocate-optimum shipped_texts
	cd $(ARM64_PACKAGE_BUILD) && cpack

# The end-to-end suites against the programs as the amd64 package holds them (hardened,
# stripped): the same bytes and exit codes as the build the tests made. env runs them as
# they are, in place of an emulator.
test-package: build package-amd64
	rm -rf $(PACKAGE_BUILD)/unpacked
	dpkg-deb -x $(PACKAGE_BUILD)/package/allocate_$(VERSION)_amd64.deb $(PACKAGE_BUILD)/unpacked
	ALLOCATE_PROGRAM=$(abspath $(PACKAGE_BUILD))/unpacked/usr/bin/allocate \
	OPTIMUM_PROGRAM=$(abspath $(PACKAGE_BUILD))/unpacked/usr/bin/allocate-optimum \
	ALLOCATE_EMULATOR=$$(command -v env) ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) -L e2e

# Both packages as a packager would check them: lintian on the .deb fails on any error,
# warning or note (docs/packages.md), and each package must hold exactly its files, the
# zip's texts with CR LF.
lint-package: package
	$(MAKE) deps DEPS="$(PACKAGE_DEPS)"
	packaging/check $(WINDOWS_BUILD)/package/allocate-$(VERSION)-windows-x86_64.zip \
	  $(PACKAGE_BUILD)/package/allocate_$(VERSION)_amd64.deb \
	  $(ARM64_PACKAGE_BUILD)/package/allocate_$(VERSION)_arm64.deb

# Benchmarks are built with everything else but run only on request.
bench: build
	for b in $(BUILD)/bench/*_bench; do $$b; done

# What `make run` needs and no more: the programs and the texts installed beside them.
# `cmake --install` itself builds nothing.
install: programs
	cmake --build $(BUILD) -j $(JOBS) --target shipped_texts
	cmake --install $(BUILD)

clean:
	rm -rf $(BUILD) $(WINDOWS_BUILD) $(SOFT_BUILD) $(addprefix build-,$(CROSS_PROCESSORS)) \
	  $(PACKAGE_BUILD) $(ARM64_PACKAGE_BUILD) $(WASM_BUILD)

# The whole suite, unit and end-to-end, under AddressSanitizer and UBSan (g++, the
# program's own compiler). Any finding aborts the test that met it.
SANITIZE_BUILD ?= build-sanitize
test-sanitize:
	ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  $(MAKE) test BUILD=$(SANITIZE_BUILD) CMAKE_ARGS="$(CMAKE_ARGS) -DALLOCATE_SANITIZE=ON"

# Every float bit pattern through the report's number layouts (about 25 minutes on two
# cores), every positive float through the shortest digits' choice of a neighbour (about
# 47 minutes on two busy cores), and the software extended type against the x87 unit on
# every float pattern and tens of millions of random operands per operation: not part of
# `make test`.
EXHAUSTIVE_BUILD ?= build-exhaustive
test-exhaustive: deps
	cmake -S . -B $(EXHAUSTIVE_BUILD) -DCMAKE_BUILD_TYPE=Release -DALLOCATE_EXHAUSTIVE=ON $(CMAKE_ARGS)
	cmake --build $(EXHAUSTIVE_BUILD) -j $(JOBS) --target format_real_exhaustive extended_soft_exhaustive \
	  shortest_exhaustive
	ctest --test-dir $(EXHAUSTIVE_BUILD) -L exhaustive --output-on-failure

# libFuzzer targets (clang 14). `make fuzz` runs each for FUZZ_SECONDS from its seeds in
# fuzz/seeds/<target>, keeping what it learns in fuzz/corpus-<target> (not in git).
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := parse_number_fuzz channel_fuzz load_table_fuzz format_real_fuzz options_fuzz \
                shortest_fuzz
FUZZ_DEPS := clang-14:/usr/bin/clang++-14 \
             libclang-rt-14-dev:/usr/lib/llvm-14/lib/clang/14.0.6/lib/linux/libclang_rt.fuzzer-x86_64.a

fuzz-build:
	$(MAKE) deps DEPS="$(DEPS) $(FUZZ_DEPS)"
	[ -f $(FUZZ_BUILD)/CMakeCache.txt ] || cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 -DALLOCATE_FUZZ=ON -DBUILD_TESTING=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(FUZZ_TARGETS)

fuzz: fuzz-build
	@passed=0; \
	for target in $(FUZZ_TARGETS); do \
	  mkdir -p fuzz/corpus-$$target; \
	  log=$(FUZZ_BUILD)/$$target.log; \
	  if $(FUZZ_BUILD)/fuzz/$$target -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	       -artifact_prefix=fuzz/ fuzz/corpus-$$target fuzz/seeds/$$target >$$log 2>&1; then \
	    echo "$$target: $$(grep -o 'Done [0-9]* runs in [0-9]* second(s)' $$log), no finding"; \
	    passed=$$((passed + 1)); \
	  else \
	    tail -n 60 $$log; \
	    echo "fuzz: $$passed passed, 1 failed"; \
	    exit 1; \
	  fi; \
	done; \
	echo "fuzz: $$passed passed, 0 failed"

# The page: a static site in $(WEB_SITE) (one index.html that carries its scripts, both
# programs built for WebAssembly and the sample table, so it opens from a local folder as
# well as from a server). Its npm packages come from web/package-lock.json (npm ci), and
# are copied into the page at build time; nothing is fetched when the page runs.
WEB_SITE   ?= $(BUILD)/web
WEB_DEPS   := nodejs:/usr/bin/node npm:/usr/bin/npm
WEB_TEST_DEPS := chromium:/usr/bin/chromium
WEB_PORT   ?= 8026

web/node_modules/.package-lock.json: web/package-lock.json
	$(MAKE) deps DEPS="$(WEB_DEPS)" APT_FLAGS=--no-install-recommends
	cd web && npm ci --no-audit --no-fund
	touch $@

web-modules: web/node_modules/.package-lock.json

web: wasm web-modules
	node web/build.mjs --wasm $(WASM_BUILD) --sample examples/function.txt --out $(WEB_SITE)

# Serves the site on localhost until Ctrl-C.
web-serve: web
	node web/serve.mjs $(WEB_SITE) $(WEB_PORT)

# The page's own unit tests (Node), the WebAssembly builds' end-to-end suites, then the
# page in headless Chromium against the native programs; screenshots in $(WEB_SITE)-shots.
test-web: build web
	$(MAKE) deps DEPS="$(WEB_TEST_DEPS)" APT_FLAGS=--no-install-recommends
	cd web && node --test test/unit/
	$(MAKE) test-wasm
	ALLOCATE_SITE=$(abspath $(WEB_SITE)) ALLOCATE_SHOTS=$(abspath $(WEB_SITE))-shots \
	ALLOCATE_WASM_DIR=$(abspath $(WASM_BUILD)) \
	ALLOCATE_PROGRAM=$(abspath $(BUILD))/allocate OPTIMUM_PROGRAM=$(abspath $(BUILD))/allocate-optimum \
	ALLOCATE_SAMPLE=$(abspath examples/function.txt) CHROMIUM=/usr/bin/chromium \
	  node --test --test-concurrency=1 web/test/page/

# The site as a zip beside the Debian package: a folder with the page, the licences of
# the npm packages it carries, the sample table to load into it, and the licence.
WEB_PACKAGE := allocate-web-$(VERSION)
package-web: web
	$(MAKE) deps DEPS="zip:/usr/bin/zip"
	rm -rf $(BUILD)/package/$(WEB_PACKAGE) $(BUILD)/package/$(WEB_PACKAGE).zip
	mkdir -p $(BUILD)/package/$(WEB_PACKAGE)
	cp $(WEB_SITE)/index.html $(WEB_SITE)/THIRD-PARTY-LICENSES.txt examples/function.txt \
	  $(BUILD)/package/$(WEB_PACKAGE)/
	cp LICENSE $(BUILD)/package/$(WEB_PACKAGE)/LICENSE.txt
	cd $(BUILD)/package && zip -q -X -r $(WEB_PACKAGE).zip $(WEB_PACKAGE)

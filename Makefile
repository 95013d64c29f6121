# The two commands of the README: `make run` and `make test`. Both set up what they
# need on a fresh Debian machine.
BUILD      ?= build
JOBS       ?= 2
CMAKE_ARGS ?=

.PHONY: all deps configure build run test bench install clean \
        test-sanitize test-exhaustive fuzz-build fuzz

all: build

# Debian packages the build and the tests need, with a file that shows each is there.
DEPS := cmake:/usr/bin/cmake g++:/usr/bin/g++ make:/usr/bin/make \
        libgtest-dev:/usr/include/gtest/gtest.h \
        libbenchmark-dev:/usr/include/benchmark/benchmark.h

deps:
	@missing=""; \
	for dep in $(DEPS); do \
	  [ -e "$${dep#*:}" ] || missing="$$missing $${dep%%:*}"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "installing:$$missing"; \
	    apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q $$missing; \
	  else \
	    echo "missing Debian packages:$$missing (install them as root: apt-get install$$missing)"; \
	    exit 1; \
	  fi; \
	fi

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS)

configure: $(BUILD)/CMakeCache.txt

build: deps configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd examples && ../$(BUILD)/allocate

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# Benchmarks are built with everything else but run only on request.
bench: build
	for b in $(BUILD)/bench/*_bench; do $$b; done

install: build
	cmake --install $(BUILD)

clean:
	rm -rf $(BUILD)

# The whole suite, unit and end-to-end, under AddressSanitizer and UBSan (g++, the
# program's own compiler). Any finding aborts the test that met it.
SANITIZE_BUILD ?= build-sanitize
test-sanitize:
	ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  $(MAKE) test BUILD=$(SANITIZE_BUILD) CMAKE_ARGS="$(CMAKE_ARGS) -DALLOCATE_SANITIZE=ON"

# Every float bit pattern through the report's number layouts; about half an hour on
# two cores, so it is not part of `make test`.
EXHAUSTIVE_BUILD ?= build-exhaustive
test-exhaustive: deps
	cmake -S . -B $(EXHAUSTIVE_BUILD) -DCMAKE_BUILD_TYPE=Release -DALLOCATE_EXHAUSTIVE=ON $(CMAKE_ARGS)
	cmake --build $(EXHAUSTIVE_BUILD) -j $(JOBS) --target format_real_exhaustive
	ctest --test-dir $(EXHAUSTIVE_BUILD) -L exhaustive --output-on-failure

# libFuzzer targets (clang 14). `make fuzz` runs each for FUZZ_SECONDS from its seeds in
# fuzz/seeds/<target>, keeping what it learns in fuzz/corpus-<target> (not in git).
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := parse_number_fuzz channel_fuzz load_table_fuzz format_real_fuzz
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

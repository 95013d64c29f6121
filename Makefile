# The two commands of the README: `make run` and `make test`. Both set up what they
# need on a fresh Debian machine.
BUILD      ?= build
JOBS       ?= 2
CMAKE_ARGS ?=

.PHONY: all deps configure build run test bench install clean

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

install: build
	cmake --install $(BUILD)

clean:
	rm -rf $(BUILD)

# Everyday commands. `make` builds both builds; `make test` installs what is
# missing, builds, and runs the native tests and the Windows tests under Wine.

NATIVE_DIR  := build/native
WINDOWS_DIR := build/windows

# Debian packages the builds and tests need.
DEB_PACKAGES := cmake make g++ googletest mingw-w64 g++-mingw-w64-x86-64-posix \
                wine wine64 fonts-wine xvfb xauth clang libclang-rt-14-dev python3 \
                libbenchmark-dev xdotool imagemagick

export WINEPREFIX ?= $(HOME)/.wine-kivsetup
export WINEDEBUG  ?= -all

FUZZ_SECONDS       ?= 60
FUZZ_SECONDS_SHORT ?= 20

.PHONY: all native windows fuzz-build test test-native test-windows test-fuzz fuzz bench deps demo clean

all: native windows

# Configures build/<preset>. A cache that a failed configure left behind (a
# compiler missing, an install cut short) holds empty defaults, such as the
# optimisation flags, that a later configure would keep: it is thrown away, so
# every configure that succeeds starts from what the tools are now.
define configure
	@if [ -f build/$(1)/CMakeCache.txt ] && [ ! -f build/$(1)/Makefile ]; then \
	  echo "build/$(1): the last configure failed; configuring afresh"; \
	  rm -rf build/$(1)/CMakeCache.txt build/$(1)/CMakeFiles; \
	fi
	@cmake --preset $(1) || { rm -rf build/$(1)/CMakeCache.txt build/$(1)/CMakeFiles; \
	  echo "build/$(1): configure failed (is everything installed? 'make deps')" >&2; exit 1; }
endef

native:
	$(call configure,native)
	cmake --build --preset native

windows:
	$(call configure,windows)
	cmake --build --preset windows

fuzz-build:
	$(call configure,fuzz)
	cmake --build --preset fuzz

test: deps
	$(MAKE) all
	$(MAKE) test-native
	$(MAKE) test-windows
	tests/run-under-wine.sh tests/kivcheck/compare-builds.sh $(NATIVE_DIR) $(WINDOWS_DIR)
	tests/run-under-wine.sh tests/kivinstall/compare-installs.sh $(NATIVE_DIR) $(WINDOWS_DIR)
	$(MAKE) test-fuzz

test-native:
	ctest --preset native

test-windows:
	tests/run-under-wine.sh ctest --preset windows

# A short bounded fuzzing run, so every test run still hunts for regressions.
test-fuzz: fuzz-build
	tests/fuzz/run-fuzzers.sh $(FUZZ_SECONDS_SHORT)

fuzz: fuzz-build
	tests/fuzz/run-fuzzers.sh $(FUZZ_SECONDS)

# Load and Install benchmarks (not part of `make test`); see docs/performance.md.
bench: deps
	$(call configure,bench)
	cmake --build --preset bench
	build/bench/bench/kiv_bench

deps:
	@missing=""; for p in $(DEB_PACKAGES); do \
	  dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  sudo=""; [ "$$(id -u)" = 0 ] || sudo=sudo; \
	  $$sudo apt-get update && DEBIAN_FRONTEND=noninteractive $$sudo apt-get install -y $$missing; \
	fi

demo: deps
	$(MAKE) windows
	examples/demo.sh $(WINDOWS_DIR)/KivSetup.exe

clean:
	rm -rf build

# Everyday commands. `make` builds the three builds (the tests', the
# Windows one and the optimised tools users run); `make test` installs what is
# missing, builds, and runs the native tests and the Windows tests under Wine;
# `make sign` signs the built installer (README: "Signing a release").

NATIVE_DIR  := build/native
WINDOWS_DIR := build/windows
# The Windows build Wine runs the tests and the demo on: build/windows, or its
# 64-bit stand-in where Wine cannot start 32-bit programs; asked when a
# recipe runs (after `make deps`), not when make starts.
WINDOWS_TEST = $$(tests/support/windows-test-build.sh)
RELEASE_DIR := build/release

# Debian packages the builds and tests need. KivSetup.exe and the Windows tools
# are 32-bit programs: Wine runs them with wine32, from Debian's i386
# architecture, which `make deps` adds when it is missing.
# g++-mingw-w64-x86-64-posix builds the tests' 64-bit stand-in, for machines
# that run no 32-bit programs (tests/support/windows-test-build.sh).
DEB_PACKAGES := cmake make g++ googletest mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix help2man dpkg-dev \
                wine wine64 wine32:i386 fonts-wine xvfb xauth clang clang-format libclang-rt-14-dev python3 \
                libbenchmark-dev xdotool imagemagick git openssl osslsigncode locales lintian
# The locales whose ANSI code pages Wine takes in the tests of the code pages: 932, 936, 949 and 950,
# then 874 and 1250 to 1258; made with localedef when the system lacks them.
TEST_LOCALES := ja_JP zh_CN ko_KR zh_TW th_TH pl_PL ru_RU en_US el_GR tr_TR he_IL ar_SA lt_LT vi_VN

export WINEDEBUG  ?= -all

FUZZ_SECONDS       ?= 60
FUZZ_SECONDS_SHORT ?= 20

# make sign: the certificate and key that sign, either a PKCS#12 file or a
# certificate (chain) and key in PEM or DER; the password of either comes from
# the environment, KIV_SIGN_PASSWORD. Optional: an RFC 3161 timestamping server.
KIV_SIGN_PKCS12        ?=
KIV_SIGN_CERT          ?=
KIV_SIGN_KEY           ?=
KIV_SIGN_TIMESTAMP_URL ?=
# What is signed, and where the signed copy goes; the unsigned file stays.
KIV_SIGN_INPUT         ?= $(WINDOWS_DIR)/KivSetup.exe
KIV_SIGN_OUTPUT        ?= $(WINDOWS_DIR)/signed/KivSetup.exe

# make deb: the package's maintainer, "Name <address>"; when given, it is kept
# in build/release's cache (cmake/Install.cmake holds the default).
KIV_MAINTAINER ?=

.PHONY: all native windows windows-x64 release install deb fuzz-build test test-format test-deb test-native test-windows test-windows-cmd test-fuzz test-reproducible fuzz bench deps demo sign clean

all: native windows release

# Configures build/<preset>. A cache that a failed configure left behind (a
# compiler missing, an install cut short) holds empty defaults, such as the
# optimisation flags, that a later configure would keep: it is thrown away, so
# every configure that succeeds starts from what the tools are now. A second
# argument adds to the preset's settings.
define configure
	@if [ -f build/$(1)/CMakeCache.txt ] && [ ! -f build/$(1)/Makefile ]; then \
	  echo "build/$(1): the last configure failed; configuring afresh"; \
	  rm -rf build/$(1)/CMakeCache.txt build/$(1)/CMakeFiles; \
	fi
	@cmake --preset $(1) $(2) || { rm -rf build/$(1)/CMakeCache.txt build/$(1)/CMakeFiles; \
	  echo "build/$(1): configure failed (is everything installed? 'make deps')" >&2; exit 1; }
endef

native:
	$(call configure,native)
	cmake --build --preset native

windows:
	$(call configure,windows)
	cmake --build --preset windows

# The tools as users get them: optimised, no sanitizers, no tests.
release:
	$(call configure,release,$(if $(KIV_MAINTAINER),"-DKIV_MAINTAINER=$(KIV_MAINTAINER)"))
	cmake --build --preset release

# The optimised tools, their manual pages and KivSetup.exe into $(PREFIX);
# `make deb` puts the same files into a Debian package in build/release/deb.
PREFIX ?= /usr/local
install: release windows
	cmake --install $(RELEASE_DIR) --prefix $(PREFIX)

deb: release windows
	cd $(RELEASE_DIR) && rm -f deb/*.deb && cpack -G DEB
	@ls $(RELEASE_DIR)/deb/*.deb

fuzz-build:
	$(call configure,fuzz)
	cmake --build --preset fuzz

test: deps
	$(MAKE) test-format
	$(MAKE) all
	$(MAKE) test-native
	$(MAKE) test-windows
	$(MAKE) test-windows-cmd
	tests/run-under-wine.sh tests/kivcheck/compare-builds.sh $(NATIVE_DIR) build/$(WINDOWS_TEST)
	tests/run-under-wine.sh tests/kivinstall/compare-installs.sh $(NATIVE_DIR) build/$(WINDOWS_TEST)
	tests/run-under-wine.sh tests/codepages/compare-tables.sh $(NATIVE_DIR) build/$(WINDOWS_TEST)
	tests/run-under-wine.sh tests/kivinstall/compare-code-pages.sh $(NATIVE_DIR) build/$(WINDOWS_TEST)
	tests/run-under-wine.sh tests/kivinstall/compare-letter-case.sh $(NATIVE_DIR) build/$(WINDOWS_TEST)
	tests/exe/check-installed-tools.sh $(RELEASE_DIR)
	$(MAKE) test-deb
	$(MAKE) test-reproducible
	$(MAKE) test-fuzz

# The sources are laid out as .clang-format says (clang-format changes nothing).
test-format:
	tests/check-format.sh

test-native:
	ctest --preset native

# Where the tests run on the 64-bit stand-in, the 32-bit build's headers,
# imports and size (read by objdump, tests/exe/headers) are checked on it.
test-windows:
	@preset="$(WINDOWS_TEST)"; \
	if [ "$$preset" = windows ]; then tests/run-under-wine.sh ctest --preset windows; else \
	  $(MAKE) "$$preset" && ctest --test-dir $(WINDOWS_DIR)/tests/exe/headers --output-on-failure && \
	  tests/run-under-wine.sh ctest --preset "$$preset" -LE headers; fi

windows-x64:
	$(call configure,windows-x64)
	cmake --build --preset windows-x64

# The Windows tests as a Windows machine runs them: staged into one directory with their data and run by
# tests/run-on-windows.cmd in Wine's cmd; its exit status is the step's.
test-windows-cmd:
	@stage="$$(mktemp -d)" && trap 'rm -rf "$$stage"' EXIT && \
	tests/exe/stage-for-windows.sh build/$(WINDOWS_TEST) "$$stage" && \
	tests/run-under-wine.sh wine cmd /c "Z:$$(echo "$$stage" | tr / '\\')\\run-on-windows.cmd"

# The .deb passes lintian: no tag, informational and experimental ones included.
test-deb: deb
	tests/exe/check-deb.sh $(RELEASE_DIR)/deb/kivsetup_*.deb

# Two clones of the commit, built apart, give the same Windows executables and .deb.
test-reproducible:
	tests/exe/check-reproducible.sh

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
	sudo=""; [ "$$(id -u)" = 0 ] || sudo=sudo; \
	if [ -n "$$missing" ] && ! dpkg --print-foreign-architectures | grep -qx i386; then \
	  echo "Adding the i386 architecture (for wine32)"; \
	  $$sudo dpkg --add-architecture i386 || exit 1; \
	fi; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $$sudo apt-get update && DEBIAN_FRONTEND=noninteractive $$sudo apt-get install -y $$missing; \
	fi; \
	for locale in $(TEST_LOCALES); do \
	  locale -a | grep -qix "$$locale.utf8" && continue; \
	  echo "Making the locale $$locale.UTF-8"; \
	  $$sudo localedef -i $$locale -f UTF-8 $$locale.UTF-8 || exit 1; \
	done

demo: deps
	$(MAKE) windows
	@preset="$(WINDOWS_TEST)"; [ "$$preset" = windows ] || $(MAKE) "$$preset"; \
	examples/demo.sh "build/$$preset/KivSetup.exe"

# Authenticode (SHA-256) with osslsigncode, as the last step: the built
# KivSetup.exe is left as it is, reproducible, and the signed copy is written
# beside it. `make -o windows sign ...` signs without building first.
sign: windows
	@set -e; \
	if [ -n "$(KIV_SIGN_PKCS12)" ]; then set -- -pkcs12 "$(KIV_SIGN_PKCS12)"; \
	elif [ -n "$(KIV_SIGN_CERT)" ] && [ -n "$(KIV_SIGN_KEY)" ]; then set -- -certs "$(KIV_SIGN_CERT)" -key "$(KIV_SIGN_KEY)"; \
	else echo "sign: name KIV_SIGN_PKCS12=FILE.p12, or KIV_SIGN_CERT=CERT and KIV_SIGN_KEY=KEY" >&2; exit 2; fi; \
	if [ -n "$${KIV_SIGN_PASSWORD:-}" ]; then set -- "$$@" -readpass /dev/stdin; fi; \
	if [ -n "$(KIV_SIGN_TIMESTAMP_URL)" ]; then set -- "$$@" -ts "$(KIV_SIGN_TIMESTAMP_URL)"; fi; \
	mkdir -p "$(dir $(KIV_SIGN_OUTPUT))"; rm -f "$(KIV_SIGN_OUTPUT)"; \
	printf '%s' "$${KIV_SIGN_PASSWORD:-}" | osslsigncode sign "$$@" -h sha256 -n KivSetup \
	  -in "$(KIV_SIGN_INPUT)" -out "$(KIV_SIGN_OUTPUT)" >/dev/null; \
	chmod a+x "$(KIV_SIGN_OUTPUT)"; \
	echo "sign: $(KIV_SIGN_OUTPUT) signed; $(KIV_SIGN_INPUT) stays unsigned"

clean:
	rm -rf build

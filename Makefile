# Everyday commands. `make` builds both builds; `make test` installs what is
# missing, builds, and runs the native tests and the Windows tests under Wine.

NATIVE_DIR  := build/native
WINDOWS_DIR := build/windows

# Debian packages the builds and tests need.
DEB_PACKAGES := cmake make g++ googletest mingw-w64 g++-mingw-w64-x86-64-posix \
                wine wine64 xvfb xauth

export WINEPREFIX ?= $(HOME)/.wine-kivsetup
export WINEDEBUG  ?= -all

.PHONY: all native windows test test-native test-windows deps demo clean

all: native windows

native:
	cmake --preset native
	cmake --build --preset native

windows:
	cmake --preset windows
	cmake --build --preset windows

test: deps
	$(MAKE) all
	$(MAKE) test-native
	$(MAKE) test-windows

test-native:
	ctest --preset native

test-windows:
	tests/run-under-wine.sh ctest --preset windows

deps:
	@missing=""; for p in $(DEB_PACKAGES); do \
	  dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  sudo=""; [ "$$(id -u)" = 0 ] || sudo=sudo; \
	  $$sudo apt-get update && DEBIAN_FRONTEND=noninteractive $$sudo apt-get install -y --no-install-recommends $$missing; \
	fi

demo:
	@echo "make demo arrives with the setup dialog."

clean:
	rm -rf build

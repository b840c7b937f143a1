# make run   installs what is missing, builds, and starts the programmer on the virtual radio
# make test  installs what is missing, builds, and runs every test (plus the unit tests under ASan/UBSan)
# make test-windows  cross-builds the programs and tests for Windows and runs the tests under Wine
# make package-windows  builds the portable Windows ZIP in build-windows
# make package  builds the Debian package zrk6_VERSION_ARCH.deb in the build folder
BUILD ?= build
ASAN_BUILD ?= build-asan
WINDOWS_BUILD ?= build-windows
JOBS ?= $(shell nproc)

.PHONY: all setup setup-windows build run test test-asan test-windows package package-windows clean

all: build

setup:
	./scripts/setup.sh

build: setup
	cmake -S . -B $(BUILD) -G Ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./scripts/run.sh $(BUILD)

test: setup-windows build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) test-asan
	$(MAKE) test-windows

test-asan: setup
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZRK6_SANITIZE=ON -DZRK6_CORE_ONLY=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest -L unit --output-on-failure -j $(JOBS)

setup-windows:
	./scripts/setup.sh --windows

test-windows: setup-windows
	./scripts/windows.sh test . $(WINDOWS_BUILD) $(JOBS)

package-windows: setup-windows
	./scripts/windows.sh package . $(WINDOWS_BUILD) $(JOBS)

package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(WINDOWS_BUILD)

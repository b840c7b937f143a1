# make run   installs what is missing, builds, and starts the programmer on the virtual radio
# make check  for contributors: rebuilds what a change touched and runs the unit and window tests
# make test  installs what is missing, builds every program and test with ASan/UBSan and runs them all,
#            then the same for Windows under Wine
# make test-windows  cross-builds the programs and tests for Windows and runs the tests under Wine
# make package-windows  builds the portable Windows ZIP in build-windows
# make package  builds the Debian package zrk6_VERSION_ARCH.deb in the build folder
BUILD ?= build
ASAN_BUILD ?= build-asan
WINDOWS_BUILD ?= build-windows
JOBS ?= $(shell nproc)

.PHONY: all setup setup-windows configure build run check test test-asan test-windows package package-windows clean

all: build

setup:
	./scripts/setup.sh

configure: setup
	cmake -S . -B $(BUILD) -G Ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Only the two programs it starts: a newcomer sees the window without waiting for the tests.
run: configure
	cmake --build $(BUILD) -j $(JOBS) --target zrk6 zrk6-radiosim
	./scripts/run.sh $(BUILD)

# The quick loop after a change: no set-up, no end-to-end, sanitizer or Windows runs.
check:
	cmake -S . -B $(BUILD) -G Ninja >/dev/null
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest -L 'unit|gui' --output-on-failure -j $(JOBS)

# Every test once, built with AddressSanitizer and UndefinedBehaviorSanitizer: the same tests as
# `make check` and the end-to-end ones, with the checks on. Optimised lightly, with line tables
# for the reports; assertions stay on.
test: setup-windows test-asan
	$(MAKE) test-windows WINE_RADIOSIM=$(ASAN_BUILD)/tools/radiosim/zrk6-radiosim

test-asan: setup
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" -DZRK6_SANITIZE=ON -DZRK6_CORE_ONLY=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

setup-windows:
	./scripts/setup.sh --windows

# The Windows programs' radio tests under Wine talk to the Linux virtual radio: the one given
# in WINE_RADIOSIM, else the one built here in $(BUILD).
test-windows: setup-windows
	@if [ -z "$(WINE_RADIOSIM)" ]; then \
	  cmake -S . -B $(BUILD) -G Ninja >/dev/null && cmake --build $(BUILD) -j $(JOBS) --target zrk6-radiosim; fi
	ZRK6_WINE_RADIOSIM=$(or $(WINE_RADIOSIM),$(BUILD)/tools/radiosim/zrk6-radiosim) \
	  ./scripts/windows.sh test . $(WINDOWS_BUILD) $(JOBS)

package-windows: setup-windows
	./scripts/windows.sh package . $(WINDOWS_BUILD) $(JOBS)

package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(WINDOWS_BUILD)

# Thin front for CMake.  `make demo` runs the main job, `make test` runs every test.
# Each target installs what is missing first (`make deps`).

JOBS ?= $(shell nproc)
DEBIAN_PACKAGES := g++ cmake ninja-build pkg-config ccache make curl openssl sqlite3 \
  libcurl4-openssl-dev libcpp-httplib-dev libsqlite3-dev libssl-dev libgtest-dev libcli11-dev \
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 wine64 libgnutls30 \
  libzip-dev libpugixml-dev python3-openpyxl python3-cryptography libreoffice-calc-nogui \
  clang libclang-rt-dev

CMAKE_FLAGS := -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps build asan windows fuzz-build fuzz mutate test demo bench clean

all: build

deps:
	@missing=$$(for p in $(DEBIAN_PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  SUDO=$$( [ "$$(id -u)" = 0 ] || echo sudo ); \
	  $$SUDO apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq --no-install-recommends $$missing >/dev/null; \
	fi
	@scripts/install-wine32.sh

build: deps
	@cmake -S . -B build $(CMAKE_FLAGS) >/dev/null
	@cmake --build build -j $(JOBS)

asan: deps
	@cmake -S . -B build-asan $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Debug -DVORKAB_SANITIZE=ON >/dev/null
	@cmake --build build-asan -j $(JOBS)

# The product, build-windows/i686/VORKABCOM.dll, with its unit tests and the
# end-to-end program that scripts/wine-tests.sh runs under 32-bit Wine; then
# an x86_64 build of the same sources (the 64-bit host's DLL) with the same
# tests for 64-bit Wine.
windows: deps
	@cmake -S . -B build-windows/i686 $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release -DVORKAB_TESTS=ON \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake >/dev/null
	@cmake --build build-windows/i686 -j $(JOBS) --target windows_tests
	@echo "built build-windows/i686: VORKABCOM.dll (the product), the unit tests and wine_e2e.exe"
	@cmake -S . -B build-windows/x86_64 $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-x86_64.cmake >/dev/null
	@cmake --build build-windows/x86_64 -j $(JOBS) --target windows_tests
	@echo "built build-windows/x86_64: VORKABCOM.dll, the unit tests and wine_e2e.exe (for Wine)"

# The libFuzzer targets of tests/fuzz (clang, address and undefined-behaviour
# sanitizers) in build-fuzz/.  `make fuzz` runs each for FUZZ_SECONDS.
FUZZ_SECONDS ?= 60
fuzz-build: deps
	@cmake -S . -B build-fuzz $(CMAKE_FLAGS) -DCMAKE_CXX_COMPILER=clang++ -DVORKAB_FUZZ=ON -DVORKAB_TESTS=OFF >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target fuzz_targets

fuzz: fuzz-build
	@tests/fuzz/run.sh fuzz $(FUZZ_SECONDS)

# Each mutant of scripts/mutants.txt rebuilt and run against the suite (about
# 30 to 50 minutes on 2 cores): the suite's score on the library's layers.
mutate: build
	@scripts/mutate.sh -b build

test: build asan windows fuzz-build
	@echo "== tests (build/)"
	@cd build && ctest --output-on-failure -j $(JOBS)
	@echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/)"
	@cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)
	@scripts/check-exports.sh build-windows/i686/VORKABCOM.dll build/libvorkabcom.so
	@scripts/check-vba.sh
	@scripts/wine-tests.sh
	@tests/fuzz/run.sh test 3
	@scripts/test-ratio.sh

demo: build
	@scripts/demo.sh

# The transfer benchmark, built in release mode (build-release/), then vorkab
# on a 20,000-record workbook next to openpyxl (bench/vorkab_bench.py).
bench: deps
	@cmake -S . -B build-release $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release -DVORKAB_TESTS=OFF >/dev/null
	@cmake --build build-release -j $(JOBS) --target transfer_bench edb-server vorkab
	@NO_PROXY=127.0.0.1,localhost no_proxy=127.0.0.1,localhost build-release/transfer_bench
	@/usr/bin/python3 bench/vorkab_bench.py build-release/vorkab build-release/edb-server

clean:
	rm -rf build build-asan build-windows build-release build-fuzz

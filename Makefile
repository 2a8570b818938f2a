# The set-up commands of the README: `make demo`, `make test`, `make fuzz`. Each installs the
# apt packages it lacks, builds, then runs; apt's and CMake's output go to logs in build/logs/.

JOBS ?= 2
# Four tests at a time: each is a process of its own that spends much of its time starting,
# loading modules or waiting for the program it runs, so four keep two cores busy.
TEST_JOBS ?= 4
RELEASE_DIR := build/release
ASAN_DIR := build/asan
FUZZ_DIR := build/fuzz
WINDOWS_DIR := build/windows
ERFA_SOURCE := build/windows-deps
LOGS := build/logs
FUZZ_SECONDS ?= 60
STEP := scripts/step.sh
# The sanitized build compiles the code under test at -Og with line tables only: a third of the
# compile time of -O2 with full debug information, about as fast to run as -O1, and sanitizer
# reports still name files and lines. The tests' own code is at -O0 (cmake/compile_time.cmake).
# Sources compile eight to a unit: each unit parses the headers once for eight files, half the
# compile time of that build (names local to a file must therefore differ between files).
ASAN_FLAGS := -Og -g1 -DNDEBUG
ASAN_UNITY := -DCMAKE_UNITY_BUILD=ON -DCMAKE_UNITY_BUILD_BATCH_SIZE=8

.PHONY: demo test bench deps release asan fuzz-build fuzz format format-check build-times clean \
	windows test-windows

deps:
	@scripts/install-deps.sh all

release:
	@scripts/install-deps.sh demo
	@$(STEP) "building $(RELEASE_DIR)" $(LOGS)/release.log sh -c '\
	  cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release && \
	  cmake --build $(RELEASE_DIR) -j $(JOBS) --target vesselsim_program'

# The tests, the program they run and the fuzz targets with a replay main, all sanitized; nothing
# that make test does not run.
asan:
	@scripts/install-deps.sh test
	@$(STEP) "building $(ASAN_DIR) (AddressSanitizer, UBSan)" $(LOGS)/asan.log sh -c '\
	  cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$(ASAN_FLAGS)" $(ASAN_UNITY) -DVESSELSIM_SANITIZE=ON && \
	  cmake --build $(ASAN_DIR) -j $(JOBS)'

# The libFuzzer targets, built with clang in a folder of their own.
fuzz-build:
	@scripts/install-deps.sh fuzz
	@$(STEP) "building $(FUZZ_DIR) (clang, libFuzzer)" $(LOGS)/fuzz.log sh -c '\
	  cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_CXX_COMPILER=clang++ -DVESSELSIM_FUZZ=ON && \
	  cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_targets'

# Each fuzz target for FUZZ_SECONDS seconds.
fuzz: fuzz-build
	@scripts/fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

# The Windows build, cross-compiled with mingw-w64: vesselsim.dll with its import library, the
# modules and fixtures as DLLs, vesselsim.exe and the checks that run under Wine. ERFA is built
# from Debian's source package, fetched once.
windows:
	@scripts/install-deps.sh windows
	@$(STEP) "fetching ERFA's source into $(ERFA_SOURCE)" $(LOGS)/erfa-source.log \
	  scripts/fetch-erfa-source.sh $(ERFA_SOURCE)
	@$(STEP) "building $(WINDOWS_DIR) (mingw-w64)" $(LOGS)/windows.log sh -c '\
	  cmake -S . -B $(WINDOWS_DIR) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	    -DCMAKE_BUILD_TYPE=Release -DVESSELSIM_ERFA_SOURCE=$(CURDIR)/$(ERFA_SOURCE)/erfa && \
	  cmake --build $(WINDOWS_DIR) -j $(JOBS)'

# The Windows build under Wine, against the Linux release build: tests/windows/run.sh.
test-windows: windows release
	@tests/windows/run.sh $(WINDOWS_DIR) $(RELEASE_DIR) $(LOGS)/test-windows.log

demo: release
	@scripts/demo.sh $(RELEASE_DIR)

test: format-check asan
	@scripts/run-tests.sh $(ASAN_DIR) $(TEST_JOBS) $(LOGS)/test.log

bench: release
	@cmake --build $(RELEASE_DIR) -j $(JOBS) --target vesselsim_bench
	@$(RELEASE_DIR)/bench/vesselsim_bench

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

# Every C++ file as .clang-format lays it out.
format-check:
	@scripts/install-deps.sh test
	@echo "checking the layout of the C++ files"
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

# The slowest ten translation units of a build folder's last build: make build-times BUILD=...
BUILD ?= $(ASAN_DIR)
build-times:
	@scripts/build-times.sh $(BUILD) 10

clean:
	rm -rf build out

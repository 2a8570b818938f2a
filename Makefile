# The two set-up commands of the README: `make demo` and `make test`.
# Each checks the apt packages first, builds, then runs.

JOBS ?= 2
RELEASE_DIR := build/release
ASAN_DIR := build/asan
FUZZ_DIR := build/fuzz
FUZZ_SECONDS ?= 60

.PHONY: demo test bench deps release asan fuzz-build fuzz format format-check clean

deps:
	@scripts/install-deps.sh

release: deps
	@cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(RELEASE_DIR) -j $(JOBS) --target vesselsim_program

asan: deps
	@cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVESSELSIM_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_DIR) -j $(JOBS)

# The fuzz targets, built with clang in a folder of their own.
fuzz-build: deps
	@cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DVESSELSIM_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_targets

# Each fuzz target for FUZZ_SECONDS seconds.
fuzz: fuzz-build
	@scripts/fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

demo: release
	@scripts/demo.sh $(RELEASE_DIR)

test: asan fuzz-build format-check
	@cd $(ASAN_DIR) && ctest --output-on-failure -j $(JOBS)
	@cd $(FUZZ_DIR) && ctest --output-on-failure -j $(JOBS)

bench: release
	@cmake --build $(RELEASE_DIR) -j $(JOBS) --target vesselsim_bench
	@$(RELEASE_DIR)/bench/vesselsim_bench

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

# Every C++ file as .clang-format lays it out.
format-check: deps
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf build out

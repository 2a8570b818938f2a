# The two set-up commands of the README: `make demo` and `make test`.
# Each checks the apt packages first, builds, then runs.

JOBS ?= 2
RELEASE_DIR := build/release
ASAN_DIR := build/asan

.PHONY: demo test bench deps release asan format format-check clean

deps:
	@scripts/install-deps.sh

release: deps
	@cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(RELEASE_DIR) -j $(JOBS) --target vesselsim_program

asan: deps
	@cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVESSELSIM_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_DIR) -j $(JOBS)

demo: release
	@scripts/demo.sh $(RELEASE_DIR)

test: asan format-check
	@cd $(ASAN_DIR) && ctest --output-on-failure -j $(JOBS)

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

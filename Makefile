# The two commands a newcomer needs are `make run` and `make test`; both install
# missing Debian packages, configure, build and then run. Warnings stop the build
# (WERROR=OFF lets a compiler newer than the project's build anyway).
JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan
ASAN_CORE_BUILD ?= build-asan-core
WERROR ?= ON
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1

.PHONY: deps configure build run test test-asan test-asan-core bench format format-check clean

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DYORBEL_WERROR=$(WERROR) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run.sh $(BUILD)

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DYORBEL_SANITIZE=ON \
	  -DYORBEL_WERROR=$(WERROR) >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@$(SANITIZER_ENV) ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

# The tests without windows under the sanitizers: what CI adds to `make test`.
test-asan-core: deps
	@cmake -S . -B $(ASAN_CORE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DYORBEL_SANITIZE=ON \
	  -DYORBEL_GUI=OFF -DYORBEL_BENCH=OFF -DYORBEL_WERROR=$(WERROR) >/dev/null
	@cmake --build $(ASAN_CORE_BUILD) -j $(JOBS)
	@$(SANITIZER_ENV) ctest --test-dir $(ASAN_CORE_BUILD) --output-on-failure -j $(JOBS)

bench: deps
	@cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build-bench -j $(JOBS)
	@for b in build-bench/bench/*_bench; do echo "== $$b"; (cd build-bench/bin && ../../$$b); done

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

# Fails on any file that `make format` would change.
format-check: deps
	@clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.h')

clean:
	@rm -rf $(BUILD) $(ASAN_BUILD) $(ASAN_CORE_BUILD) build-bench

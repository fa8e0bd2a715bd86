# The two everyday commands:
#   make run    install what is missing, build, start the program with the simulated board
#   make test   install what is missing, build, run every test: the normal suite, the
#               same suite under AddressSanitizer and UndefinedBehaviorSanitizer, and
#               each fuzz target for a short while on its seed corpus
MAKEFLAGS += --no-print-directory
BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
FUZZ_DIR ?= $(SANITIZE_DIR)
JOBS ?= $(shell nproc)
# Seconds each fuzz target runs in fuzz-smoke.
FUZZ_SECONDS ?= 5

.PHONY: all deps configure build run run-cli test test-normal test-sanitize \
	sanitize-build fuzz-build fuzz-smoke fuzz bench clean format format-check package \
	check-package

all: build

deps:
	@scripts/install-deps.sh

# Optimised without debug information, which compiles a third faster; to debug,
# configure a folder of your own with -DCMAKE_BUILD_TYPE=RelWithDebInfo.
configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" \
		-DKV_WARNINGS_AS_ERRORS=ON >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# Without a display the window is started on a virtual one (Xvfb), so the
# command still works on a headless machine.
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
		$(BUILD_DIR)/src/app/kestvelqor --simulate; \
	else \
		echo "No display found: starting on a virtual X display (xvfb-run)."; \
		xvfb-run -a $(BUILD_DIR)/src/app/kestvelqor --simulate; \
	fi

# One after the other: each part uses every core.
test: test-normal
	@$(MAKE) test-sanitize
	@$(MAKE) fuzz-smoke

test-normal: format-check build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)
	@$(MAKE) check-package

# The Debian package of both programs (in $(BUILD_DIR)).
package: build
	@cd $(BUILD_DIR) && cpack -G DEB >/dev/null && ls kestvelqor_*.deb

check-package: package
	@scripts/check-package.sh $(BUILD_DIR)

# The whole suite and the libFuzzer targets in one instrumented build (clang,
# AddressSanitizer and UndefinedBehaviorSanitizer, -O1, no benchmarks), in its
# own folder: one build serves both. Line tables (-g1) are all a sanitizer
# report needs, and build much faster.
sanitize-build: deps
	@CC=clang-14 CXX=clang++-14 cmake -S . -B $(SANITIZE_DIR) -DKV_FUZZ=ON -DKV_BUILD_BENCH=OFF \
		-DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g1" >/dev/null
	@cmake --build $(SANITIZE_DIR) -j $(JOBS)

# The include probes of the layers only compile: the normal suite runs them.
test-sanitize: sanitize-build
	@root=$(CURDIR) && . scripts/sanitizer-env.sh && \
		cd $(SANITIZE_DIR) && ctest --output-on-failure -j $(JOBS) -E '^LayerRules[.]ForbiddenIncludes'

fuzz-build: sanitize-build

# Each target for FUZZ_SECONDS on its seed corpus; fails at the first finding.
fuzz-smoke: fuzz-build
	@FUZZ_DIR=$(FUZZ_DIR) scripts/fuzz-smoke.sh $(FUZZ_SECONDS)

# A long run of one target: make fuzz FUZZ_TARGET=settings_file FUZZ_SECONDS=1800
fuzz: fuzz-build
	@FUZZ_DIR=$(FUZZ_DIR) scripts/run-fuzzer.sh $(FUZZ_TARGET) $(FUZZ_SECONDS)

# Every benchmark to its end; one that fails (or dies) fails the target.
bench: build
	@bench/run_all.sh $(BUILD_DIR)
	@bench/startup.sh $(BUILD_DIR)

SOURCES = find src tests bench fuzz -name '*.cpp' -o -name '*.h'

format:
	@$(SOURCES) | xargs clang-format -i

# Every source file as .clang-format has it.
format-check: deps
	@$(SOURCES) | xargs clang-format --dry-run --Werror

clean:
	@rm -rf $(BUILD_DIR) $(SANITIZE_DIR)

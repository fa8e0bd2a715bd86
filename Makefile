# The two everyday commands:
#   make run    install what is missing, build, start the program with the simulated board
#   make test   install what is missing, build, run every test
MAKEFLAGS += --no-print-directory
BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run run-cli test bench clean format format-check package check-package

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_WARNINGS_AS_ERRORS=ON >/dev/null

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

test: format-check build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)
	@$(MAKE) check-package

# The Debian package of both programs (in $(BUILD_DIR)).
package: build
	@cd $(BUILD_DIR) && cpack -G DEB >/dev/null && ls kestvelqor_*.deb

check-package: package
	@scripts/check-package.sh $(BUILD_DIR)

bench: build
	@for b in $(BUILD_DIR)/bench/*_bench; do [ -x "$$b" ] && "$$b"; done; true
	@bench/startup.sh $(BUILD_DIR)

SOURCES = find src tests bench -name '*.cpp' -o -name '*.h'

format:
	@$(SOURCES) | xargs clang-format -i

# Every source file as .clang-format has it.
format-check: deps
	@$(SOURCES) | xargs clang-format --dry-run --Werror

clean:
	@rm -rf $(BUILD_DIR)

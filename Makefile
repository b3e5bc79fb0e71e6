# fundlens: the two commands a newcomer needs.
#   make run    install what is missing, build, start fundlens against the built-in demo portal
#   make test   install what is missing, build, run every test
# Development: make build, make asan (tests under AddressSanitizer + UBSan), make bench, make format,
# make fuzz (the parsers of portal text under libFuzzer, a few seconds per target; not part of test).

PRESET ?= default
BUILD_DIR := build

.PHONY: all deps configure build run test asan bench fuzz format clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build --preset $(PRESET)

test: build
	@ctest --preset $(PRESET)

run: build
	@if [ ! -x $(BUILD_DIR)/fundlens ]; then \
	    echo "fundlens is not built yet (no $(BUILD_DIR)/fundlens)"; exit 1; \
	fi
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	    echo "No display found. Run it under a virtual X server instead:"; \
	    echo "  xvfb-run -s '-screen 0 1920x1080x24' $(BUILD_DIR)/fundlens"; \
	    exit 1; \
	fi
	@$(BUILD_DIR)/fundlens $(ARGS)

asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	@ctest --preset asan

bench: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release
	@echo "benchmarks are in build-release/bench/"

fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@scripts/fuzz --seconds 5

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf build build-asan build-release build-fuzz

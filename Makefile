# fundlens: the two commands a newcomer needs.
#   make run    install what is missing, build, start fundlens against the built-in demo portal
#   make test   install what is missing, build, run every test
# Development: make build, make asan (tests under AddressSanitizer + UBSan), make tsan (tests under
# ThreadSanitizer, the fault matrix left out), make bench, make format, make install
# (PREFIX=/usr/local), make fuzz (the parsers of portal text under libFuzzer, a few seconds per
# target; not part of test).

PRESET ?= default
BUILD_DIR := build

PREFIX ?= /usr/local

.PHONY: all deps configure build run test asan tsan bench fuzz install format clean

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

tsan: deps
	@cmake --preset tsan >/dev/null
	@cmake --build --preset tsan
	@ctest --preset tsan

bench: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release
	@echo "benchmarks are in build-release/bench/"

install: build
	@cmake --install $(BUILD_DIR) --prefix $(PREFIX)

fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@scripts/fuzz --seconds 5

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf build build-asan build-tsan build-release build-fuzz

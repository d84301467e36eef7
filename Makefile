# Thin wrapper over CMake: one build folder, reused between runs.
BUILD   ?= build
JOBS    ?= 2
DATADIR ?= $(or $(XDG_DATA_HOME),$(HOME)/.local/share)/vardo

.PHONY: run test build deps configure bench clean

deps:
	@tools/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest -j $(JOBS) --output-on-failure --timeout 600

run: build
	@tools/run-vardo "$(BUILD)/src/vardo" "$(DATADIR)"

bench: build
	cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	@for b in $(BUILD)/bench/bench_*; do echo "== $$b"; $$b; done

clean:
	rm -rf $(BUILD)

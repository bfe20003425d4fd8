# Two commands set up everything on a fresh Debian 12 machine:
#   make demo   installs what is missing, builds and prints the demo list
#   make test   installs what is missing, builds and runs every test
BUILD ?= build
CMAKE_FLAGS ?=

.PHONY: all build deps configure demo test bench clean

all: build

deps:
	@bash scripts/deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD)

demo: deps
	@$(MAKE) --no-print-directory build
	@bash scripts/demo.sh $(BUILD)

test: deps
	@$(MAKE) --no-print-directory build
	cd $(BUILD) && ctest --output-on-failure -j2

bench: deps configure
	cmake --build $(BUILD) --target bench_xlsx_write bench_report_window
	$(BUILD)/bench/bench_report_window 50000

clean:
	rm -rf $(BUILD) out

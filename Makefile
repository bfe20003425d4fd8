# Two commands set up everything on a fresh Debian 12 machine:
#   make demo   installs what the program needs, builds it and prints the demo list
#   make test   installs the rest, builds everything and runs every test
BUILD ?= build
CMAKE_FLAGS ?=
CONFIGURE = cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

.PHONY: all build deps deps-demo deps-package configure demo test test-package package install \
	test-asan format-check bench fuzz clean

all: build

# Every package: the program's, the tests', the tools'.
deps:
	@bash scripts/deps.sh test

deps-demo:
	@bash scripts/deps.sh demo

deps-package:
	@bash scripts/deps.sh package

# A new build folder is optimised as usual but gets no debug information,
# which would cost a third of the compile time; a folder configured
# otherwise keeps its own settings.
NEW_FOLDER = $(if $(wildcard $(BUILD)/CMakeCache.txt),,-DCMAKE_BUILD_TYPE=Release \
	-DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG")

# A first configure leaves the tests out, so that it needs nothing the demo
# does not; `make test` turns them on in the same build folder.
$(BUILD)/build.ninja:
	$(CONFIGURE) -DBUILD_TESTING=OFF $(NEW_FOLDER)

# `make test` builds with warnings as errors (as CI does); a user's build
# (make, make demo, make install) turns that off again, so that a newer
# compiler's new warning cannot stop it.
WERROR_CACHED = $(shell grep -s '^TANNBUCH_WERROR:BOOL=ON' $(BUILD)/CMakeCache.txt)

configure: $(BUILD)/build.ninja
	$(if $(WERROR_CACHED),@$(CONFIGURE) -DTANNBUCH_WERROR=OFF >/dev/null)

build: configure
	cmake --build $(BUILD)

# Only the program, the demo generator and the demo's files are built.
demo: deps-demo
	@$(MAKE) --no-print-directory configure
	@bash scripts/demo.sh $(BUILD)

test: deps
	$(CONFIGURE) -DBUILD_TESTING=ON -DTANNBUCH_WERROR=ON $(NEW_FOLDER)
	cmake --build $(BUILD)
	cd $(BUILD) && ctest --output-on-failure -j2

# The install and package tests alone (they also run in `make test`).
test-package: deps
	$(CONFIGURE) -DBUILD_TESTING=ON $(NEW_FOLDER)
	cmake --build $(BUILD)
	cd $(BUILD) && ctest --output-on-failure -L package

# The Debian package, in $(BUILD)/tannbuch_<version>_<arch>.deb.
package: deps-package
	@$(MAKE) --no-print-directory build
	cd $(BUILD) && cpack -G DEB

# Installs under PREFIX (default /usr/local); DESTDIR is honoured.
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX) --strip

# Every C++ file as .clang-format lays it out; lists the files that differ.
format-check: deps
	@clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.h')

# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer;
# the install and package tests are left to `make test` (a sanitizer build
# is not what gets installed).
test-asan: deps
	cmake -S . -B build-asan -G Ninja -DTANNBUCH_SANITIZE=ON -DTANNBUCH_WERROR=ON -DBUILD_TESTING=ON
	cmake --build build-asan
	cd build-asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j2 -LE package

# Each libFuzzer target for FUZZ_SECONDS from the seed corpus in fuzz/corpus.
FUZZ_SECONDS ?= 30
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DTANNBUCH_FUZZ=ON -DBUILD_TESTING=OFF
	cmake --build build-fuzz --target fuzz_ini fuzz_commandline fuzz_keyfilter fuzz_dialect fuzz_template
	bash scripts/fuzz.sh build-fuzz $(FUZZ_SECONDS)

# The report against its floor on generated lists, the report window, the
# PDF, a million cells, and the waits on a server that does not answer.
BENCH_RECORDS ?= 1000 10000 50000 100000
bench: deps
	$(CONFIGURE) -DBUILD_TESTING=ON $(NEW_FOLDER)
	cmake --build $(BUILD) --target bench_report bench_report_window bench_pdf bench_xlsx_write bench_timeouts
	$(BUILD)/bench/bench_report $(BENCH_RECORDS)
	$(BUILD)/bench/bench_report_window 50000
	$(BUILD)/bench/bench_pdf 40000
	$(BUILD)/bench/bench_xlsx_write $(BUILD)/bench/bench_xlsx_write.xlsx
	$(BUILD)/bench/bench_timeouts

clean:
	rm -rf $(BUILD) out

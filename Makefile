# Commands people type. Each first installs what is missing (Debian 12,
# as root), then configures and builds both trees:
#   build/native  host build: the logic against the fakes (GoogleTest)
#   build/win     tarnwick.exe, the Win32 tests and the helper programs
#
#   make test   build, then every test of both trees in one ctest run
#   make run    build, then start tarnwick.exe in a Wine virtual desktop
#   make bench  build, then time the eraser's tree deletion and browser test
#               under Wine (medians and ratios; BENCH_ROUNDS rounds, default 5)
#   make dist   build, then the signed installer build/dist/setup.exe;
#               make dist VERSION=x.y.z builds that version apart, in
#               build/win-x.y.z, signed with the same certificate, into
#               build/dist-x.y.z (the default build and build/dist stay)
#   make fuzz   build the fuzzers (clang, libFuzzer) and run each
#               for FUZZ_RUNS inputs (default 1000000); not part of make test
#   make soak   build, then run tarnwick.exe under Wine for SOAK_MINUTES
#               (default 10) with every part at work, sampling its memory
#               and windows; fails on growth past the warm-up; not part of
#               make test (it serves the update check on 127.0.0.1:8631)
#   make deps   only install the missing packages
#   make build  only build
#   make clean  remove build/

# The test build asks a local server for updates, so the tests can answer.
TEST_VENDOR_HOST := 127.0.0.1:8631
JOBS := 2
MAKEFLAGS += --no-print-directory

BUILD := build
NATIVE := $(BUILD)/native
WIN := $(BUILD)/win

.PHONY: all deps build native win test run bench fuzz soak dist clean

all: build

deps:
	@bash scripts/deps.sh

native: deps
	cmake -S . -B $(NATIVE) -G "Unix Makefiles"
	cmake --build $(NATIVE) -j$(JOBS)

win: deps
	cmake -S . -B $(WIN) -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-posix.cmake \
	  -DTARNWICK_VENDOR_HOST=$(TEST_VENDOR_HOST)
	cmake --build $(WIN) -j$(JOBS)

build: native win

test: build
	bash scripts/test.sh

run: win
	bash scripts/run.sh

BENCH_ROUNDS := 5
bench: win
	cmake --build $(WIN) -j$(JOBS) --target tarnwick_bench
	bash bench/run.sh $(WIN)/tarnwick_bench.exe $(BENCH_ROUNDS)

dist: win
ifeq ($(VERSION),)
	bash scripts/dist.sh $(WIN) $(BUILD)/dist
else
	bash scripts/dist-version.sh $(WIN) $(VERSION)
endif

FUZZ_RUNS := 1000000
fuzz:
	bash scripts/fuzz.sh $(FUZZ_RUNS) $(BUILD)/fuzz

SOAK_MINUTES := 10
soak: win
	bash scripts/soak.sh $(SOAK_MINUTES)

clean:
	rm -rf $(BUILD)

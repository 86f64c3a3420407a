# keltrasetup: the two commands a newcomer needs are `make demo` and `make test`.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
NATIVE := build/native
WIN32 := build/win32
# The Windows build the tests, the demo and the benchmarks run: win32 where this machine runs
# 32-bit programs, else win64 (KS_WINDOWS_BUILD=win32|win64 forces one). Asked only after
# deps, since the answer comes from starting Wine's 32-bit loader.
TESTED = $$(scripts/windows-build 2>/dev/null)

.PHONY: all deps configure build test demo bench fuzz fuzz-smoke clean format

all: build

deps:
	@scripts/deps

configure: deps
	@[ -f $(NATIVE)/CMakeCache.txt ] || cmake --preset native >/dev/null
	@[ -f $(WIN32)/CMakeCache.txt ] || cmake --preset win32 >/dev/null
	@win=$(TESTED); [ -f build/$$win/CMakeCache.txt ] || cmake --preset $$win >/dev/null

# The Windows builds scramble their lists with the native listtool, so native comes first.
# The shipped 32-bit build is always compiled, also where it cannot run.
build: configure
	cmake --build $(NATIVE) -j$(JOBS)
	cmake --build $(WIN32) -j$(JOBS)
	@win=$(TESTED); [ $$win = win32 ] || cmake --build build/$$win -j$(JOBS)

# The Windows tests run one program at a time: they share one Wine prefix, its registry,
# atoms and top-level windows.
test: build
	@status=0; win=$(TESTED); \
	scripts/windows-build >/dev/null; \
	ctest --test-dir $(NATIVE) --output-on-failure -j$(JOBS) || status=1; \
	ctest --test-dir build/$$win --output-on-failure || status=1; \
	scripts/wine-run --stop; \
	scripts/sanitize archive_tests || status=1; \
	scripts/fuzz 60 || status=1; \
	exit $$status

demo: build
	scripts/demo

bench: deps
	scripts/bench

fuzz: deps
	scripts/fuzz $${FUZZ_SECONDS:-300}

fuzz-smoke: deps
	scripts/fuzz 60

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	-scripts/wine-run --stop
	rm -rf build

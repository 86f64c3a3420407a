# keltrasetup: the two commands a newcomer needs are `make demo` and `make test`.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
NATIVE := build/native
WIN32 := build/win32

.PHONY: all deps configure build test test-native test-win32 demo bench fuzz fuzz-smoke clean format

all: build

deps:
	@scripts/deps

configure: deps
	@[ -f $(NATIVE)/CMakeCache.txt ] || cmake --preset native >/dev/null
	@[ -f $(WIN32)/CMakeCache.txt ] || cmake --preset win32 >/dev/null

# The Windows build scrambles its lists with the native listtool, so native comes first.
build: configure
	cmake --build $(NATIVE) -j$(JOBS)
	cmake --build $(WIN32) -j$(JOBS)

# The Windows tests run one program at a time: they share one Wine prefix, its registry,
# atoms and top-level windows.
test: build
	@status=0; \
	ctest --test-dir $(NATIVE) --output-on-failure -j$(JOBS) || status=1; \
	ctest --test-dir $(WIN32) --output-on-failure || status=1; \
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

# make run   builds everything (release) and runs the program's main job on the built-in sample data
# make test  builds the test configuration (sanitizers) and runs every test
# make fuzz-long  builds the fuzz targets and runs them all at once for FUZZ_SECONDS each
JOBS ?= $(shell nproc)
# The compiler cache is shared by every clone of the project on this machine.
export CCACHE_BASEDIR ?= $(abspath $(dir $(lastword $(MAKEFILE_LIST))))
export CCACHE_NOHASHDIR ?= 1
export CCACHE_MAXSIZE ?= 20G

.PHONY: deps run test build-release build-test build-tsan fuzz fuzz-long clean format

deps:
	@bash cmake/install-deps.sh

build-release: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS)

build-test: deps
	cmake --preset test >/dev/null
	cmake --build --preset test -j $(JOBS)

run: build-release
	@bash cmake/run-main.sh build/release

build-tsan: deps
	cmake --preset tsan >/dev/null
	cmake --build --preset tsan -j $(JOBS)

test: build-test build-tsan
	ctest --preset test -j $(JOBS)
	ctest --preset tsan -j $(JOBS)

fuzz: deps
	@if command -v clang++ >/dev/null; then cmake --preset fuzz >/dev/null && cmake --build --preset fuzz -j $(JOBS); \
	else echo "clang is not installed: fuzz targets skipped"; fi

FUZZ_SECONDS ?= 1500
fuzz-long: fuzz
	@bash cmake/fuzz-long.sh build/fuzz $(FUZZ_SECONDS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build

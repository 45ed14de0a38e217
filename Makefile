# The two commands of the README do all the set-up on a fresh Debian machine:
#   make run    installs what is missing, builds, and runs Warplon on its default design
#   make test   installs what is missing, builds, and runs every test through ctest
SHELL := /bin/bash
JOBS ?= $(shell nproc)
export QT_QPA_PLATFORM ?= offscreen

.PHONY: run test deps build build-asan build-tsan test-default test-asan test-tsan format format-check fuzz bench gallery clean \
	install deb

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake --preset default >/dev/null
	cmake --build --preset default -j $(JOBS)

build-asan: deps
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)

# Only the live simulation's tests need the thread checker.
build-tsan: deps
	cmake --preset tsan >/dev/null
	cmake --build --preset tsan -j $(JOBS)

run: build
	@bash scripts/run-default.sh build/default

test: format-check test-default test-asan test-tsan

test-default: build
	ctest --preset default -j $(JOBS)

# The file readers meet hostile input: their tests run again under the sanitizers.
test-asan: build-asan
	ctest --preset asan -j $(JOBS) -L files

test-tsan: build-tsan
	ctest --preset tsan -j $(JOBS)

format-check: deps
	@bash scripts/check-format.sh

format: deps
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

fuzz: deps
	@bash scripts/run-fuzzers.sh

bench: build
	@bash scripts/run-benchmarks.sh build/default

gallery: build
	@bash scripts/gallery.sh build/default

# make install PREFIX=DIR: the programs, their files and the desktop entries under DIR
# (default /usr/local); the program then works in the user's data folder.
PREFIX ?= /usr/local
install: build
	cmake --install build/default --prefix "$(PREFIX)"

# make deb: build/deb/warplon_<version>_<arch>.deb, installed with `sudo dpkg -i`.
deb: build
	cpack --config build/default/CPackConfig.cmake -G DEB -B build/deb
	@ls build/deb/*.deb

clean:
	rm -rf build

# The two commands of the README. Both install their prerequisites first.
.PHONY: run test build build-win64 build-host test-win64 test-host installer deps clean

deps:
	@bash scripts/deps.sh

build-win64: deps
	@cmake --preset win64 >/dev/null
	@cmake --build --preset win64

build-host: deps
	@cmake --preset host >/dev/null
	@cmake --build --preset host

build: build-win64 build-host

test-host: build-host
	@ctest --preset host

test-win64: build-win64
	@ctest --preset win64

test: build
	@ctest --preset host
	@ctest --preset win64

# The setup program (and the help file it carries), copied into build/.
installer: build-win64
	@cp -f build/win64/installer/HalvernCurfew-*-Setup.exe build/
	@ls build/HalvernCurfew-*-Setup.exe

run: build-win64
	@bash scripts/run.sh

clean:
	rm -rf build

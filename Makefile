# Front end over CMake (which also drives `dotnet build` for the C# projects).
#   make        build everything into build/
#   make demo   build, then run the demonstration
#   make test   every test suite: a normal build, then again with ASan + UBSan
#   make check  the test suites on the normal build only (quicker while developing)
#   make bench  build, then run the benchmarks
#   make wheel  the wheel, into dist/ (built in build-wheel/ by the in-repository backend)
#   make assign-ids  give new library classes their fixed interop identifier

PYTHON   := /usr/bin/python3
BUILD    ?= build
ASAN_BUILD ?= build-asan
JOBS     ?= $(shell nproc)
export DOTNET_CLI_TELEMETRY_OPTOUT=1 DOTNET_NOLOGO=1 DOTNET_SKIP_FIRST_TIME_EXPERIENCE=1

.PHONY: all deps build demo test check check-asan bench wheel assign-ids clean

all: build

deps:
	@tools/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

demo: build
	PYTHONPATH=$(BUILD)/python $(PYTHON) demo/demo.py $(BUILD)/demo

test: check check-asan

check: build
	tools/run-tests.sh $(BUILD)

check-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DMORVAX_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	tools/run-tests.sh $(ASAN_BUILD) --sanitized

bench: build
	tools/run-bench.sh $(BUILD)

wheel: deps
	$(PYTHON) -m pip wheel . --no-deps -w dist/

# Gives new library classes their fixed interop identifier (then commit the table).
assign-ids: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) --target assign_ids

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-wheel dist

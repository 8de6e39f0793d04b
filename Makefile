# Entry points. `make run` and `make test` install what they need on a fresh
# Debian 12 machine first (as root, or through sudo).
SHELL := /bin/bash
JOBS ?= 2
WINE_RUN := cmake/wine-run.sh

.PHONY: deps native windows test test-native test-windows tsan run stop installer fuzz bench clean

deps:
	@tools/install-deps.sh

native: deps
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS)

windows: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS)

test-native: native
	ctest --preset native

test-windows: windows
	@tools/wine-session.sh start
	ctest --preset windows; rc=$$?; tools/wine-session.sh stop; exit $$rc

# Native first (sanitizers), then the Windows build under Wine. A failure in
# one half still lets the other run; the exit code is non-zero when either
# half failed to build or to pass.
test: deps
	@rc=0; \
	if $(MAKE) --no-print-directory native; then ctest --preset native || rc=1; else rc=1; fi; \
	if $(MAKE) --no-print-directory windows; then \
	    tools/wine-session.sh start; \
	    ctest --preset windows || rc=1; \
	    tools/wine-session.sh stop; \
	else rc=1; fi; \
	exit $$rc

# The demo: the driver with the handset and client simulators through two
# scripted calls, the LCD handset's (tools/scenario/lcd_call.scn) and the
# keypad handset's (tools/scenario/call.scn); see tools/run-demo.sh. Builds
# only what it needs. The program is single-instance per Wine prefix.
run: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS) --target scenario_kit closo_call
	@tools/run-demo.sh build/windows

# Asks the running copy to quit through Closo.dll, as an installer does
# (in the Wine prefix a running `make run` uses), and marks the run
# stopped, so that it starts no further scenario.
stop:
	@[ ! -f out/run/wineprefix ] || touch out/run/stopped
	@[ -f build/windows/build.ninja ] || cmake --preset windows >/dev/null
	@cmake --build --preset windows --target closo_call >/dev/null
	TALVIO_WINEPREFIX=$$(cat out/run/wineprefix 2>/dev/null) $(WINE_RUN) build/windows/tests/wine/closo_call.exe

# TalvioSetup.exe (NSIS) from the Windows build's deliverables.
installer: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS) --target installer
	@echo "build/windows/TalvioSetup.exe"

# The threaded parts (handset writer, command queues, player, hosted
# desktop) under ThreadSanitizer.
tsan: deps
	cmake --preset tsan >/dev/null
	cmake --build --preset tsan -j $(JOBS)
	ctest --preset tsan -R 'Handset|Lcd|CommandQueue|Sound|Player|AudioService|Kernel|Send|Worker|Mutex'

# FUZZ_SECONDS: how long each fuzzer runs.
FUZZ_SECONDS ?= 60
fuzz: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS)
	@tools/run-fuzzers.sh build/fuzz $(FUZZ_SECONDS)

# Ends with each figure beside its goal; fails when one is missed. The
# Windows build is for the running driver's idle cost under Wine.
bench: deps
	cmake --preset native-release >/dev/null
	cmake --build --preset native-release -j $(JOBS)
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS) --target scenario_kit
	@tools/run-benches.sh build/native-release

clean:
	rm -rf build

# make demo | make test | make bench | make build | make dist | make clean
SHELL := /bin/bash
WINE  := scripts/wine-run.sh
JOBS  ?= $(shell nproc)

.PHONY: all deps build sides build64 build32 test demo bench dist clean

all: build

deps:
	@scripts/install-deps.sh

# Builds run Windows tools (the pack compiler), so they run inside one Wine
# session like the tests.
build: deps
	@$(WINE) --session $(MAKE) --no-print-directory sides

sides: build64 build32

build64:
	@[ -f build/win64/build.ninja ] || cmake --preset win64 >/dev/null
	@cmake --build --preset win64 -j $(JOBS)

build32:
	@[ -f build/win32/build.ninja ] || cmake --preset win32 >/dev/null
	@cmake --build --preset win32 -j $(JOBS)

# Tests run one binary at a time: many of them show real windows and read
# the screen back, and two at once would paint over each other.
test: deps
	@$(WINE) --session bash -c '$(MAKE) --no-print-directory sides || exit 1; rc=0; \
	  ctest --preset win64 || rc=1; \
	  ctest --preset win32 || rc=1; exit $$rc'

demo: deps
	@$(WINE) --session bash -c '$(MAKE) --no-print-directory sides && $(WINE) build/bin/OrvelDemo.exe --shots build/screens && { [ ! -f build/bin32/PardoDemo.exe ] || $(WINE) build/bin32/PardoDemo.exe --auto build/screens; } && \
	  for p in build/bin/Style/*.spk build/bin/Style/*.spk.big; do $(WINE) build/bin/spkgallery.exe $$p build/screens/gallery || exit 1; done'

# The benchmarks switch Wine's visual style on, so they run in a prefix of
# their own, never the tests' one.
bench: deps
	@ORVEL_WINEPREFIX=$(CURDIR)/build/benchprefix $(WINE) --session bash -c '$(MAKE) --no-print-directory sides && for b in build/bin/bench_*.exe build/bin32/bench_*.exe; do echo "== $$b"; $(WINE) $$b || exit 1; done'

# The install trees adopters use: build/dist/Orvel (64-bit) and
# build/dist/Pardo (32-bit), each with bin/, include/, lib/ and its CMake
# package.
dist: build
	@rm -rf build/dist
	@cmake --install build/win64 --prefix build/dist/Orvel >/dev/null
	@cmake --install build/win32 --prefix build/dist/Pardo >/dev/null
	@echo "Install trees: build/dist/Orvel (64-bit), build/dist/Pardo (32-bit)"

clean:
	rm -rf build

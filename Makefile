# Brevonne 3D — the two set-up commands are `make run` and `make test`.
BUILD_DIR ?= build
ASAN_DIR ?= build-asan
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

export LIBGL_ALWAYS_SOFTWARE ?= 1
export MESA_SHADER_CACHE_DISABLE ?= true
export ALSOFT_DRIVERS ?= null

.PHONY: all deps configure build run test test-asan bench tour clip clean

all: build

deps:
	@bash tools/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j$(JOBS)

run: build
	@bash tools/run.sh $(BUILD_DIR)

# Tests that need a desktop (the settings dialog) get a virtual one when
# there is no display.
XVFB = $(if $(DISPLAY),,xvfb-run -a -s "-screen 0 1280x720x24")

test: build
	@cd $(BUILD_DIR) && $(XVFB) ctest --output-on-failure -j$(JOBS) --timeout 600

test-asan: deps
	@cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_DIR) -j$(JOBS)
	@cd $(ASAN_DIR) && ASAN_OPTIONS=detect_leaks=0 VELMORA_TIME_SCALE=4 $(XVFB) ctest --output-on-failure -j$(JOBS) --timeout 900

bench: build
	@bash tools/bench.sh $(BUILD_DIR)

# The review tour: every camera path at TOUR_SHOTS points, as PNG in $(BUILD_DIR)/tour/.
TOUR_SHOTS ?= 6
tour: build
	@bash tools/tour.sh $(BUILD_DIR) $(TOUR_SHOTS)

# Motion clips: CLIP_FRAMES consecutive frames of every camera path, joined into
# $(BUILD_DIR)/clip/<path>.webp (img2webp comes by its own install step).
CLIP_FRAMES ?= 30
clip: build
	@bash tools/install-deps.sh --clip
	@bash tools/clip.sh $(BUILD_DIR) $(CLIP_FRAMES)

clean:
	@rm -rf $(BUILD_DIR) $(ASAN_DIR)

# Installation: "make install" puts the program and the files of the screensaver
# hosts below $(PREFIX) (with $(DESTDIR) in front, for staging); "make package"
# writes the Debian package into $(BUILD_DIR); "make package-test" runs the
# checks of both (also part of "make test").
PREFIX ?= /usr/local
.PHONY: install package package-test

install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

package: build
	@cd $(BUILD_DIR) && cpack -G DEB

package-test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -L install --timeout 600

# Fuzzing and damaged data. "make fuzz" builds the fuzz targets of tests/fuzz
# with clang and libFuzzer in build-fuzz (clang is installed by its own step,
# "make test" does not need it) and runs each FUZZ_SECONDS seconds
# (tools/fuzz.sh: executions, speed, coverage and findings per target).
# "make damaged-data" flies the screensaver over every damaged copy of the
# generated data (tests/app/damaged_data.sh; "make test" runs one copy per
# file kind).
FUZZ_SECONDS ?= 60
.PHONY: fuzz damaged-data

fuzz: deps
	@bash tools/install-deps.sh --fuzz
	@bash tools/fuzz.sh $(FUZZ_SECONDS)

damaged-data: build
	@bash tests/app/damaged_data.sh $(BUILD_DIR) full

# Windows: the cross-build with mingw-w64 into $(WIN_DIR) (host tools in
# $(WIN_DIR)/host), and its test programs run under Wine on a virtual display.
WIN_DIR ?= build-win
WIN_JOBS ?= 2

.PHONY: windows test-windows

windows: deps
	@JOBS=$(WIN_JOBS) bash tools/windows/build.sh $(WIN_DIR)

test-windows: windows
	@bash tools/windows/run-tests.sh $(WIN_DIR)

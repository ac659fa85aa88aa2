# Two commands do everything on a fresh Debian 12 machine:
#   make test   installs what is missing, builds both plug-ins and runs every test
#   make demo   installs, builds and renders the demo through both plug-ins
# Build folders: build/linux (tests, sanitizers), build/release (demo, benchmarks),
# build/win (Windows DLL and programs), build/fuzz (libFuzzer targets),
# build/tsan (ThreadSanitizer), build/plain (no sanitizer, for valgrind).

JOBS ?= 2
GEN := -G Ninja
B := build

.PHONY: all setup linux release win fuzz tsan test test-hosts soak demo bench screenshots install format clean

all: linux

setup:
	@scripts/setup.sh

# Each build folder is configured once; later builds re-configure by themselves
# when a CMakeLists.txt changes.
configure = [ -f $(B)/$(1)/CMakeCache.txt ] || cmake -S . -B $(B)/$(1) $(GEN) $(2) >/dev/null

win: setup
	@$(call configure,win,-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release)
	@cmake --build $(B)/win -j $(JOBS)

linux: setup
	@$(call configure,linux,-DCMAKE_BUILD_TYPE=Debug -DONDREL_SANITIZE=ON -DONDREL_BENCH=ON -DONDREL_WIN_BUILD_DIR=$(CURDIR)/$(B)/win)
	@cmake --build $(B)/linux -j $(JOBS)

release: setup
	@$(call configure,release,-DCMAKE_BUILD_TYPE=Release -DONDREL_TESTS=OFF -DONDREL_BENCH=ON)
	@cmake --build $(B)/release -j $(JOBS)

fuzz: setup
	@$(call configure,fuzz,-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DONDREL_FUZZ=ON)
	@cmake --build $(B)/fuzz -j $(JOBS)

# The fuzzers run first (a bounded time each); the native suite's summary ends the output.
test: win linux fuzz
	@cd $(B)/fuzz && { ctest -j $(JOBS) --output-on-failure --timeout 300 >ctest.log 2>&1 || { cat ctest.log; exit 1; }; } && tail -n 3 ctest.log
	@cd $(B)/linux && ctest -j $(JOBS) --output-on-failure --timeout 900

# Ondrel's LV2 build in a real host: Ardour (installed for this target only:
# it is large) loads it headless on a MIDI track, plays a chord and exports a
# WAV that must not be silent. Another instrument: make test-hosts
# HOST_LV2_URI=http://zynaddsubfx.sourceforge.net HOST_LV2_PATH=/usr/lib/lv2
HOST_LV2_URI ?= https://zentorial.com/plugins/ondrel
HOST_LV2_PATH ?= $(CURDIR)/$(B)/release/bundle
test-hosts: release
	@scripts/setup.sh --hosts
	@LV2_PATH=$(HOST_LV2_PATH) scripts/ardour-check.sh $(HOST_LV2_URI)

# The threads test (an audio thread renders while a user-interface thread
# works) and the instances on four threads, under ThreadSanitizer.
TSAN_SECONDS ?= 10
tsan: setup
	@$(call configure,tsan,-DCMAKE_BUILD_TYPE=RelWithDebInfo -DONDREL_TSAN=ON)
	@cmake --build $(B)/tsan -j $(JOBS) --target robustness_threads
	@ONDREL_NO_DIALOGS=1 XDG_CONFIG_HOME=$(CURDIR)/$(B)/tsan/config ONDREL_THREADS_SECONDS=$(TSAN_SECONDS) \
	  TSAN_OPTIONS="exitcode=66 history_size=4" \
	  $(B)/tsan/tests/robustness/robustness_threads

# The long runs: ten million host-fuzzer executions, the preset fuzzers, the
# threads test for a minute, 500 instances under valgrind; prints the figures
# that docs/robustness.md keeps.
soak: win linux fuzz
	@$(call configure,tsan,-DCMAKE_BUILD_TYPE=RelWithDebInfo -DONDREL_TSAN=ON)
	@cmake --build $(B)/tsan -j $(JOBS) --target robustness_threads
	@$(call configure,plain,-DCMAKE_BUILD_TYPE=RelWithDebInfo -DONDREL_BENCH=OFF)
	@cmake --build $(B)/plain -j $(JOBS) --target robustness_tests
	@scripts/soak.sh $(B) $(JOBS)

demo: win release
	@scripts/demo.sh $(B)/release $(B)/win

# The benchmarks, the scaling plot of docs/performance.md (cost against voices
# and block size, drawn again), then Ondrel side by side with amsynth and
# ZynAddSubFX, VST and LV2 builds (and its Windows DLL under wine when
# build/win exists) on a 60 s song, and on eight notes held for 10 s and
# released for 10 s.
bench: release
	@for b in $$(find $(B)/release/bench -type f -name 'bench_*' -perm -u+x | sort); do "$$b" || exit 1; done
	@$(B)/release/bench/scaling/ondrel-scaling docs/performance-scaling.png
	@RELEASE=$(B)/release WIN=$(B)/win bench/scripts/side-by-side.sh "" 1
	@python3 bench/scripts/bench-song.py $(B)/release/held-chord.mid --held
	@RELEASE=$(B)/release WIN=$(B)/win bench/scripts/side-by-side.sh $(B)/release/held-chord.mid 1

# The editor drawn headless, as the README shows it: the default size in the
# default colour scheme, in the "blue gray" scheme, and with the save dialog.
SHOT := $(B)/release/tools/screenshots/ondrel-screenshots $(B)/release/bundle/Ondrel
screenshots: release
	@mkdir -p docs
	@$(SHOT) docs/editor.png && $(SHOT) docs/editor-blue-gray.png --scheme 4 && $(SHOT) docs/editor-save.png --show save && \
	  echo "docs/editor.png docs/editor-blue-gray.png docs/editor-save.png"

install: release
	@# The VST and LV2 bundles. The user's own presets (Presets/User) stay; modules, font,
	@# Turtle and factory presets are replaced.
	@mkdir -p $(HOME)/.vst/Ondrel && rm -rf $(HOME)/.vst/Ondrel/Presets/Factory
	@tar -C $(B)/release/bundle/Ondrel --exclude=./Presets/User -cf - . | tar -C $(HOME)/.vst/Ondrel -xf -
	@echo "installed $(HOME)/.vst/Ondrel"
	@mkdir -p $(HOME)/.lv2/Ondrel.lv2 && rm -rf $(HOME)/.lv2/Ondrel.lv2/Presets/Factory
	@tar -C $(B)/release/bundle/Ondrel.lv2 --exclude=./Presets/User -cf - . | tar -C $(HOME)/.lv2/Ondrel.lv2 -xf -
	@echo "installed $(HOME)/.lv2/Ondrel.lv2"

clean:
	rm -rf $(B)/linux $(B)/release $(B)/win $(B)/fuzz

# The project's style (.clang-format) applied to every C and C++ file in the tree.
format:
	@git ls-files '*.cpp' '*.h' '*.c' | xargs clang-format -i

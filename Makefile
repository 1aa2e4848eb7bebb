# Quillmark — the whole set-up is `make run` (start the editor) and `make test`.
BUILD ?= build
JOBS  ?= $(shell nproc)
export XDG_RUNTIME_DIR ?= /tmp/quillmark-runtime-$(shell id -u)

.PHONY: all bootstrap configure build test bench run play demo-reset clean fuzz install package

all: build

bootstrap:
	@scripts/bootstrap

# ccache, when a developer has it, shares compiled objects between work trees.
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

$(BUILD)/build.ninja: CMakeLists.txt | bootstrap
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(LAUNCHER)

configure: bootstrap $(BUILD)/build.ninja

# One build at a time in a build folder: a second `make` waits for the first.
build: configure
	flock $(BUILD)/.build.lock cmake --build $(BUILD) -j $(JOBS)

test: build
	@mkdir -p -m 0700 $(XDG_RUNTIME_DIR)
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) --timeout 120

bench: configure
	flock $(BUILD)/.build.lock cmake --build $(BUILD) -j $(JOBS) --target benches
	@mkdir -p -m 0700 $(XDG_RUNTIME_DIR)
	@for b in $(BUILD)/bench/*; do \
	  [ -f "$$b" ] && [ -x "$$b" ] || continue; echo "== $$b"; \
	  QT_QPA_PLATFORM=offscreen "$$b" --benchmark_min_time=0.2 || exit 1; \
	done

run: build
	@scripts/run-editor $(BUILD)

# Plays the demo project through its launcher, as the editor's Play does
# (naming the build's player to it).
play: build
	@mkdir -p -m 0700 $(XDG_RUNTIME_DIR)
	QUILLMARK_PLAY=$(abspath $(BUILD))/bin/quillmark-play $(BUILD)/demo/ValeSereno.exe

# The build keeps the demo project (build/demo) once it exists, with the user's
# edits; this throws them away and makes it afresh from the template set.
demo-reset: build
	$(BUILD)/bin/quillmark-cli demo $(BUILD)/demo

# Installs the programs, the template set and the desktop files under PREFIX
# (sudo for a system folder: `sudo make install`).
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# A Debian package of the same (build/quillmark_<version>_<arch>.deb), its
# dependencies found by dpkg-shlibdeps.
package: build
	cd $(BUILD) && cpack -G DEB

# The fuzz harnesses (clang, libFuzzer and the sanitizers), each run FUZZ_SECONDS.
FUZZ_SECONDS ?= 60
fuzz:
	JOBS=$(JOBS) fuzz/run $(BUILD)-fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD)

# The two commands of the README: `make run` and `make test`. Each installs
# what is missing (Debian packages), configures and builds first. So do
# `make install` and `make package`.

BUILD        ?= build
SAN_BUILD    ?= build-sanitize
WIN_BUILD    ?= build-windows
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60
GENERATOR    := $(if $(shell command -v ninja 2>/dev/null),-G Ninja,)
JOBS         ?= $(shell nproc 2>/dev/null || echo 2)
# Where `make install` puts the programs; DESTDIR stages them under another root.
PREFIX       ?= /usr/local
DESTDIR      ?=
# Extra CMake settings, e.g. CMAKE_FLAGS=-DZPAK_WERROR=ON (as CI builds).
CMAKE_FLAGS  ?=
# The C++ sources that clang-format and clang-tidy look at.
SOURCES      = $(shell git ls-files '*.cpp' '*.h')

.PHONY: all deps build run test install package sanitize fuzz bench screenshots format check-format lint clean \
	windows-deps windows package-windows test-windows

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	$(if $(CMAKE_FLAGS),cmake -S . -B $(BUILD) $(CMAKE_FLAGS))
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/src/ui/zpakwizard

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# A .deb in $(BUILD)/, installing under /usr.
package: build
	cd $(BUILD) && cpack

# The core tests again (no window), built with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	cmake -S . -B $(SAN_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DZPAK_SANITIZE=ON -DZPAK_GUI=OFF \
		$(CMAKE_FLAGS)
	cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --output-on-failure -j $(JOBS)

# The programs and their tests cross-compiled for 64-bit Windows with
# MinGW-w64. minizip and libdeflate are compiled from Debian's source
# packages, fetched once into the build folder; Qt (Core, Gui, Widgets) from
# Debian's qt6-base source, built once by scripts/build-qt-windows into
# QT_CACHE, outside any build folder, and kept there. Built for size without
# debugging information, as a release is. WINDOWS_GUI=OFF builds
# zpakbuild.exe alone, without Qt.
WIN_SOURCES = $(CURDIR)/$(WIN_BUILD)/debian-sources
QT_CACHE    ?= $(or $(XDG_CACHE_HOME),$(HOME)/.cache)/zpakwizard
WINDOWS_GUI ?= ON

windows-deps:
	@scripts/install-deps windows
	@scripts/fetch-debian-sources $(WIN_SOURCES) minizip libdeflate

windows: windows-deps
	qt=$$($(if $(filter ON,$(WINDOWS_GUI)),scripts/build-qt-windows "$(QT_CACHE)" $(JOBS),true)) && \
	cmake -S . -B $(WIN_BUILD) $(GENERATOR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
		-DCMAKE_BUILD_TYPE=MinSizeRel -DZPAK_GUI=$(WINDOWS_GUI) -DZPAK_QT_PREFIX="$$qt" -DZPAK_WERROR=ON \
		-DZPAK_MINIZIP_SOURCE=$(WIN_SOURCES)/minizip -DZPAK_LIBDEFLATE_SOURCE=$(WIN_SOURCES)/libdeflate \
		$(CMAKE_FLAGS)
	cmake --build $(WIN_BUILD) -j $(JOBS)

# The installer and the portable zip of the Windows programs, in $(WIN_BUILD)/.
package-windows: windows
	$(if $(filter ON,$(WINDOWS_GUI)),cmake --build $(WIN_BUILD) --target package_windows,\
		@echo "package-windows: no packages without the window (WINDOWS_GUI=OFF)")

# The tests under Wine, in a throw-away prefix, the packages' among them.
test-windows: package-windows
	scripts/test-windows $(WIN_BUILD) $(JOBS)

# Runs each fuzz target for FUZZ_SECONDS, starting from its seed corpus.
fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_CXX_COMPILER=clang++ -DZPAK_FUZZ=ON -DZPAK_GUI=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@for target in $$(ls fuzz/corpus); do \
		mkdir -p $(FUZZ_BUILD)/corpus/$$target; \
		echo "fuzzing $$target for $(FUZZ_SECONDS) s"; \
		timeout=10; [ $$target = project_shapes_fuzz ] && timeout=60; \
		$(FUZZ_BUILD)/fuzz/$$target -max_total_time=$(FUZZ_SECONDS) -timeout=$$timeout \
			$(FUZZ_BUILD)/corpus/$$target fuzz/corpus/$$target || exit 1; \
	done

bench: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target project_file_bench
	$(BUILD)/bench/project_file_bench

# The user guide's screenshots from the real window, drawn under Xvfb (package
# xvfb) as on a desktop, or by Qt's offscreen platform without it.
XVFB = $(if $(shell command -v xvfb-run 2>/dev/null),QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24",QT_QPA_PLATFORM=offscreen)
screenshots: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target guide_screenshots
	$(XVFB) $(BUILD)/tools/guide_screenshots docs/guide

# Formatting with Debian 12's clang-format 14 (see .clang-format).
format: deps
	clang-format -i $(SOURCES)

check-format: deps
	clang-format --dry-run --Werror $(SOURCES)

# clang-tidy 14 with .clang-tidy over the project's own sources; fails on
# any finding (the whole output is kept in $(BUILD)/lint.log).
lint: build
	@status=0; run-clang-tidy -quiet -j $(JOBS) -p $(BUILD) '$(CURDIR)/(src|tests)/' \
		> $(BUILD)/lint.log 2>&1 || status=$$?; \
	if grep -E 'warning:|error:' $(BUILD)/lint.log; then \
		echo "make lint: the findings above; all of clang-tidy's output is in $(BUILD)/lint.log"; exit 1; fi; \
	if [ $$status -ne 0 ]; then tail -20 $(BUILD)/lint.log; exit $$status; fi

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD) $(WIN_BUILD)

# Entry points: make run, make test, make bench (see README.md).
JOBS   ?= 2
BUILD  ?= build
ASAN   ?= build-asan
REL    ?= build-release
WIN    ?= build-win
WIN32  ?= build-win32
CMAKE_FLAGS ?=
PREFIX ?= /usr/local
DESTDIR ?=

.PHONY: deps configure build run test test-plain test-asan bench fuzz install package screenshots clean \
        windows windows-installer test-windows bench-windows

deps:
	@sh scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug $(CMAKE_FLAGS) > /dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "make run: no display found (DISPLAY and WAYLAND_DISPLAY are unset)."; \
	  echo "Start it from a desktop session, or under a virtual one: xvfb-run make run"; \
	  exit 1; fi
	@$(BUILD)/bin/brevok

test-plain: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	@cmake -S . -B $(ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBREVOK_SANITIZE=ON $(CMAKE_FLAGS) > /dev/null
	@cmake --build $(ASAN) -j $(JOBS)
	@cd $(ASAN) && ctest --output-on-failure -j $(JOBS)

# The Windows programs, cross-built with mingw-w64 for 64-bit Windows into $(WIN)/bin and for
# 32-bit Windows into $(WIN32)/bin (brevok.exe, brcc32.exe, brc32.exe, brevdos.exe, the help
# and the headers), statically linked; no Qt on that side.
WINDOWS_CONFIGURE = -G Ninja -DCMAKE_BUILD_TYPE=Release -DBREVOK_GUI=OFF \
  -DBREVOK_WINDOWS_PACKAGE_DIR=$(CURDIR)/$(WIN) $(CMAKE_FLAGS)
windows: deps
	@cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DBREVOK_WINDOWS_PEER=$(CURDIR)/$(WIN32) $(WINDOWS_CONFIGURE) > /dev/null
	@cmake --build $(WIN) -j $(JOBS) --target brevok brcc32 brc32 brevdos
	@cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
	  -DBREVOK_WINDOWS_PEER=$(CURDIR)/$(WIN) $(WINDOWS_CONFIGURE) > /dev/null
	@cmake --build $(WIN32) -j $(JOBS) --target brevok brcc32 brc32 brevdos

# The downloads for Windows users, in $(WIN): brevok-VERSION-setup.exe (an NSIS installer
# holding both builds) and the portable brevok-VERSION-win64.zip and -win32.zip.
windows-installer: windows
	@sh scripts/windows-package.sh $(WIN) $(WIN32)

# The toolkit-free test programs of both builds cross-built and run under Wine, each build in
# a prefix of its own kind ($(WIN)/wine 64-bit, $(WIN32)/wine 32-bit) made once per build
# folder, and the installers in fresh prefixes; each program's count is printed. On a machine
# that runs no 32-bit programs (or with BREVOK_NO_32BIT=1) the 64-bit leg runs with Wine's
# 64-bit loader and what needs a 32-bit program says that it was not run.
test-windows: windows-installer
	@cmake --build $(WIN) -j $(JOBS)
	@cmake --build $(WIN32) -j $(JOBS)
	@sh scripts/wine-tests.sh $(WIN) $(WIN32) $(JOBS)

test: test-plain test-asan test-windows

bench: deps
	@cmake -S . -B $(REL) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) > /dev/null
	@cmake --build $(REL) -j $(JOBS)
	@set -e; for b in $(REL)/bench/*_bench; do echo "== $$b"; QT_QPA_PLATFORM=offscreen $$b; done

# The Windows window's benchmark, under Wine and a virtual display.
bench-windows: windows
	@cmake --build $(WIN) -j $(JOBS) --target win32_open_window_bench
	@. scripts/wine-env.sh $(WIN) && WINEPREFIX="$(CURDIR)/$(WIN)/wine" WINEDEBUG=-all \
	  xvfb-run -a wine $(WIN)/bench/win32_open_window_bench.exe

fuzz: deps
	@cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBREVOK_FUZZ=ON -DBREVOK_GUI=OFF \
	  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang > /dev/null
	@cmake --build build-fuzz -j $(JOBS)

screenshots: configure windows-installer
	@cmake --build $(BUILD) -j $(JOBS) --target screenshots
	@QT_QPA_PLATFORM=offscreen $(BUILD)/tests/screenshots > /dev/null
	@WINEPREFIX="$(CURDIR)/$(WIN)/wine" sh scripts/win32-screenshot.sh $(WIN)/bin/brevok.exe \
	  $(BUILD)/screenshots/main_window_win32.png $(BUILD)/screenshots/about_dialog_win32.png > /dev/null
	@convert $(BUILD)/screenshots/main_window.png $(BUILD)/screenshots/main_window_win32.png \
	  -bordercolor white -border 6 +append $(BUILD)/screenshots/side_by_side.png
	@convert $(BUILD)/screenshots/about_dialog.png $(BUILD)/screenshots/about_dialog_win32.png \
	  -bordercolor white -border 6 +append $(BUILD)/screenshots/about_side_by_side.png
	@sh scripts/installer-screenshot.sh $(WIN)/brevok-*-setup.exe $(BUILD)/screenshots/installer_welcome.png
	@echo "Pictures written to $(BUILD)/screenshots/ (side_by_side.png and about_side_by_side.png: Qt, then Win32 under Wine;"
	@echo "installer_welcome.png: the installer's first page)"

# Installs a release build below PREFIX (under DESTDIR when set): make install PREFIX=/opt/brevok
# Only what is installed is built (the target installables), not the tests.
install: deps
	@cmake -S . -B $(REL) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) > /dev/null
	@cmake --build $(REL) -j $(JOBS) --target installables
	@DESTDIR="$(DESTDIR)" cmake --install $(REL) --prefix "$(PREFIX)"

# The Debian package $(REL)/brevok_VERSION_ARCH.deb, which installs below /usr.
package: deps
	@cmake -S . -B $(REL) -G Ninja -DCMAKE_BUILD_TYPE=Release -DBREVOK_PACKAGE=ON $(CMAKE_FLAGS) > /dev/null
	@cmake --build $(REL) -j $(JOBS) --target installables
	@cd $(REL) && cpack

clean:
	rm -rf $(BUILD) $(ASAN) $(REL) $(WIN) $(WIN32) build-fuzz

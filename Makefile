# Tarvo: set-up, build and run on Debian 12 (run as root, or with sudo).
#   make            print these targets
#   make play       install what playing needs, build the game alone (release), run it
#   make test       install what the tests need as well, build with ASan + UBSan, build the web page, run every test
#   make web        the game as a web page in build/web/ (Debian's Emscripten)
#   make serve-web  the same, served on http://127.0.0.1:8000/
#   make web-package  the engine for browsers in build/web-package/, for games' own builds (emcmake)
#   make bench      build the benchmark beside the game (build/release/bench/tarvo_bench)
#   make docs       the engine's API reference in build/docs/html/index.html (Doxygen; a warning fails it)

# Each target installs only its own list: playing needs no test tool, browser or benchmark peer.
PLAY_PACKAGES := g++ cmake ninja-build pkg-config \
                 libsdl2-dev libsdl2-ttf-dev libsdl2-mixer-dev fonts-dejavu-core
WEB_PACKAGES := emscripten python3
# The tests: GoogleTest, a virtual X server and its driver, the browser test,
# the fuzzer (clang with libFuzzer's runtime), the reference tools the picture
# tests compare with, the package checks (cpack's dependency computation
# uses dpkg-shlibdeps and file) and the API reference (doxygen).
TEST_PACKAGES := $(PLAY_PACKAGES) $(WEB_PACKAGES) \
                 libgtest-dev libgmock-dev clang libclang-rt-14-dev \
                 xvfb xauth xdotool chromium python3-websocket \
                 imagemagick libtiff-tools \
                 dpkg-dev file lintian desktop-file-utils doxygen
BENCH_PACKAGES := $(PLAY_PACKAGES) libbenchmark-dev libpixman-1-dev liballegro4-dev libtiff-dev

RELEASE_DIR := build/release
TEST_DIR := build/test
WEB_DIR := build/web
WEB_BUILD_DIR := build/web-cmake
WEB_PACKAGE_DIR := build/web-package
# emcc runs its JavaScript tools on the Node.js its configuration names; one
# from outside Debian finds Debian's acorn module only through NODE_PATH.
WEB_ENV := NODE_PATH=/usr/share/nodejs$${NODE_PATH:+:$$NODE_PATH}
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: help play test build-release build-test web serve-web web-page web-package bench docs \
        setup-play setup-test setup-web setup-bench setup-docs

help:
	@sed -n 's/^#   //p' $(firstword $(MAKEFILE_LIST))

# Installs the packages of $(1) that are not installed yet.
define install_missing
	@missing=""; \
	for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi
endef

setup-play:
	$(call install_missing,$(PLAY_PACKAGES))
setup-test:
	$(call install_missing,$(TEST_PACKAGES))
setup-web:
	$(call install_missing,$(PLAY_PACKAGES) $(WEB_PACKAGES))
setup-bench:
	$(call install_missing,$(BENCH_PACKAGES))
setup-docs:
	$(call install_missing,doxygen)

build-release: setup-play
	cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVO_BUILD_TESTS=OFF -DTARVO_BUILD_BENCH=OFF
	cmake --build $(RELEASE_DIR)

play: build-release
	cd $(RELEASE_DIR) && ./tarvo

build-test: setup-test
	cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="-O1 -g" \
	      -DTARVO_SANITIZE=ON -DTARVO_BUILD_BENCH=OFF
	cmake --build $(TEST_DIR)

test: build-test
	$(MAKE) docs
	$(MAKE) web-page PICTURES=$(TEST_DIR)/Images SOUNDS=$(TEST_DIR)/Sounds WEB_DIR=$(TEST_DIR)/web WEB_BUILD_DIR=$(TEST_DIR)/web-cmake
	cd $(TEST_DIR) && ctest --output-on-failure -j2
	@if [ -f fuzz/run.sh ]; then bash fuzz/run.sh; fi

# The web page needs the pictures and sound effects, which native generators make.
web: setup-web
	cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVO_BUILD_TESTS=OFF -DTARVO_BUILD_BENCH=OFF
	cmake --build $(RELEASE_DIR) --target pictures sounds
	$(MAKE) web-page PICTURES=$(RELEASE_DIR)/Images SOUNDS=$(RELEASE_DIR)/Sounds

serve-web: web
	@echo "Tarvo on http://127.0.0.1:8000/ (Ctrl-C stops the server)"
	python3 -m http.server --bind 127.0.0.1 --directory $(WEB_DIR) 8000

# build/web/ from the pictures in $(PICTURES) and the effects in $(SOUNDS):
# index.html, tarvo.js, tarvo.wasm, tarvo.data.
web-page:
	$(WEB_ENV) emcmake cmake -S . -B $(WEB_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	      -DTARVO_PICTURES=$(abspath $(PICTURES)) -DTARVO_SOUNDS=$(abspath $(SOUNDS)) \
	      -DTARVO_WEB_OUT=$(abspath $(WEB_DIR))
	$(WEB_ENV) cmake --build $(WEB_BUILD_DIR)

# The engine built with Emscripten, installed as a game's own build finds it:
#   emcmake cmake -S mygame -B mygame/web -DCMAKE_PREFIX_PATH=P -DCMAKE_FIND_ROOT_PATH=P
# with P the absolute path of $(WEB_PACKAGE_DIR).
web-package: setup-web
	$(WEB_ENV) emcmake cmake -S . -B build/web-package-cmake -G Ninja -DCMAKE_BUILD_TYPE=Release
	$(WEB_ENV) cmake --build build/web-package-cmake
	cmake --install build/web-package-cmake --prefix $(abspath $(WEB_PACKAGE_DIR))

# The API reference from the public headers and docs/engine.md. The version is
# the one CMakeLists.txt declares; any doxygen warning fails the target.
VERSION := $(shell sed -n 's/^project.tarvo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
docs: setup-docs
	@mkdir -p build/docs
	( cat docs/Doxyfile; cmake -P cmake/TarvoPublicHeaders.cmake; echo "PROJECT_NUMBER = $(VERSION)" ) | doxygen -
	@echo "API reference: build/docs/html/index.html"

# The benchmark (see bench/README.md), in the release folder beside the game.
bench: setup-bench
	cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVO_BUILD_TESTS=OFF -DTARVO_BUILD_BENCH=ON
	cmake --build $(RELEASE_DIR) --target tarvo_bench

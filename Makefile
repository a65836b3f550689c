# Tarvo: set-up, build and run on Debian 12 (run as root, or with sudo).
#   make play       install what is missing, build a release, make the pictures, run the game
#   make test       the same set-up, then build with ASan + UBSan, build the web page, run every test
#   make web        the game as a web page in build/web/ (Debian's Emscripten)
#   make serve-web  the same, served on http://127.0.0.1:8000/

PACKAGES := cmake ninja-build g++ pkg-config clang libclang-rt-14-dev \
            libsdl2-dev libsdl2-ttf-dev libsdl2-mixer-dev fonts-dejavu-core \
            libgtest-dev libgmock-dev libbenchmark-dev \
            libpixman-1-dev liballegro4-dev libtiff-dev libtiff-tools imagemagick \
            xvfb xauth xdotool python3 \
            emscripten chromium python3-websocket

RELEASE_DIR := build/release
TEST_DIR := build/test
WEB_DIR := build/web
WEB_BUILD_DIR := build/web-cmake
# emcc runs its JavaScript tools on the Node.js its configuration names; one
# from outside Debian finds Debian's acorn module only through NODE_PATH.
WEB_ENV := NODE_PATH=/usr/share/nodejs$${NODE_PATH:+:$$NODE_PATH}
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: play test setup build-release build-test web serve-web web-page

setup:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi

build-release: setup
	cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVO_BUILD_TESTS=OFF
	cmake --build $(RELEASE_DIR)

play: build-release
	cd $(RELEASE_DIR) && ./tarvo

build-test: setup
	cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="-O1 -g" \
	      -DTARVO_SANITIZE=ON -DTARVO_BUILD_BENCH=OFF
	cmake --build $(TEST_DIR)

test: build-test
	$(MAKE) web-page PICTURES=$(TEST_DIR)/Images SOUNDS=$(TEST_DIR)/Sounds WEB_DIR=$(TEST_DIR)/web WEB_BUILD_DIR=$(TEST_DIR)/web-cmake
	cd $(TEST_DIR) && ctest --output-on-failure -j2
	@if [ -f fuzz/run.sh ]; then bash fuzz/run.sh; fi

# The web page needs the pictures and sound effects, which native generators make.
web: setup
	cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVO_BUILD_TESTS=OFF
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

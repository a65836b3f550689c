# Tarvo: set-up, build and run on Debian 12 (run as root, or with sudo).
#   make play   install what is missing, build a release, make the pictures, run the game
#   make test   the same set-up, then build with ASan + UBSan and run every test

PACKAGES := cmake ninja-build g++ pkg-config clang libclang-rt-14-dev \
            libsdl2-dev libsdl2-ttf-dev libsdl2-mixer-dev fonts-dejavu-core \
            libgtest-dev libgmock-dev libbenchmark-dev \
            libpixman-1-dev liballegro4-dev libtiff-dev libtiff-tools imagemagick \
            xvfb xauth xdotool python3

RELEASE_DIR := build/release
TEST_DIR := build/test
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: play test setup build-release build-test

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
	cd $(TEST_DIR) && ctest --output-on-failure -j2
	@if [ -f fuzz/run.sh ]; then bash fuzz/run.sh; fi

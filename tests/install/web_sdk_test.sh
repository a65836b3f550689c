#!/bin/bash
# The engine for browsers as game developers get it: installed from this
# build's browser build into a fresh prefix, checked, moved elsewhere, and
# games' own CMake lists, unchanged, configured with emcmake against the moved
# copy and built: move_picture's own project and the examples' (Catch among
# them). Their pages then play in Chromium (browser_test.py game).
# Usage: web_sdk_test.sh WEB_BUILD_DIR SOURCE_DIR PYTHON3
set -u
web_build=$(realpath "$1")
source=$(realpath "$2")
python=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# emcc runs its JavaScript tools on Node.js, which finds Debian's acorn only here.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

if [ ! -f "$web_build/CMakeCache.txt" ]; then
  echo "FAIL no browser build in $web_build: make test makes it (make web-page ... WEB_BUILD_DIR=$web_build)"
  exit 1
fi
cmake --install "$web_build" --prefix "$work/stage" >"$work/install.log" 2>&1 ||
  fail "cmake --install: $(tail -3 "$work/install.log")"
for f in include/tarvo/tarvo.h include/tarvo/version.h lib/cmake/Tarvo/TarvoConfig.cmake \
         lib/cmake/Tarvo/TarvoWebPage.cmake lib/libtarvo_engine.a lib/libtarvo_platform_web.a lib/libtarvo_web_main.a \
         share/tarvo/web/index.html share/tarvo/web/game_worker.js share/tarvo/web/service_worker.js.in \
         share/tarvo/web/manifest.webmanifest.in share/tarvo/web/library_page.js; do
  [ -e "$work/stage/$f" ] || fail "$f not installed"
done
[ -e "$work/stage/include/tarvo/scripted.h" ] && fail "the browsers' package has the scripted backend's header"
grep -rlF --include='*.cmake' -e "$web_build" -e "$source" "$work/stage" &&
  fail "installed CMake files name the build or source folder"
mv "$work/stage" "$work/moved"
prefix=$work/moved

# Built as a game developer builds: emcmake, the package's prefix as the
# find root, and nothing else.
build_page() {  # NAME SOURCE-FOLDER
  emcmake cmake -S "$2" -B "$work/$1" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix" \
    >"$work/$1.configure.log" 2>&1 || { fail "$1 does not configure: $(tail -5 "$work/$1.configure.log")"; return; }
  cmake --build "$work/$1" >"$work/$1.build.log" 2>&1 ||
    fail "$1 does not build: $(grep -m5 -E 'rror|undefined' "$work/$1.build.log" | cut -c1-300)"
}
cp -r "$source/examples/move_picture" "$work/move_picture_src"
build_page move_picture "$work/move_picture_src"
build_page examples "$source/examples"
page=$work/move_picture/move_picture-web
for f in index.html move_picture.js move_picture.wasm game_worker.js service_worker.js manifest.webmanifest \
         icon-192.png icon-512.png; do
  [ -e "$page/$f" ] || fail "move_picture's page lacks $f"
done
[ -e "$page/move_picture.data" ] && fail "move_picture, with no data folder, has a package"
grep -q "<title>Catch</title>" "$work/examples/catch-web/index.html" 2>/dev/null ||
  fail "Catch's page is not titled Catch: $(grep -o '<title>.*</title>' "$work/examples/catch-web/index.html" 2>&1)"
grep -qi "shooter\|Tarvo</title>" "$work/examples/catch-web/index.html" "$work/examples/catch-web/manifest.webmanifest" &&
  fail "Catch's page speaks of the shooter"
"$python" -c 'import json, sys; m = json.load(open(sys.argv[1])); sys.exit(m["name"] != "Catch" or "gems" not in m["description"])' \
  "$work/examples/catch-web/manifest.webmanifest" || fail "Catch's manifest: $(cat "$work/examples/catch-web/manifest.webmanifest")"

# A declaration the game cannot be played with stops the build, saying why.
mkdir -p "$work/keyless" && cd "$work/keyless" || exit 1
printf '#include <tarvo/tarvo.h>\nstatic const TarvoAction a[] = {{"jump", 32, ""}};\nstatic const TarvoGame g({.name = "hop", .actions = a});\nvoid initialize() { Tarvo.Initialize(false, 64, 64); }\nvoid run() {}\n' >hop.cpp
printf 'cmake_minimum_required(VERSION 3.25)\nproject(hop LANGUAGES CXX)\nfind_package(Tarvo REQUIRED)\nadd_executable(hop hop.cpp)\ntarget_link_libraries(hop PRIVATE Tarvo::engine)\n' >CMakeLists.txt
emcmake cmake -S . -B build -G Ninja -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix" >configure.log 2>&1 ||
  fail "hop does not configure: $(tail -3 configure.log)"
cmake --build build >build.log 2>&1 && fail "a game with an action on no key built a page"
grep -q "hop: the action jump has no key at all" build.log || fail "the build did not say why: $(tail -5 build.log)"
[ -e build/hop-web/index.html ] && fail "a page was written for a game that cannot be played"

"$python" "$source/tests/web/browser_test.py" game "$page" move_picture
code=$?
[ $code = 77 ] && { echo "note: no Chromium; the pages were built but not played"; exit $((failures > 0)); }
[ $code = 0 ] || fail "move_picture's page in Chromium"
"$python" "$source/tests/web/browser_test.py" game "$work/examples/catch-web" Catch || fail "Catch's page in Chromium"

if [ $failures = 0 ]; then echo "engine package for browsers: all checks passed"; fi
exit $((failures > 0))

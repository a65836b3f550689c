#!/bin/bash
# The engine as game developers get it: the dev component installed alone into
# a fresh prefix, checked, then moved elsewhere, and the two example games
# built against the moved copy, once with find_package(Tarvo) and once with
# pkg-config, and run headless to their stored frames. A game lacking
# initialize() or run() must fail to link, naming it; one built with
# pkg-config must open its window and end with status 0 on Escape.
# Usage: sdk_test.sh BUILD_DIR SOURCE_DIR
set -u
build=$(realpath "$1")
source=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
version=$(sed -n 's/^project(tarvo VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")

cmake --install "$build" --prefix "$work/stage" --component dev >"$work/install.log" 2>&1 ||
  fail "cmake --install: $(tail -3 "$work/install.log")"
for f in include/tarvo/tarvo.h include/tarvo/scripted.h include/tarvo/version.h lib/cmake/Tarvo/TarvoConfig.cmake \
         lib/cmake/Tarvo/TarvoConfigVersion.cmake lib/pkgconfig/tarvo.pc lib/pkgconfig/tarvo-scripted.pc \
         lib/libtarvo_engine.a lib/libtarvo_main.a lib/libtarvo_platform_sdl.a lib/libtarvo_platform_scripted.a; do
  [ -e "$work/stage/$f" ] || fail "$f not installed"
done
[ -e "$work/stage/games/tarvo" ] && fail "the dev component holds the game"
grep -rlE '#[[:space:]]*include[[:space:]]*[<"]SDL' "$work/stage/include" && fail "an installed header includes SDL"
# Every header an installed header names by a relative path is installed too.
while IFS= read -r header; do
  grep -oE '^#include "[^"]+"' "$header" | sed 's/#include "\(.*\)"/\1/' | while IFS= read -r name; do
    [ -e "$(dirname "$header")/$name" ] || echo "$header names $name, which is not installed"
  done
done < <(find "$work/stage/include" -name '*.h') >"$work/missing.txt"
[ -s "$work/missing.txt" ] && fail "$(cat "$work/missing.txt")"
grep -q "#define TARVO_VERSION \"$version\"" "$work/stage/include/tarvo/version.h" || fail "version.h lacks $version"
# No header, CMake or pkg-config file names the folders it was built from
# (the libraries' debugging information may).
grep -rlF --include='*.h' --include='*.cmake' --include='*.pc' -e "$build" -e "$source" "$work/stage" &&
  fail "installed files name the build or source folder"

mv "$work/stage" "$work/moved"
prefix=$work/moved

# find_package(Tarvo): the examples' own project, its tests compare frames.
cmake -S "$source/examples" -B "$work/cmake" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_PREFIX_PATH="$prefix" \
  >"$work/configure.log" 2>&1 || fail "examples do not configure: $(tail -5 "$work/configure.log")"
cmake --build "$work/cmake" >"$work/build.log" 2>&1 || fail "examples do not build: $(grep -m5 -E 'error|undefined' "$work/build.log")"
(cd "$work/cmake" && ctest --output-on-failure >"$work/ctest.log" 2>&1) || fail "examples' tests: $(tail -15 "$work/ctest.log")"
grep -q '100% tests passed, 0 tests failed out of 3' "$work/ctest.log" || fail "expected 3 passing tests: $(tail -5 "$work/ctest.log")"

# move_picture's own lists, the smallest project, build it too.
cmake -S "$source/examples/move_picture" -B "$work/own" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >"$work/own.log" 2>&1 &&
  cmake --build "$work/own" >>"$work/own.log" 2>&1 || fail "move_picture's own project: $(tail -5 "$work/own.log")"
[ -x "$work/own/move_picture" ] || fail "move_picture's own project made no program"

# A game that declares itself speaks as itself, never as the shooter.
catch=$work/cmake/catch
"$catch" --help >"$work/catch_help.txt" || fail "catch --help failed"
[ "$(head -1 "$work/catch_help.txt" | cut -d' ' -f1-2)" = "usage: catch" ] ||
  fail "catch --help begins '$(head -1 "$work/catch_help.txt")'"
grep -q "Catch the falling gems" "$work/catch_help.txt" || fail "catch --help lacks its paragraph"
# shellcheck disable=SC2016 # the help's own words, not expanded
grep -qF '$XDG_CONFIG_HOME/catch/settings.ini' "$work/catch_help.txt" || fail "catch --help names another settings file"
grep -qi "shooter" "$work/catch_help.txt" && fail "catch --help speaks of the shooter: $(cat "$work/catch_help.txt")"
[ "$("$catch" --version)" = "catch 1.0" ] || fail "catch --version says '$("$catch" --version)'"
# On SDL's dummy drivers it starts, finds its picture and sound beside it, and
# plays until stopped; its settings are its own file, and it writes none
# unasked (the dummy driver has no keys: F11 being remembered is the SDL
# backend's tests' to check).
mkdir -p "$work/catch_run" "$work/config" && cd "$work/catch_run" || exit 1
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME=$work/config ASAN_OPTIONS=detect_leaks=0 \
  timeout 2 "$catch" >run.log 2>&1
code=$?
[ $code = 124 ] || fail "catch on the dummy driver ended with status $code before 2 s: $(tail -3 run.log)"
grep -q 'Initialization finished OK' debug.txt || fail "catch did not start: $(head -3 debug.txt)"
grep -qF "Settings: $work/config/catch/settings.ini: no such file" debug.txt ||
  fail "catch looked for its settings elsewhere: $(grep Settings debug.txt)"
grep -E 'Cannot load|not found' debug.txt && fail "catch lacks its pictures or sound beside it"
[ -e "$work/config/tarvo" ] && fail "catch wrote under \$XDG_CONFIG_HOME/tarvo: $(find "$work/config/tarvo")"
[ -e "$work/config/catch" ] && fail "catch wrote settings nobody changed: $(find "$work/config/catch")"

# pkg-config, with a plain compiler line.
export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
[ "$(pkg-config --modversion tarvo)" = "$version" ] || fail "tarvo.pc version $(pkg-config --modversion tarvo)"
mkdir -p "$work/pc/run" && cd "$work/pc" || exit 1
compile() {  # OUTPUT PACKAGE SOURCES...
  local out=$1 package=$2
  shift 2
  # shellcheck disable=SC2046
  g++ -std=c++20 "$@" $(pkg-config --cflags --libs "$package") -o "$out" 2>"$out.log"
}
compile showcase_headless tarvo-scripted "$source/examples/showcase/showcase.cpp" \
  "$source/examples/headless/run_scripted.cpp" || fail "pkg-config build of showcase: $(head -5 showcase_headless.log)"
cp -r "$source/examples/showcase/Images" run/
(cd run && ../showcase_headless "$source/examples/showcase/showcase.keys" 30 frame.ppm \
   "$source/examples/showcase/expected.ppm" >/dev/null 2>run.err) || fail "pkg-config showcase: $(cat run/run.err)"
compile move_picture tarvo "$source/examples/move_picture/move_picture.cpp" ||
  fail "pkg-config build of move_picture: $(head -5 move_picture.log)"
# A game that declares nothing is named after its program, never as the shooter.
[ "$(./move_picture --version)" = "move_picture (Tarvo engine $version)" ] ||
  fail "--version says '$(./move_picture --version)'"
./move_picture --help >help.txt || fail "--help failed"
[ "$(head -1 help.txt | cut -d' ' -f1-2)" = "usage: move_picture" ] || fail "--help begins '$(head -1 help.txt)'"
grep -qi "shooter" help.txt && fail "--help speaks of the shooter: $(cat help.txt)"

# A game without one of its two functions does not link, and the linker names it.
printf '#include <tarvo/tarvo.h>\nvoid initialize() { Tarvo.Initialize(false, 64, 64); }\n' >no_run.cpp
printf '#include <tarvo/tarvo.h>\nvoid run() {}\n' >no_initialize.cpp
compile no_run tarvo no_run.cpp && fail "a game without run() linked"
grep -q 'undefined reference to `run()' no_run.log || fail "no_run: $(grep -m3 -E 'error|undefined' no_run.log)"
compile no_initialize tarvo no_initialize.cpp && fail "a game without initialize() linked"
grep -q 'undefined reference to `initialize()' no_initialize.log ||
  fail "no_initialize: $(grep -m3 -E 'error|undefined' no_initialize.log)"

# A declaration the game cannot be played with stops it before any window:
# status 2 and the reason on standard error.
declared() {  # NAME DECLARATION EXPECTED-MESSAGE
  printf '#include <tarvo/tarvo.h>\n%s\nvoid initialize() { Tarvo.Initialize(false, 64, 64); }\nvoid run() {}\n' \
    "$2" >"$1.cpp"
  compile "$1" tarvo "$1.cpp" || { fail "$1 does not build: $(head -3 "$1.log")"; return; }
  env -u DISPLAY SDL_VIDEODRIVER=dummy ./"$1" >/dev/null 2>"$1.err"
  local status=$?
  [ $status = 2 ] || fail "$1: exit status $status, expected 2"
  [ "$(cat "$1.err")" = "$3" ] || fail "$1 said '$(cat "$1.err")', expected '$3'"
}
declared keyless 'static const TarvoAction a[] = {{"jump", 32, ""}}; static const TarvoGame g({.name = "hop", .actions = a});' \
  "hop: the action jump has no key at all"
declared clash 'static const TarvoGameOption o[] = {{"--scale", "N", "x"}}; static const TarvoGame g({.name = "hop", .options = o});' \
  "hop: the game's option --scale is the engine's"

# The pkg-config game on a virtual display: its window comes up, the engine
# starts, Escape ends it with status 0.
if command -v xvfb-run >/dev/null && command -v xdotool >/dev/null; then
  mkdir -p "$work/play" && cd "$work/play" || exit 1
  cat >play.sh <<'SCRIPT'
"$1" & pid=$!
timeout 60 xdotool search --sync --onlyvisible --class move_picture >/dev/null || echo "no window within 60 s"
xdotool key Right
xdotool key Escape
wait $pid
SCRIPT
  ASAN_OPTIONS=detect_leaks=0 timeout 120 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    bash play.sh "$work/pc/move_picture" >play.log 2>&1
  code=$?
  [ $code = 0 ] || fail "move_picture on X: exit status $code: $(tail -3 play.log)"
  grep -q 'Initialization finished OK' debug.txt || fail "move_picture did not start: $(head -3 debug.txt)"

  # Catch as its player sees it: a window titled Catch, F11 remembered in
  # its own settings and nowhere else, Q ending it with status 0.
  mkdir -p "$work/catch_x" && cd "$work/catch_x" || exit 1
  cat >play.sh <<'SCRIPT'
"$1" & pid=$!
if ! timeout 30 xdotool search --sync --onlyvisible --name '^Catch$' >/dev/null; then
  echo "no window titled Catch within 30 s"
  kill $pid
  exit 3
fi
xdotool key F11
sleep 1
xdotool key q
wait $pid
SCRIPT
  XDG_CONFIG_HOME=$work/catch_x/config ASAN_OPTIONS=detect_leaks=0 SDL_AUDIODRIVER=dummy timeout 120 \
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash play.sh "$catch" >play.log 2>&1
  code=$?
  [ $code = 0 ] || fail "catch on X: exit status $code: $(tail -3 play.log)"
  grep -qx 'fullscreen = yes' config/catch/settings.ini 2>/dev/null ||
    fail "F11 was not remembered in catch/settings.ini: $(cat config/catch/settings.ini 2>&1)"
  [ -e config/tarvo ] && fail "catch wrote under \$XDG_CONFIG_HOME/tarvo"
else
  echo "note: no xvfb-run or xdotool; the examples were not played"
fi

if [ $failures = 0 ]; then echo "engine package: all checks passed"; fi
exit $((failures > 0))

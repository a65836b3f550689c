#!/bin/bash
# tarvo-replay end to end, run from a folder without pictures: the state
# lines, shots, the same output twice, and the refusals of bad scripts.
# Usage: replay_test.sh PATH/TO/tarvo-replay
set -u
tool=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cat >fight.keys <<'KEYS'
# start, fly backward while turning, fire all the time
0 down SPACE

0 down DOWN
1 down LEFT
16 up LEFT
KEYS
"$tool" fight.keys 60 --shots 0,59 --out . >a.jsonl 2>a.err || fail "exit status $?"
[ "$(wc -l <a.jsonl)" = 60 ] || fail "expected 60 state lines, got $(wc -l <a.jsonl)"
[ -s a.err ] && fail "standard error not empty: $(cat a.err)"
head -1 a.jsonl | grep -q '^{"frame":0,"paused":false,"showIntro":false,' || fail "frame 0: $(head -c 80 a.jsonl)"
sed -n 60p a.jsonl | grep -q '^{"frame":59,' || fail "last line is not frame 59"
grep -q '"photons":{"player":\[\[' a.jsonl || fail "no player photon in 60 frames of fire"
for f in frame_00000.tif frame_00059.tif; do
  [ -s "$f" ] || fail "shot $f missing"
done
# A missing --out folder is made, folders above it too; one that cannot be
# made is refused before the first frame, named, with exit status 2.
"$tool" fight.keys 3 --shots 2 --out new/deeper >/dev/null 2>e.err || fail "--out new/deeper: exit status $?"
[ -s new/deeper/frame_00002.tif ] || fail "shot in new/deeper missing: $(cat e.err)"
"$tool" fight.keys 3 --shots 2 --out fight.keys/sub >e.out 2>e.err
status=$?
[ $status = 2 ] || fail "--out under a file: exit status $status, expected 2"
[ -s e.out ] && fail "--out under a file: state lines printed before the refusal"
grep -qF "cannot make the folder fight.keys/sub" e.err || fail "--out under a file: '$(cat e.err)'"
# Deterministic: the same script gives the same lines, also from standard input.
"$tool" - 60 <fight.keys >b.jsonl 2>/dev/null || fail "standard input: exit status $?"
cmp -s a.jsonl b.jsonl || fail "a second run printed other states"

# Sound changes no state: the same lines with the sounds written out and on a
# machine without audio; the player's shots are heard on held frames 12, 24, 36.
"$tool" fight.keys 60 --sounds sounds.txt >c.jsonl 2>c.err || fail "--sounds: exit status $?"
cmp -s a.jsonl c.jsonl || fail "--sounds printed other states"
"$tool" fight.keys 60 --silent >d.jsonl 2>/dev/null || fail "--silent: exit status $?"
cmp -s a.jsonl d.jsonl || fail "--silent printed other states"
[ "$(grep ' player_shot ' sounds.txt | cut -d' ' -f1-3 | tr '\n' ,)" = "12 play player_shot,24 play player_shot,36 play player_shot,48 play player_shot," ] \
  || fail "player shots heard: $(grep player_shot sounds.txt | tr '\n' ' ')"
grep -q '^12 play player_shot 1 0$' sounds.txt || fail "the player's shot is not centred at full volume"

# Refusals: exit status 2, the line named.
check_refused() {  # script-text expected-message
  printf '%b' "$1" >bad.keys
  "$tool" bad.keys 5 >/dev/null 2>bad.err
  status=$?
  [ $status = 2 ] || fail "'$1': exit status $status, expected 2"
  grep -qF "$2" bad.err || fail "'$1': message '$(cat bad.err)' lacks '$2'"
}
check_refused '0 down SPACE\n3 sideways UP\n' 'line 2:'
check_refused '# ok\n\n1 down JUMP\n' 'line 3:'
check_refused 'x down UP\n' 'line 1:'
check_refused '-1 down UP\n' 'line 1:'
check_refused '1 down\n' 'line 1:'
check_refused '1 up UP extra\n' 'line 1:'
"$tool" missing.keys 5 >/dev/null 2>&1; [ $? = 2 ] || fail "missing script: exit status not 2"
"$tool" fight.keys ten >/dev/null 2>&1; [ $? = 2 ] || fail "bad FRAMES: exit status not 2"
"$tool" >/dev/null 2>&1; [ $? = 2 ] || fail "no arguments: exit status not 2"

if [ $failures = 0 ]; then echo "tarvo-replay: all checks passed"; fi
exit $((failures > 0))

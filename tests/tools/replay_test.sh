#!/bin/bash
# tarvo-replay end to end, run from a folder without pictures: the state
# lines, shots, the same output twice, the refusals of bad options and
# scripts, and writes that fail said as failures.
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
# A folder that exists but takes no file is refused just as early: /proc even
# for root, and one without write permission for anyone else (root runs that
# case as nobody, since permissions do not stop root).
check_unwritable() {  # label expected-message command...
  label=$1 message=$2
  shift 2
  "$@" >e.out 2>e.err
  status=$?
  [ $status = 2 ] || fail "$label: exit status $status, expected 2"
  [ -s e.out ] && fail "$label: state lines printed before the refusal"
  grep -qF "$message" e.err || fail "$label: '$(cat e.err)' lacks '$message'"
}
check_unwritable "--out /proc" "cannot write into the folder /proc: No such file or directory" \
  "$tool" fight.keys 3 --shots 2 --out /proc
mkdir -m 777 shared && mkdir -m 555 shared/locked && cp fight.keys shared/ && chmod 755 "$work"
as_user=()
[ "$(id -u)" = 0 ] && as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
(cd shared && check_unwritable "--out locked" "cannot write into the folder locked: Permission denied" \
  "${as_user[@]}" "$tool" fight.keys 3 --shots 2 --out locked; exit $failures) || failures=$((failures + 1))

# Pictures are made as any new file is: 0666 less the umask.
(umask 022 && "$tool" fight.keys 1 --shots 0 --out modes >/dev/null 2>&1)
[ "$(stat -c %a modes/frame_00000.tif 2>&1)" = 644 ] || fail "picture mode $(stat -c %a modes/frame_00000.tif 2>&1)"

# --shots names frames that are run, in digits and single commas; FRAMES in digits.
for shots in 60 " 5" "+6" "5," ",5" "5,,6" "0x5" "" "5 6"; do
  "$tool" fight.keys 60 --shots "$shots" >s.out 2>s.err
  status=$?
  [ $status = 2 ] || fail "--shots '$shots': exit status $status, expected 2"
  [ -s s.out ] && fail "--shots '$shots': state lines printed"
done
grep -qF -- "--shots takes frame numbers in digits" s.err || fail "--shots '5 6': '$(cat s.err)'"
"$tool" fight.keys 60 --shots 3,60 >/dev/null 2>s.err
grep -qF -- "--shots names frame 60, but the last frame is 59" s.err || fail "--shots past the end: '$(cat s.err)'"
for frames in " 5" "+5" "5 "; do
  "$tool" fight.keys "$frames" >/dev/null 2>&1; [ $? = 2 ] || fail "FRAMES '$frames': exit status not 2"
done

# Standard output holds only state lines: the engine's own words (here, a
# debug log that cannot be opened) go to standard error.
mkdir -p nolog/debug.txt
(cd nolog && "$tool" ../fight.keys 3 >../n.jsonl 2>../n.err) || fail "without a debug log: exit status $?"
[ "$(grep -c '^{"frame":' n.jsonl)" = 3 ] && [ "$(wc -l <n.jsonl)" = 3 ] \
  || fail "stdout without a debug log: $(cut -c1-80 n.jsonl)"
grep -qF "Unable to open debug log file" n.err || fail "the debug log's failure not on stderr: '$(cat n.err)'"

# State lines that cannot be written end the run with a failure, said.
"$tool" fight.keys 60 >/dev/full 2>f.err
status=$?
[ $status = 1 ] || fail "stdout on /dev/full: exit status $status, expected 1"
grep -qF "could not write the state lines: No space left on device" f.err || fail "/dev/full: '$(cat f.err)'"
# Deterministic: the same script gives the same lines, also from standard input.
"$tool" - 60 <fight.keys >b.jsonl 2>/dev/null || fail "standard input: exit status $?"
cmp -s a.jsonl b.jsonl || fail "a second run printed other states"

# Sound changes no state: the same lines with the sounds written out and on a
# machine without audio; the player's shots are heard on held frames 12, 24, 36.
"$tool" fight.keys 60 --sounds sounds.txt >c.jsonl 2>c.err || fail "--sounds: exit status $?"
cmp -s a.jsonl c.jsonl || fail "--sounds printed other states"
"$tool" fight.keys 60 --silent >d.jsonl 2>/dev/null || fail "--silent: exit status $?"
cmp -s a.jsonl d.jsonl || fail "--silent printed other states"
# --frame-work times the frames without changing one, and says so in the
# line tools/web_speed.py reads: 61 frames, 60 timed (each from one lock to
# the next), one block of 60, the hand-over of the picture a part of the work.
"$tool" fight.keys 61 --frame-work >e.jsonl 2>e.err || fail "--frame-work: exit status $?"
head -60 e.jsonl | cmp -s a.jsonl - || fail "--frame-work printed other states"
line=$(grep '^frame work: ' e.err)
[[ $line =~ ^frame\ work:\ ([0-9.]+)\ us\ a\ frame,\ ([0-9.]+)\ us\ of\ it\ handing\ the\ picture\ over\ \(median\ of\ 60-frame\ means,\ 60\ frames\)$ ]] ||
  fail "--frame-work said: $(cat e.err)"
awk -v w="${BASH_REMATCH[1]:-0}" -v p="${BASH_REMATCH[2]:-1}" 'BEGIN { exit !(w > 0 && p > 0 && p < w) }' ||
  fail "--frame-work: the hand-over is no part of the work: $line"
# Paced a player's 1/60 s apart, 61 frames take a second at least.
began=$(date +%s%N)
"$tool" fight.keys 61 --frame-work --paced >f.jsonl 2>f.err || fail "--paced: exit status $?"
took=$(( ($(date +%s%N) - began) / 1000000 ))
cmp -s e.jsonl f.jsonl || fail "--paced printed other states"
[ "$took" -ge 1000 ] || fail "--paced: 61 frames took $took ms"
grep -q '^frame work: .*(median of 60-frame means, 60 frames)$' f.err || fail "--paced said: $(cat f.err)"
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
# Control bytes in a refused word never reach the terminal.
check_refused '0 down UP\n1 down \033[2J\033]0;x\007\n' 'line 2: the key is neither a key name'
LC_ALL=C grep -q '[[:cntrl:]]' bad.err && fail "control bytes in '$(cat -v bad.err)'"
# A file that never ends a line is refused, not read until memory runs out.
timeout 60 "$tool" /dev/zero 1 >/dev/null 2>z.err
status=$?
[ $status = 2 ] || fail "/dev/zero: exit status $status, expected 2"
grep -qF "/dev/zero: line 1: longer than 1000 characters" z.err || fail "/dev/zero: '$(cat z.err)'"
"$tool" missing.keys 5 >/dev/null 2>&1; [ $? = 2 ] || fail "missing script: exit status not 2"
"$tool" fight.keys ten >/dev/null 2>&1; [ $? = 2 ] || fail "bad FRAMES: exit status not 2"
"$tool" >/dev/null 2>&1; [ $? = 2 ] || fail "no arguments: exit status not 2"

if [ $failures = 0 ]; then echo "tarvo-replay: all checks passed"; fi
exit $((failures > 0))

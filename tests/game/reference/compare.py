#!/usr/bin/env python3
"""Runs tarvo-replay and the reference model on one key script and compares
their per-frame states field by field.

  compare.py TARVO_REPLAY SCRIPT FRAMES

Numbers are compared as printed ("%.9g" on both sides), so equal text means
equal float32 values. Exit 0 when every frame matches, 1 on the first
difference (printed with both values), 2 on usage or run errors.
"""

import io
import json
import os
import subprocess
import sys

sys.dont_write_bytecode = True   # keep the source folder clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import shooter_model  # noqa: E402


def as_text(line):
    return json.loads(line, parse_float=str, parse_int=str)


def diff(a, b, path, out):
    if isinstance(a, dict) and isinstance(b, dict):
        for k in list(a) + [k for k in b if k not in a]:
            if k not in a or k not in b:
                out.append((path + '.' + k, a.get(k, '<missing>'), b.get(k, '<missing>')))
            else:
                diff(a[k], b[k], path + '.' + k, out)
    elif isinstance(a, list) and isinstance(b, list):
        for i in range(max(len(a), len(b))):
            if i >= len(a) or i >= len(b):
                out.append(('%s[%d]' % (path, i), a[i] if i < len(a) else '<none>',
                            b[i] if i < len(b) else '<none>'))
            else:
                diff(a[i], b[i], '%s[%d]' % (path, i), out)
    elif a != b:
        out.append((path, a, b))


def main(argv):
    if len(argv) != 4:
        sys.stderr.write('usage: compare.py TARVO_REPLAY SCRIPT FRAMES\n')
        return 2
    replay, script, frames = os.path.abspath(argv[1]), os.path.abspath(argv[2]), int(argv[3])
    proc = subprocess.run([replay, script, str(frames)], capture_output=True, text=True)
    if proc.returncode != 0:
        sys.stderr.write('tarvo-replay failed (%d): %s' % (proc.returncode, proc.stderr))
        return 2
    cpp = proc.stdout.splitlines()
    buf = io.StringIO()
    shooter_model.play(shooter_model.read_script(script), frames, buf)
    model = buf.getvalue().splitlines()
    if len(cpp) != frames or len(model) != frames:
        print('line counts differ: C++ %d, model %d, expected %d' % (len(cpp), len(model), frames))
        return 1
    for f, (lc, lm) in enumerate(zip(cpp, model)):
        if lc == lm:
            continue
        out = []
        diff(as_text(lc), as_text(lm), '', out)
        print('frame %d differs (%d fields):' % (f, len(out)))
        for path, c, m in out:
            print('  %s: C++ %s, model %s' % (path.lstrip('.'), c, m))
        if not out:
            print('  same values, different text:\n  C++   %s\n  model %s' % (lc, lm))
        return 1
    print('%d frames identical' % frames)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))

#!/usr/bin/env python3
"""SIGTERM and SIGINT end the real game at any moment, also while a modal
message box waits for the user: exit status 128 + the signal's number, and
the box goes with it.

  signal_exit.py TARVO

Starts its own virtual X server (xvfb-run). The program is copied alone into
an empty folder, so its first picture is missing and it opens the "Tarvo
Error" box. SDL draws that box with the X server's core fonts, and a bare
Xvfb has none it takes, so the server is given one (DejaVu Sans, from
fonts-dejavu-core) on its font path. The test waits, with deadlines meant
for a loaded machine, until the box is on the screen (where no font or no
xdotool is at hand: until the log line written just before it), then sends
the signal. Prints one line per check; exit 0 when all pass.
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

DEADLINE_S = 90
FONT = '/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf'


def wait_for(condition, seconds=DEADLINE_S):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if condition():
            return True
        time.sleep(0.2)
    return False


def run(*args):
    return subprocess.run(list(args), capture_output=True, text=True)


def make_font_folder(folder):
    """A font folder the X server reads; False when the font is missing."""
    if not os.path.exists(FONT):
        return False
    os.makedirs(folder)
    os.symlink(FONT, os.path.join(folder, 'DejaVuSans.ttf'))
    entry = '1\nDejaVuSans.ttf -misc-dejavu sans-medium-r-normal--0-0-0-0-p-0-iso8859-1\n'
    for name in ('fonts.dir', 'fonts.scale'):
        with open(os.path.join(folder, name), 'w') as out:
            out.write(entry)
    return True


def boxes_open():
    """How many "Tarvo Error" windows the X server has."""
    ids = run('xdotool', 'search', '--class', '').stdout.split()
    return sum(1 for wid in ids if run('xdotool', 'getwindowname', wid).stdout.strip() == 'Tarvo Error')


def log_says_searched(folder):
    try:
        with open(os.path.join(folder, 'debug.txt'), encoding='latin-1') as log:
            return 'looked for in' in log.read()
    except FileNotFoundError:
        return False


def outside(program):
    """Runs this script again under a virtual X server with the box's font."""
    with tempfile.TemporaryDirectory() as fonts:
        folder = os.path.join(fonts, 'box')
        has_font = make_font_folder(folder)
        path = folder + ',built-ins' if has_font else 'built-ins'
        return subprocess.run(['xvfb-run', '-a', '-s', f'-screen 0 1280x1024x24 -noreset -fp {path}',
                               sys.executable, __file__, '--inside', program,
                               'box' if has_font else 'nobox']).returncode


def inside(program, with_box):
    failures = []

    def check(ok, what):
        print(('ok   ' if ok else 'FAIL ') + what, flush=True)
        if not ok:
            failures.append(what)
        return ok

    with_box = with_box and shutil.which('xdotool') is not None
    print('the signal comes while the box is open' if with_box else
          'no font or no xdotool: the signal comes while the game runs', flush=True)
    with tempfile.TemporaryDirectory() as root:
        alone = os.path.join(root, 'alone', 'bin')
        os.makedirs(alone)
        shutil.copy2(program, os.path.join(alone, 'tarvo'))
        env = dict(os.environ)
        env.pop('TARVO_NO_MESSAGE_BOX', None)
        env['XDG_RUNTIME_DIR'] = root
        for sig in (signal.SIGTERM, signal.SIGINT):
            folder = os.path.join(root, sig.name)
            os.makedirs(folder)
            game = subprocess.Popen([os.path.join(alone, 'tarvo')], cwd=folder, env=env,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                if not check(wait_for(lambda: log_says_searched(folder) or game.poll() is not None)
                             and game.poll() is None, f'{sig.name}: the game reaches its first missing picture'):
                    continue
                if with_box and not check(wait_for(lambda: boxes_open() > 0 or game.poll() is not None)
                                          and game.poll() is None, f'{sig.name}: the "Tarvo Error" box is open'):
                    continue
                game.send_signal(sig)
                try:
                    code = game.wait(timeout=DEADLINE_S)
                except subprocess.TimeoutExpired:
                    check(False, f'{sig.name}: the game ends within {DEADLINE_S} s')
                    continue
                check(code == 128 + sig.value, f'{sig.name}: exit status {code}, expected {128 + sig.value}')
                if with_box:
                    check(wait_for(lambda: boxes_open() == 0), f'{sig.name}: the box went with the game')
            finally:
                if game.poll() is None:
                    game.kill()
                    game.wait()
    return 1 if failures else 0


if __name__ == '__main__':
    if sys.argv[1] == '--inside':
        sys.exit(inside(os.path.realpath(sys.argv[2]), sys.argv[3] == 'box'))
    sys.exit(outside(sys.argv[1]))

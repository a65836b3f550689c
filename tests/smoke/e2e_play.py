#!/usr/bin/env python3
"""The real game in a real window on a virtual X server, driven by key
presses through XTEST (xdotool) and checked on what the screen shows.

  e2e_play.py play  TARVO TARVO_REPLAY   intro, start, fly, fire, pause, Escape
  e2e_play.py close TARVO                closing the window ends the game
  e2e_play.py size  TARVO WIDTH HEIGHT [ARGS...]   the window's client size,
                                         and every logical pixel a square block

Run under xvfb-run. Regions of screenshots are compared, never whole frames,
so the checks hold on any X server. Prints one line per check; exit 0 when
all pass.
"""

import ctypes
import os
import subprocess
import sys
import tempfile
import time

failures = []


def check(ok, what):
    print(('ok   ' if ok else 'FAIL ') + what, flush=True)
    if not ok:
        failures.append(what)
    return ok


def run(*args, **kw):
    return subprocess.run(list(args), capture_output=True, text=True, **kw)


class Shot:
    """A screenshot region as rows of (r, g, b)."""

    def __init__(self, data, width, height):
        self.data, self.width, self.height = data, width, height

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return self.data[i], self.data[i + 1], self.data[i + 2]

    def region(self, x0, y0, w, h):
        return bytes(b for y in range(y0, y0 + h)
                     for b in self.data[(y * self.width + x0) * 3:(y * self.width + x0 + w) * 3])


def read_ppm(raw):
    # P6 header: magic, width, height, maxval, one whitespace, then RGB bytes.
    fields, pos = [], 0
    while len(fields) < 4:
        while raw[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not raw[pos:pos + 1].isspace():
            pos += 1
        fields.append(raw[start:pos])
    assert fields[0] == b'P6' and fields[3] == b'255', fields
    return Shot(raw[pos + 1:], int(fields[1]), int(fields[2]))


def grab(x, y, w, h):
    out = subprocess.run(['import', '-silent', '-window', 'root', '-crop', '%dx%d+%d+%d' % (w, h, x, y),
                          '+repage', '-depth', '8', 'ppm:-'], capture_output=True)
    return read_ppm(out.stdout)


def close_enough(a, b, tolerance=12):
    """Same picture but for how the server widens 16-bit colours."""
    if len(a) != len(b):
        return False
    off = sum(1 for i in range(len(a)) if abs(a[i] - b[i]) > tolerance)
    return off <= len(a) // 1000


def find_window(timeout):
    deadline = time.time() + timeout
    while time.time() < deadline:
        ids = run('xdotool', 'search', '--onlyvisible', '--class', 'tarvo').stdout.split()
        for wid in ids:
            geometry = {}
            for line in run('xdotool', 'getwindowgeometry', '--shell', wid).stdout.split():
                key, _, value = line.partition('=')
                geometry[key] = int(value) if value.lstrip('-').isdigit() else value
            if geometry.get('WIDTH', 0) > 100:
                return wid, geometry
        time.sleep(0.05)
    return None, None


def key(*args):
    subprocess.run(['xdotool'] + list(args), check=False)


def start(tarvo, *args):
    work = tempfile.mkdtemp(prefix='tarvo-e2e-')
    env = dict(os.environ, TARVO_NO_MESSAGE_BOX='1')
    began = time.time()
    game = subprocess.Popen([os.path.abspath(tarvo)] + list(args), cwd=work, env=env, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE)
    return game, work, began


def finish(game, what, timeout=10):
    try:
        status = game.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        game.kill()
        game.wait()
        status = 'still running'
    err = game.stderr.read().decode(errors='replace')
    check(status == 0, '%s ends the program with status 0 (got %s) %s' % (what, status, err.strip()[:300]))


def replay_intro(replay):
    """Frame 0 as the game draws it, from the replay tool, as RGB."""
    work = tempfile.mkdtemp(prefix='tarvo-e2e-ref-')
    script = os.path.join(work, 'none.keys')
    open(script, 'w').close()
    run(os.path.abspath(replay), script, '1', '--shots', '0', '--out', work)
    out = subprocess.run(['convert', os.path.join(work, 'frame_00000.tif'), '-depth', '8', 'ppm:-'],
                         capture_output=True)
    return read_ppm(out.stdout)


def bright_pixels(shot, x0, y0, w, h):
    return sum(1 for y in range(y0, y0 + h) for x in range(x0, x0 + w) if sum(shot.pixel(x, y)) > 600)


def play(tarvo, replay):
    reference = replay_intro(replay)
    game, work, began = start(tarvo)
    wid, g = find_window(10)
    if not check(wid is not None, 'the window opens'):
        game.kill()
        return
    x, y = g['X'], g['Y']
    check((g['WIDTH'], g['HEIGHT']) == (755, 511), 'client area 755 x 511 (got %s x %s)' % (g['WIDTH'], g['HEIGHT']))
    # The intro panel, 500 x 300 at (128, 106), as the replay tool draws it.
    panel = reference.region(128, 106, 500, 300)
    seen = None
    while time.time() - began < 10:
        if close_enough(grab(x + 128, y + 106, 500, 300).region(0, 0, 500, 300), panel):
            seen = time.time() - began
            break
        time.sleep(0.05)
    check(seen is not None and seen <= 2.0, 'intro over the arena within 2 s of start (%s s)' %
          ('never' if seen is None else '%.2f' % seen))

    # Keys go to the window under the pointer on a server without a window manager.
    key('mousemove', str(x + 700), str(y + 250))
    key('keydown', 'space')
    time.sleep(0.2)
    key('keyup', 'space')
    time.sleep(0.2)
    check(not close_enough(grab(x + 128, y + 106, 500, 300).region(0, 0, 500, 300), panel),
          'Space starts the game: the intro is gone')

    key('keydown', 'Up')
    time.sleep(0.3)
    a = grab(x, y, 755, 511)
    time.sleep(0.3)
    b = grab(x, y, 755, 511)
    check(a.region(20, 330, 300, 150) != b.region(20, 330, 300, 150), 'holding Up scrolls the arena')
    # The middle of the ship's body, which no background shows through.
    check(a.region(392, 256, 12, 40) == b.region(392, 256, 12, 40) and sum(a.pixel(398, 276)) > 150,
          'the ship stays at its place')
    key('keyup', 'Up')

    # Space held: a photon's glow above the ship, the way it points.
    key('keydown', 'space')
    glow = 0
    for _ in range(20):
        time.sleep(0.05)
        glow = max(glow, bright_pixels(grab(x + 378, y, 40, 236), 0, 0, 40, 236))
    key('keyup', 'space')
    check(glow >= 20, 'Space held fires: a glow in front of the ship (%d bright pixels)' % glow)

    # P is read as held, so a press pauses or resumes depending on how many
    # frames it lasted: press until the state changes. Left held turns the
    # ship, so a playing game never shows two equal pictures.
    key('keydown', 'Left')
    paused = False
    for _ in range(8):
        key('keydown', 'p', 'keyup', 'p')
        time.sleep(0.2)
        first = grab(x + 338, y + 216, 120, 120).region(0, 0, 120, 120)
        time.sleep(1.0)
        if grab(x + 338, y + 216, 120, 120).region(0, 0, 120, 120) == first:
            paused = True
            break
    check(paused, 'P pauses: two screenshots a second apart are identical')
    resumed = False
    for _ in range(8):
        key('keydown', 'p', 'keyup', 'p')
        time.sleep(0.2)
        first = grab(x + 338, y + 216, 120, 120).region(0, 0, 120, 120)
        time.sleep(0.3)
        if grab(x + 338, y + 216, 120, 120).region(0, 0, 120, 120) != first:
            resumed = True
            break
    check(resumed, 'P resumes')
    key('keyup', 'Left')

    key('key', 'Escape')
    finish(game, 'Escape')
    log = open(os.path.join(work, 'debug.txt'), errors='replace').read() if os.path.exists(
        os.path.join(work, 'debug.txt')) else ''
    check('WindowsDX: Initialization started.' in log and 'WindowsDX: Initialization finished OK.' in log,
          'debug.txt holds the start-up lines')


def close(tarvo):
    game, _, _ = start(tarvo)
    wid, _ = find_window(10)
    if not check(wid is not None, 'the window opens'):
        game.kill()
        return
    time.sleep(0.5)
    # What a window manager sends when the close button is pressed.
    x11 = ctypes.CDLL('libX11.so.6')
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)

    class ClientMessage(ctypes.Structure):
        _fields_ = [('type', ctypes.c_int), ('serial', ctypes.c_ulong), ('send_event', ctypes.c_int),
                    ('display', ctypes.c_void_p), ('window', ctypes.c_ulong), ('message_type', ctypes.c_ulong),
                    ('format', ctypes.c_int), ('data', ctypes.c_long * 5), ('pad', ctypes.c_long * 12)]

    message = ClientMessage()
    message.type = 33  # ClientMessage
    message.window = int(wid)
    message.message_type = x11.XInternAtom(display, b'WM_PROTOCOLS', 0)
    message.format = 32
    message.data[0] = x11.XInternAtom(display, b'WM_DELETE_WINDOW', 0)
    x11.XSendEvent(display, int(wid), 0, 0, ctypes.byref(message))
    x11.XFlush(display)
    x11.XCloseDisplay(display)
    finish(game, 'closing the window')


def size(tarvo, width, height, args):
    game, _, _ = start(tarvo, *args)
    wid, g = find_window(10)
    if not check(wid is not None, 'the window opens'):
        game.kill()
        return
    check((g['WIDTH'], g['HEIGHT']) == (width, height),
          'client area %d x %d (got %s x %s)' % (width, height, g['WIDTH'], g['HEIGHT']))
    factor = width // 755
    time.sleep(1.0)
    shot = grab(g['X'], g['Y'], width, height)
    blocks_ok = all(shot.pixel(bx + dx, by + dy) == shot.pixel(bx, by)
                    for by in range(0, height - factor, factor * 7)
                    for bx in range(0, width - factor, factor * 5)
                    for dy in range(factor) for dx in range(factor))
    check(blocks_ok, 'sharp: every logical pixel a %d x %d block' % (factor, factor))
    key('mousemove', str(g['X'] + 10), str(g['Y'] + 10))
    key('key', 'Escape')
    finish(game, 'Escape')


def main():
    mode = sys.argv[1]
    if mode == 'play':
        play(sys.argv[2], sys.argv[3])
    elif mode == 'close':
        close(sys.argv[2])
    elif mode == 'size':
        size(sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), sys.argv[5:])
    print('e2e: all checks passed' if not failures else 'e2e: %d checks failed' % len(failures))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())

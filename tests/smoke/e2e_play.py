#!/usr/bin/env python3
"""The real game in a real window on a virtual X server, driven by key
presses through XTEST (xdotool) and checked on what the screen shows.

  e2e_play.py play   TARVO TARVO_REPLAY  intro, start, fly, fire, pause, Escape
  e2e_play.py close  TARVO               closing the window ends the game
  e2e_play.py size   TARVO WIDTH HEIGHT [ARGS...]  the window's client size,
                                         and every logical pixel a square block
  e2e_play.py record TARVO TARVO_REPLAY  a session played with --record, then
                                         replayed: the keys act in the same frames
  e2e_play.py mute   TARVO               --mute: the mixed output stays silent
  e2e_play.py layout TARVO TARVO_REPLAY  the screen in the 16-bit layout the
                                         environment asks for (TARVO_PIXEL_LAYOUT)

Run under xvfb-run. Prints one line per check; exit 0 when all pass.

Nothing here depends on how fast the machine is: every check waits for what
it needs to see (a window, a picture, a change) with a deadline meant for a
loaded machine, and then judges what it saw, never how soon.
"""

import ctypes
import json
import os
import random
import subprocess
import sys
import tempfile
import time

failures = []

# How long to wait for anything the game should show, on a busy machine.
DEADLINE = 30.0


def wait_until(condition, timeout=DEADLINE, pause=0.05):
    """The first true value condition() gives, or None after the timeout."""
    deadline = time.time() + timeout
    while True:
        value = condition()
        if value or time.time() >= deadline:
            return value or None
        time.sleep(pause)


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


def find_window(timeout=DEADLINE):
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


def start(tarvo, *args, env=None):
    work = tempfile.mkdtemp(prefix='tarvo-e2e-')
    # Settings of the test's own, never the machine user's.
    env = dict(os.environ, TARVO_NO_MESSAGE_BOX='1', **dict({'XDG_CONFIG_HOME': work}, **(env or {})))
    game = subprocess.Popen([os.path.abspath(tarvo)] + list(args), cwd=work, env=env, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE)
    return game, work


def finish(game, what, timeout=DEADLINE):
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


def colours(shot):
    return len(set(shot.data[i:i + 3] for i in range(0, len(shot.data), 3)))


def open_window(game, *size):
    """The game's window once it shows a picture (many colours, not a blank
    client area), or None after a failed check."""
    wid, g = find_window()
    if not check(wid is not None, 'the window opens'):
        game.kill()
        return None
    if size:
        check((g['WIDTH'], g['HEIGHT']) == size,
              'client area %d x %d (got %s x %s)' % (size + (g['WIDTH'], g['HEIGHT'])))
    if not check(wait_until(lambda: colours(grab(g['X'], g['Y'], g['WIDTH'], g['HEIGHT'])) > 50),
                 'the window shows a picture'):
        game.kill()
        return None
    return g


class Intro:
    """The intro panel, 500 x 300 at (128, 106), as the replay tool draws it."""

    def __init__(self, replay, g):
        self.panel = replay_intro(replay).region(128, 106, 500, 300)
        self.x, self.y = g['X'] + 128, g['Y'] + 106

    def shown(self):
        return close_enough(grab(self.x, self.y, 500, 300).region(0, 0, 500, 300), self.panel)


def changes(x, y, w, h, timeout=DEADLINE):
    """Whether the region shows another picture within the timeout."""
    first = grab(x, y, w, h).data
    return wait_until(lambda: grab(x, y, w, h).data != first, timeout)


class Session:
    """The game started with --record, in a window that shows a picture.

    The recording says in which frame the game read a key go down or up, so
    a key is held until the game has read it, however slowly frames come.
    """

    def __init__(self, tarvo):
        self.game, self.work = start(tarvo, '--record', 'session.keys')
        self.script = os.path.join(self.work, 'session.keys')
        self.g = open_window(self.game, 755, 511)
        if self.g is not None:
            self.x, self.y = self.g['X'], self.g['Y']
            # Keys go to the window under the pointer on a server without a window manager.
            key('mousemove', str(self.x + 700), str(self.y + 250))

    def events(self):
        """The recording's lines as (frame, action, key)."""
        text = open(self.script).read() if os.path.exists(self.script) else ''
        return [(int(f), a, k) for f, a, k in (line.split() for line in text.splitlines()
                                                if line.strip() and not line.startswith('#'))]

    def _read(self, action, name, seen):
        """The frame of the first `action name` line after the first `seen` lines."""
        found = wait_until(lambda: [e for e in self.events()[seen:] if e[1:] == (action, name)])
        return found[0][0] if found else None

    def press(self, xkey, name, until=None):
        """Holds a key until the game has read it and `until()` is true, then
        lets go until the game has read that: (down frame, up frame, until's
        value), None for what never came."""
        seen = len(self.events())
        key('keydown', xkey)
        down = self._read('down', name, seen)
        held = wait_until(until) if until and down is not None else None
        key('keyup', xkey)
        up = self._read('up', name, seen)
        check(down is not None and up is not None, 'the game reads %s go down and up (frames %s, %s)' %
              (name, down, up))
        return down, up, held

    def toggle(self):
        """P pressed until the game changes between playing and paused; the
        frame from which the change holds, or None. P is read as held: each
        frame that reads it pauses a playing game (that frame still plays)
        or resumes a paused one, so a press that lasts an odd number of
        frames changes the state and one that lasts an even number does not."""
        for attempt in range(20):
            # How long a press lasts in frames depends on this machine's pace,
            # which may give the same even count every time: each try holds
            # for a random extra time, drawn from a wider span each time so
            # that it spans several frames however slowly they come.
            extra = random.uniform(0, 0.05 * (attempt + 1))
            down, up, _ = self.press('p', 'P', lambda: time.sleep(extra) or True)
            if down is None or up is None:
                return None
            if (up - down) % 2 == 1:
                return up
        return None

    def grab(self, x=0, y=0, w=755, h=511):
        return grab(self.x + x, self.y + y, w, h)


def start_fight(session, intro):
    """Space held until the intro is gone; True when it went."""
    return session.press('space', 'SPACE', lambda: not intro.shown())[2]


def play(tarvo, replay):
    session = Session(tarvo)
    if session.g is None:
        return
    intro = Intro(replay, session.g)
    check(wait_until(intro.shown), 'the intro over the arena')
    check(start_fight(session, intro), 'Space starts the game: the intro is gone')

    # The middle of the ship's body, which no background shows through; a
    # photon's glow may pass over it for a frame, so a picture of it is taken
    # when it holds still, and looked for while the arena scrolls.
    def ship(shot):
        return shot.region(392, 256, 12, 40)

    def still():
        first = session.grab()
        time.sleep(0.1)
        second = session.grab()
        return second if ship(first) == ship(second) else None

    a = wait_until(still)
    scrolled = []

    def flown():
        shot = session.grab()
        if shot.region(20, 330, 300, 150) == a.region(20, 330, 300, 150):
            return None
        scrolled.append(shot)
        return shot if ship(shot) == ship(a) else None

    b = session.press('Up', 'UP', flown)[2] if a is not None else None
    if check(scrolled, 'holding Up scrolls the arena'):
        check(b is not None and sum(a.pixel(398, 276)) > 150, 'the ship stays at its place')

    # Space held: a photon's glow above the ship, the way it points.
    glow = session.press('space', 'SPACE', lambda: (lambda n: n if n >= 20 else 0)(bright_pixels(
        session.grab(378, 0, 40, 236), 0, 0, 40, 236)))[2]
    check(glow is not None, 'Space held fires: a glow in front of the ship (%s bright pixels)' % glow)

    # Left held turns the ship, so a playing game never shows the same picture.
    ship = (session.x + 338, session.y + 216, 120, 120)
    key('keydown', 'Left')
    if check(session.toggle() is not None, 'a press of P pauses'):
        # The screen settles on one picture (it may have lagged a frame).
        check(wait_until(lambda: not changes(*ship, timeout=1.0), pause=0),
              'paused: two screenshots a second apart are identical')
        check(session.toggle() is not None and changes(*ship), 'P resumes: the ship turns again')
    key('keyup', 'Left')

    key('key', 'Escape')
    finish(session.game, 'Escape')
    log = open(os.path.join(session.work, 'debug.txt'), errors='replace').read() if os.path.exists(
        os.path.join(session.work, 'debug.txt')) else ''
    check('WindowsDX: Initialization started.' in log and 'WindowsDX: Initialization finished OK.' in log,
          'debug.txt holds the start-up lines')


def close(tarvo):
    game, _ = start(tarvo)
    g = open_window(game)
    if g is None:
        return
    wid = g['WINDOW']
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
    game, _ = start(tarvo, *args)
    g = open_window(game, width, height)
    if g is None:
        return
    factor = width // 755
    if factor > 1:
        shot = grab(g['X'], g['Y'], width, height)
        blocks_ok = all(shot.pixel(bx + dx, by + dy) == shot.pixel(bx, by)
                        for by in range(0, height - factor, factor * 7)
                        for bx in range(0, width - factor, factor * 5)
                        for dy in range(factor) for dx in range(factor))
        check(blocks_ok, 'sharp: every logical pixel a %d x %d block' % (factor, factor))
    key('mousemove', str(g['X'] + 10), str(g['Y'] + 10))
    key('key', 'Escape')
    finish(game, 'Escape')


def record(tarvo, replay):
    session = Session(tarvo)
    if session.g is None:
        return
    intro = Intro(replay, session.g)
    check(wait_until(intro.shown), 'the intro over the arena')
    space, _, _ = session.press('space', 'SPACE', lambda: not intro.shown())
    up, up_end, _ = session.press('Up', 'UP', lambda: changes(session.x + 20, session.y + 330, 300, 150))
    left, left_end, _ = session.press('Left', 'LEFT', lambda: changes(session.x + 392, session.y + 256, 12, 40))
    paused = session.toggle()
    # Paused, the game shows the same picture frame after frame.
    settled = paused is not None and wait_until(
        lambda: not changes(session.x, session.y, 755, 511, timeout=1.0), pause=0)
    shot = session.grab() if settled else None
    key('key', 'Escape')
    finish(session.game, 'Escape')
    if not check(None not in (space, up, left, paused) and shot is not None,
                 'the session was played and ended paused'):
        return

    # Replayed from the recording, the keys act in the frames they were read in.
    frames = paused + 2
    out = run(os.path.abspath(replay), session.script, str(frames), '--shots', str(frames - 1), '--out', session.work)
    if not check(out.returncode == 0, 'tarvo-replay plays the recording %s' % out.stderr.strip()[:300]):
        return
    states = [json.loads(line) for line in out.stdout.splitlines()]
    player = [s['player'] for s in states]
    check(space > 0 and states[space - 1]['showIntro'] and not states[space]['showIntro'],
          'Space leaves the intro in frame %d, where it was read' % space)
    check(player[up - 1]['vy'] == 0 and player[up]['vy'] < 0 and player[up_end - 1]['y'] < player[up - 1]['y'],
          'Up thrusts from frame %d to %d: y %s to %s' % (up, up_end, player[up - 1]['y'], player[up_end - 1]['y']))
    check(player[left - 1]['angle'] == 90 and all(player[f]['angle'] != player[f - 1]['angle']
                                                  for f in range(left, left_end)),
          'Left turns the ship in every frame from %d to %d' % (left, left_end))
    check(states[-1]['paused'] and not states[paused - 2]['paused'], 'P pauses in frame %d' % (paused - 1))
    picture = subprocess.run(['convert', os.path.join(session.work, 'frame_%05d.tif' % (frames - 1)), '-depth', '8',
                              'ppm:-'], capture_output=True)
    check(close_enough(read_ppm(picture.stdout).region(0, 0, 755, 511), shot.region(0, 0, 755, 511)),
          'the last frame replayed is the picture the paused game shows')


def silent(path):
    """Whether the raw audio SDL wrote holds nothing but zero bytes."""
    with open(path, 'rb') as raw:
        return raw.read().count(0) == os.path.getsize(path)


def mute(tarvo):
    # SDL's disk driver writes the mixed output to a file, at the pace of a
    # real device; silence is zero bytes. The same play unmuted, first, shows
    # that the play is heard at all.
    for args in ([], ['--mute']):
        out = os.path.join(tempfile.mkdtemp(prefix='tarvo-e2e-audio-'), 'output.raw')
        game, work = start(tarvo, *args, env={'SDL_AUDIODRIVER': 'disk', 'SDL_DISKAUDIOFILE': out})
        g = open_window(game, 755, 511)
        if g is None:
            return
        x, y = g['X'], g['Y']
        key('mousemove', str(x + 700), str(y + 250))
        key('keydown', 'space')
        fired = wait_until(lambda: bright_pixels(grab(x + 378, y, 40, 236), 0, 0, 40, 236) >= 20)
        # A second of output (44100 frames of two 16-bit samples at most)
        # after the first shot was seen, so that its sound is mixed in.
        seen = os.path.getsize(out) if os.path.exists(out) else 0
        mixed = wait_until(lambda: os.path.exists(out) and os.path.getsize(out) >= seen + 176400)
        key('keyup', 'space')
        key('key', 'Escape')
        finish(game, 'Escape')
        what = ' '.join(['tarvo'] + args)
        check(fired, '%s: Space held fires' % what)
        check(mixed, '%s: the output is written' % what)
        log = open(os.path.join(work, 'debug.txt'), errors='replace').read()
        check('Audio: No sound output' not in log, '%s: the sound output opens' % what)
        if fired and mixed:
            check(silent(out) == bool(args), '%s: %s' % (what, 'silent' if args else 'the shots are heard'))


def layout(tarvo, replay):
    game, _ = start(tarvo)
    g = open_window(game, 755, 511)
    if g is None:
        return
    reference = replay_intro(replay)
    expected = reference.region(0, 0, 755, 511)
    shot = wait_until(lambda: (lambda s: s if close_enough(s.region(0, 0, 755, 511), expected) else None)(
        grab(g['X'], g['Y'], 755, 511)))
    check(shot is not None, 'the intro in the colours the replay tool draws')
    if shot is not None:
        # Five bits of green give at most 32 of its 256 levels; six give 64.
        greens = len(set(shot.data[1::3]))
        want = 32 if os.environ.get('TARVO_PIXEL_LAYOUT') == '555' else 64
        check(want // 2 < greens <= want, '%d levels of green, as %d-bit green gives' % (greens, want.bit_length() - 1))
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
    elif mode == 'record':
        record(sys.argv[2], sys.argv[3])
    elif mode == 'mute':
        mute(sys.argv[2])
    elif mode == 'layout':
        layout(sys.argv[2], sys.argv[3])
    print('e2e: all checks passed' if not failures else 'e2e: %d checks failed' % len(failures))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())

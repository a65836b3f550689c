#!/usr/bin/env python3
"""The desktop's full screen, resizable window, W A S D and remembered
settings, on a 1920 x 1080 virtual X server without a window manager, keys
through XTEST (xdotool), checked on the screen.

  e2e_desktop.py fullscreen TARVO TARVO_REPLAY  --fullscreen: the picture at 2x
                          in the middle, black around; F11 to the window and back
  e2e_desktop.py remember   TARVO TARVO_REPLAY  F11, Escape: the next start is
                          full screen; a settings file of noise: the defaults
  e2e_desktop.py resize     TARVO TARVO_REPLAY  a window sized 1600 x 1100 shows
                          the picture at 2x in its middle; holding W thrusts

Run under xvfb-run -s "-screen 0 1920x1080x24". Prints one line per check;
exit 0 when all pass. Every check waits for what it needs to see with a
deadline meant for a loaded machine, and judges what it saw, never how soon.
"""

import os
import random
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_play as e  # noqa: E402

SCREEN = (1920, 1080)
GAME = (755, 511)


def geometry(wid):
    g = {}
    for line in e.run('xdotool', 'getwindowgeometry', '--shell', wid).stdout.split():
        key, _, value = line.partition('=')
        g[key] = int(value) if value.lstrip('-').isdigit() else value
    return g


def wait_size(wid, width, height):
    """The window's geometry once it is width x height, or None."""
    return e.wait_until(lambda: (lambda g: g if (g.get('WIDTH'), g.get('HEIGHT')) == (width, height) else None)(
        geometry(wid)))


class Picture:
    """The game's intro picture as the replay tool draws it, looked for on
    the screen at a given place and whole scale."""

    def __init__(self, replay):
        self.reference = e.replay_intro(replay)
        # The intro panel: the part of the picture that never moves.
        self.panel = self.reference.region(128, 106, 500, 300)

    def shown(self, x, y, scale):
        """Whether the panel is on the screen at (x, y) + scale * (128, 106),
        each of its pixels a sharp scale x scale block."""
        left, top = x + 128 * scale, y + 106 * scale
        shot = e.grab(left, top, 500 * scale, 300 * scale)
        if shot.width != 500 * scale or shot.height != 300 * scale:
            return False
        picked = bytes(b for row in range(300) for col in range(500)
                       for b in shot.pixel(col * scale, row * scale))
        if not e.close_enough(picked, self.panel):
            return False
        return all(shot.pixel(bx * scale + dx, by * scale + dy) == shot.pixel(bx * scale, by * scale)
                   for by in range(0, 300, 13) for bx in range(0, 500, 11)
                   for dy in range(scale) for dx in range(scale))


def black_around(x, y, scale, area=(0, 0) + SCREEN):
    """Whether every pixel of `area` (x, y, width, height) on the screen
    beside the picture at (x, y) and `scale` is black."""
    w, h = GAME[0] * scale, GAME[1] * scale
    ax, ay, aw, ah = area
    strips = [(ax, ay, aw, y - ay), (ax, y + h, aw, ay + ah - y - h), (ax, y, x - ax, h),
              (x + w, y, ax + aw - x - w, h)]
    for sx, sy, sw, sh in strips:
        if sw > 0 and sh > 0 and any(e.grab(sx, sy, sw, sh).data):
            return False
    return True


def full_screen_shown(game, wid, picture, what):
    """Checks the screen covered: the window 1920 x 1080 at the origin, the
    picture at 2x at (205, 29), black around it."""
    g = wait_size(wid, *SCREEN)
    if not e.check(g is not None and (g['X'], g['Y']) == (0, 0), '%s: the window covers the screen (%s)' % (
            what, g and (g['X'], g['Y'], g['WIDTH'], g['HEIGHT']))):
        return False
    shown = e.wait_until(lambda: picture.shown(205, 29, 2))
    e.check(shown, '%s: the intro picture at 2x at (205, 29)' % what)
    e.check(shown and black_around(205, 29, 2), '%s: black around the picture' % what)
    return bool(shown)


def settings_file(config):
    path = os.path.join(config, 'tarvo', 'settings.ini')
    return open(path, errors='replace').read() if os.path.exists(path) else ''


def press_toggle(g):
    # Keys go to the window under the pointer on a server without a window manager.
    e.key('mousemove', str(g['X'] + g['WIDTH'] // 2), str(g['Y'] + g['HEIGHT'] // 2))
    e.key('key', 'F11')


def fullscreen(tarvo, replay):
    picture = Picture(replay)
    config = tempfile.mkdtemp(prefix='tarvo-e2e-config-')
    game, _ = e.start(tarvo, '--fullscreen', env={'XDG_CONFIG_HOME': config})
    wid, g = e.find_window()
    if not e.check(wid is not None, 'the window opens'):
        game.kill()
        return
    if not full_screen_shown(game, wid, picture, '--fullscreen'):
        game.kill()
        return
    e.check(settings_file(config) == '', 'an option given at start is not written to the settings')

    press_toggle(geometry(wid))
    g = wait_size(wid, *GAME)
    if e.check(g is not None, 'F11: the %d x %d window' % GAME):
        e.check(e.wait_until(lambda: picture.shown(g['X'], g['Y'], 1)), 'F11: the window shows the picture at 1x')
        e.check('fullscreen = no' in settings_file(config), 'F11: the window is remembered')
        press_toggle(g)
        full_screen_shown(game, wid, picture, 'F11 again')
        e.check('fullscreen = yes' in settings_file(config), 'F11 again: full screen is remembered')
    e.key('key', 'Escape')
    e.finish(game, 'Escape')


def remember(tarvo, replay):
    picture = Picture(replay)
    config = tempfile.mkdtemp(prefix='tarvo-e2e-config-')
    game, _ = e.start(tarvo, env={'XDG_CONFIG_HOME': config})
    g = e.open_window(game, *GAME)
    if g is None:
        return
    wid = str(g['WINDOW'])
    press_toggle(g)
    e.check(wait_size(wid, *SCREEN) is not None, 'F11: full screen')
    e.key('key', 'Escape')
    e.finish(game, 'Escape')
    text = settings_file(config)
    e.check('fullscreen = yes' in text, 'the settings file says full screen:\n%s' % text)

    game, _ = e.start(tarvo, env={'XDG_CONFIG_HOME': config})
    wid, g = e.find_window()
    if e.check(wid is not None, 'started again: the window opens'):
        full_screen_shown(game, wid, picture, 'started again')
    e.key('key', 'Escape')
    e.finish(game, 'Escape')

    # Noise where the settings were: the defaults, the game starts.
    noise = random.Random(17)
    with open(os.path.join(config, 'tarvo', 'settings.ini'), 'wb') as f:
        f.write(bytes(noise.randrange(256) for _ in range(4096)))
    game, work = e.start(tarvo, env={'XDG_CONFIG_HOME': config})
    g = e.open_window(game, *GAME)
    if g is None:
        return
    e.check(e.wait_until(lambda: picture.shown(g['X'], g['Y'], 1)), 'a settings file of noise: the window as by default')
    e.key('mousemove', str(g['X'] + 10), str(g['Y'] + 10))
    e.key('key', 'Escape')
    e.finish(game, 'a settings file of noise: Escape')
    log = open(os.path.join(work, 'debug.txt'), errors='replace').read()
    named = [line for line in log.splitlines() if 'Settings: ' + os.path.join(config, 'tarvo', 'settings.ini') +
             ' line ' in line]
    e.check(named, 'debug.txt names the file and a line it could not read')


def resize(tarvo, replay):
    picture = Picture(replay)
    session = e.Session(tarvo)
    if session.g is None:
        return
    wid = str(session.g['WINDOW'])
    # Where the whole of it fits on the screen (1100 is taller than 1080, the
    # picture's 1022 are not).
    e.key('windowmove', wid, '0', '0')
    e.key('windowsize', wid, '1600', '1100')
    g = wait_size(wid, 1600, 1100)
    if not e.check(g is not None and (g['X'], g['Y']) == (0, 0), 'the window sized 1600 x 1100 at the origin'):
        session.game.kill()
        return
    # 2x is 1510 x 1022: (1600 - 1510) / 2 = 45, (1100 - 1022) / 2 = 39.
    e.check(e.wait_until(lambda: picture.shown(45, 39, 2)), 'the picture at 2x in the middle of the window')
    e.check(black_around(45, 39, 2, (0, 0, 1600, 1080)), 'black around it, in the window')
    config = session.work
    e.check(e.wait_until(lambda: 'scale = 2' in settings_file(config)), 'the window\'s scale is remembered')

    e.key('mousemove', '800', '500')
    session.press('space', 'SPACE', lambda: not picture.shown(45, 39, 2))
    # W thrusts as Up does: the game reads UP, and the arena scrolls.
    arena = (45 + 40, 39 + 660, 600, 300)
    first = e.grab(*arena).data
    down, up, moved = session.press('w', 'UP', lambda: e.grab(*arena).data != first)
    e.check(down is not None and moved, 'holding W: the game reads Up and the arena scrolls')

    # Full screen and back: the window as it was, where it was.
    e.key('key', 'F11')
    e.check(wait_size(wid, *SCREEN) is not None, 'F11: full screen')
    e.key('key', 'F11')
    g = wait_size(wid, 1600, 1100)
    e.check(g is not None and (g['X'], g['Y']) == (0, 0), 'F11 again: the window 1600 x 1100 at the origin (%s)' % (
        g and (g['X'], g['Y']),))
    e.check(e.wait_until(lambda: e.colours(e.grab(245, 239, 400, 300)) > 50 and black_around(45, 39, 2, (
        0, 0, 1600, 1080))), 'F11 again: the picture at 2x in the middle of the window')
    e.key('key', 'Escape')
    e.finish(session.game, 'Escape')


def main():
    mode, tarvo, replay = sys.argv[1:4]
    {'fullscreen': fullscreen, 'remember': remember, 'resize': resize}[mode](tarvo, replay)
    print('e2e: all checks passed' if not e.failures else 'e2e: %d checks failed' % len(e.failures))
    return 1 if e.failures else 0


if __name__ == '__main__':
    sys.exit(main())

#!/usr/bin/env python3
"""The web build in a real browser: Debian's Chromium, headless, loads the page
from a server on 127.0.0.1; keys go in through the DevTools protocol as real
input events, and the checks look at screenshots of the canvas and at what
the page says.

  browser_test.py play    WEB_DIR TARVO_REPLAY   intro, scales, a page smaller than the canvas, Space,
                                                 Up, sound, P, blur, Escape, console
  browser_test.py refuse  WEB_DIR                no WebAssembly, pictures not downloaded, a
                                                 start-up failure's message box and its keys,
                                                 addresses refused, a refused key script
  browser_test.py replay  WEB_DIR TARVO_REPLAY SCRIPT FRAMES
                                                 the key script in the page's address against tarvo-replay,
                                                 frame by frame and field by field

WEB_DIR is the page this build made. Prints one line per check. Exit 0 when
all pass, 1 when one fails or the page is missing, 77 (a skip for CTest)
when Chromium is not installed.

Every wait is for what the check needs (a state, a picture) with a deadline
long enough for a loaded machine; nothing is asserted about speed. The frame
rate is printed, not checked.
"""

import base64
import functools
import http.server
import json
import os
import shutil
import socketserver
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse
import urllib.request
import zlib

SKIP = 77
# How long a check waits for what it needs before it fails: room for a
# machine whose cores are all busy.
PATIENCE = 60
failures = []


def check(ok, what):
    print(('ok   ' if ok else 'FAIL ') + what, flush=True)
    if not ok:
        failures.append(what)
    return ok


def skip(why):
    print('SKIPPED: ' + why, flush=True)
    sys.exit(SKIP)


try:
    import websocket  # python3-websocket
except ImportError:
    websocket = None


# --- Pictures ------------------------------------------------------------------

class Picture:
    """Rows of RGB bytes."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])

    def region(self, x0, y0, w, h):
        return b''.join(self.rgb[((y * self.width) + x0) * 3:((y * self.width) + x0 + w) * 3]
                        for y in range(y0, y0 + h))


def decode_png(data):
    """8-bit RGB or RGBA, not interlaced: what Chromium's screenshots are."""
    assert data[:8] == b'\x89PNG\r\n\x1a\n', 'not a PNG'
    pos, chunks, header = 8, [], None
    while pos < len(data):
        length = int.from_bytes(data[pos:pos + 4], 'big')
        kind, body = data[pos + 4:pos + 8], data[pos + 8:pos + 8 + length]
        if kind == b'IHDR':
            header = body
        elif kind == b'IDAT':
            chunks.append(body)
        pos += 12 + length
    width, height = int.from_bytes(header[0:4], 'big'), int.from_bytes(header[4:8], 'big')
    depth, colour, interlace = header[8], header[9], header[12]
    assert depth == 8 and colour in (2, 6) and interlace == 0, 'PNG form %d/%d/%d' % (depth, colour, interlace)
    bpp = 3 if colour == 2 else 4
    raw = zlib.decompress(b''.join(chunks))
    stride = width * bpp
    out, prev = bytearray(), bytearray(stride)
    for y in range(height):
        f = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            if f == 1:
                line[i] = (line[i] + a) & 255
            elif f == 2:
                line[i] = (line[i] + b) & 255
            elif f == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        out += line if bpp == 3 else bytes(v for j in range(0, stride, 4) for v in line[j:j + 3])
        prev = line
    return Picture(width, height, bytes(out))


def read_ppm(raw):
    fields, pos = [], 0
    while len(fields) < 4:
        while raw[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not raw[pos:pos + 1].isspace():
            pos += 1
        fields.append(raw[start:pos])
    assert fields[0] == b'P6' and fields[3] == b'255', fields
    return Picture(int(fields[1]), int(fields[2]), raw[pos + 1:])


def replay_frame(replay, script_text, frame):
    """The picture tarvo-replay draws for a frame, as RGB."""
    work = tempfile.mkdtemp(prefix='tarvo-web-ref-')
    try:
        script = os.path.join(work, 'keys')
        with open(script, 'w') as f:
            f.write(script_text)
        subprocess.run([replay, script, str(frame + 1), '--shots', str(frame), '--out', work],
                       capture_output=True, check=True)
        out = subprocess.run(['convert', os.path.join(work, 'frame_%05d.tif' % frame), '-depth', '8', 'ppm:-'],
                             capture_output=True, check=True)
        return read_ppm(out.stdout)
    finally:
        shutil.rmtree(work, ignore_errors=True)


def differing(a, b):
    """How many pixels of two same-sized pictures differ."""
    n = 0
    for i in range(0, min(len(a.rgb), len(b.rgb)), 3):
        if a.rgb[i:i + 3] != b.rgb[i:i + 3]:
            n += 1
    return n


# --- The server and the browser ---------------------------------------------------

class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


class Server:
    def __init__(self, folder):
        handler = functools.partial(QuietHandler, directory=folder)
        handler.extensions_map = dict(QuietHandler.extensions_map, **{'.wasm': 'application/wasm'})
        self.httpd = socketserver.ThreadingTCPServer(('127.0.0.1', 0), handler)
        self.httpd.daemon_threads = True
        self.port = self.httpd.server_address[1]
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def url(self, query=''):
        return 'http://127.0.0.1:%d/index.html%s' % (self.port, query)

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


def find_chromium():
    for name in ('chromium', 'chromium-browser', 'google-chrome'):
        path = shutil.which(name)
        if path:
            return path
    return None


class Browser:
    """One headless Chromium with one page, spoken to over the DevTools protocol."""

    def __init__(self):
        self.profile = tempfile.mkdtemp(prefix='tarvo-web-chromium-')
        args = [find_chromium(), '--headless=new', '--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-dev-shm-usage',
                '--no-default-browser-check', '--disable-extensions', '--disable-background-networking',
                '--disable-component-update', '--disable-sync', '--no-pings', '--no-proxy-server',
                '--disable-background-timer-throttling', '--disable-renderer-backgrounding',
                '--disable-backgrounding-occluded-windows', '--force-device-scale-factor=1',
                # Nothing but the local server is reachable.
                '--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1',
                # Sound only after a key, as a browser in front of its user.
                '--autoplay-policy=user-gesture-required',
                '--window-size=1280,1024', '--remote-debugging-address=127.0.0.1', '--remote-debugging-port=0',
                '--user-data-dir=' + self.profile, 'about:blank']
        self.process = subprocess.Popen(args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        port_file = os.path.join(self.profile, 'DevToolsActivePort')
        deadline = time.time() + 30
        while not os.path.exists(port_file) or os.path.getsize(port_file) == 0:
            if time.time() > deadline or self.process.poll() is not None:
                raise RuntimeError('Chromium did not open its DevTools port')
            time.sleep(0.1)
        port = int(open(port_file).read().split()[0])
        pages = []
        while not pages and time.time() < deadline:
            with urllib.request.urlopen('http://127.0.0.1:%d/json/list' % port) as reply:
                pages = [t for t in json.load(reply) if t.get('type') == 'page']
            time.sleep(0.1)
        self.ws = websocket.create_connection(pages[0]['webSocketDebuggerUrl'], suppress_origin=True, timeout=60)
        self.next_id = 0
        self.events = []
        for domain in ('Page', 'Runtime', 'Log', 'Network'):
            self.call(domain + '.enable')
        # The page has the focus, as a page in front of its user has.
        self.call('Emulation.setFocusEmulationEnabled', enabled=True)

    def call(self, method, **params):
        self.next_id += 1
        self.ws.send(json.dumps({'id': self.next_id, 'method': method, 'params': params}))
        while True:
            message = json.loads(self.ws.recv())
            if message.get('id') == self.next_id:
                if 'error' in message:
                    raise RuntimeError('%s: %s' % (method, message['error']))
                return message.get('result', {})
            if 'method' in message:
                self.events.append(message)

    def evaluate(self, expression):
        result = self.call('Runtime.evaluate', expression=expression, returnByValue=True)
        if 'exceptionDetails' in result:
            raise RuntimeError('%s: %s' % (expression, result['exceptionDetails']))
        return result['result'].get('value')

    def wait_for(self, expression, timeout):
        deadline = time.time() + timeout
        while time.time() < deadline:
            try:
                value = self.evaluate(expression)
            except RuntimeError:
                value = None  # the page is still being replaced
            if value:
                return value
            time.sleep(0.05)
        return None

    def open(self, url):
        # Through a blank page: an address differing only after '#' would not
        # load the page again, and nothing of the last page may be read.
        self.call('Page.navigate', url='about:blank')
        self.wait_for('location.href === "about:blank"', PATIENCE)
        self.events = []
        self.call('Page.navigate', url=url)

    def key(self, kind, vk, key, code, text=None):
        params = {'type': kind, 'windowsVirtualKeyCode': vk, 'nativeVirtualKeyCode': vk, 'key': key, 'code': code}
        if text is not None and kind == 'keyDown':
            params['text'] = text
        self.call('Input.dispatchKeyEvent', **params)

    def tap(self, vk, key, code, text=None, hold=0.1):
        self.key('keyDown', vk, key, code, text)
        time.sleep(hold)
        self.key('keyUp', vk, key, code)

    def canvas_shot_until(self, wanted, timeout=PATIENCE):
        """Screenshots of the canvas until one is `wanted`; the last one taken."""
        deadline = time.time() + timeout
        while True:
            shot = self.canvas_shot()
            if wanted(shot) or time.time() > deadline:
                return shot
            time.sleep(0.1)

    def canvas_shot(self):
        box = self.evaluate('(() => { const r = document.getElementById("canvas").getBoundingClientRect();'
                            ' return [r.left, r.top, r.width, r.height]; })()')
        shot = self.call('Page.captureScreenshot', format='png',
                         clip={'x': box[0], 'y': box[1], 'width': box[2], 'height': box[3], 'scale': 1})
        return decode_png(base64.b64decode(shot['data']))

    def console_errors(self):
        errors = []
        for e in self.events:
            m, p = e['method'], e.get('params', {})
            if m == 'Runtime.consoleAPICalled' and p.get('type') in ('error', 'assert'):
                errors.append(' '.join(str(a.get('value', a.get('description', ''))) for a in p.get('args', [])))
            elif m == 'Runtime.exceptionThrown':
                errors.append(p['exceptionDetails'].get('exception', {}).get('description', 'exception'))
            elif m == 'Log.entryAdded' and p['entry'].get('level') == 'error':
                errors.append(p['entry'].get('text', ''))
        return errors

    def close(self):
        try:
            self.ws.close()
        finally:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
            shutil.rmtree(self.profile, ignore_errors=True)


# --- Scenarios -------------------------------------------------------------------

KEYS = {
    'space': (32, ' ', 'Space', ' '),
    'up': (38, 'ArrowUp', 'ArrowUp', None),
    'p': (80, 'p', 'KeyP', 'p'),
    'escape': (27, 'Escape', 'Escape', None),
}


def state(browser):
    text = browser.evaluate('window.tarvoState || null')
    return json.loads(text) if text else None


def wait_for_state(browser, wanted, timeout=PATIENCE):
    """The first frame state that is `wanted`, or None at the deadline."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        current = state(browser)
        if current is not None and wanted(current):
            return current
        time.sleep(0.05)
    return None


def speed(player):
    return (player['vx'] ** 2 + player['vy'] ** 2) ** 0.5


def set_paused(browser, paused):
    # P is read as held, and each frame it is held switches. Frames are
    # counted from after a tap has returned, when its key-up has reached the
    # page, and the state must hold over a few more: a key-up still on its way
    # switches once more.
    deadline = time.time() + PATIENCE
    while time.time() < deadline:
        after_tap = state(browser)['frame']
        settled = wait_for_state(browser, lambda s: s['frame'] >= after_tap + 3)
        if settled is not None and settled['paused'] == paused:
            again = wait_for_state(browser, lambda s: s['frame'] >= settled['frame'] + 3)
            if again is not None and again['paused'] == paused:
                return True
        browser.tap(*KEYS['p'], hold=0.02)
    return False


def play(browser, server, replay):
    browser.open(server.url())
    check(browser.wait_for('window.tarvoPage && window.tarvoPage.state === "running" && window.tarvoState', PATIENCE)
          is not None, 'the page loads the pictures and the game, and runs')
    size = browser.evaluate('(() => { const c = document.getElementById("canvas");'
                            ' return [c.width, c.height, getComputedStyle(c).imageRendering]; })()')
    check(size == [755, 511, 'pixelated'], 'canvas of the game\'s 755 x 511, pixelated (got %s)' % size)

    # The intro over the arena, exactly as tarvo-replay draws frame 0.
    reference = replay_frame(replay, '', 0)
    panel = reference.region(128, 106, 500, 300)
    intro = browser.canvas_shot_until(lambda shot: shot.width == 755 and shot.region(128, 106, 500, 300) == panel)
    check((intro.width, intro.height) == (755, 511) and intro.region(128, 106, 500, 300) == panel,
          'the intro picture shows, as tarvo-replay draws it (canvas %d x %d)' % (intro.width, intro.height))

    # A bigger page: twice the size, each pixel a 2 x 2 block; and back.
    browser.call('Emulation.setDeviceMetricsOverride', width=1700, height=1200, deviceScaleFactor=1, mobile=False)
    shown = browser.wait_for('(() => { const r = document.getElementById("canvas").getBoundingClientRect();'
                             ' return r.width === 1510 && r.height === 1022 && [r.width, r.height]; })()', PATIENCE)
    check(shown == [1510, 1022], 'on a page of 1700 x 1200 the canvas shows at twice its size (%s)' % shown)

    def sharp_blocks(big):
        return big.width == 1510 and all(
            big.pixel(2 * x + dx, 2 * y + dy) == reference.pixel(x, y)
            for y in range(106, 406, 3) for x in range(128, 628, 3) for dx in (0, 1) for dy in (0, 1))
    check(sharp_blocks(browser.canvas_shot_until(sharp_blocks)),
          'every pixel of the intro a sharp 2 x 2 block of its own colour')

    # A page smaller than the canvas: the canvas keeps its size and every
    # part of it can be scrolled to, its left and top edges too.
    browser.call('Emulation.setDeviceMetricsOverride', width=600, height=400, deviceScaleFactor=1, mobile=False)
    shown = browser.wait_for('(() => { const r = document.getElementById("canvas").getBoundingClientRect();'
                             ' return r.width === 755 && document.getElementById("stage").clientWidth < 755; })()',
                             PATIENCE)
    reach = browser.evaluate(
        '(() => { const s = document.getElementById("stage"), c = document.getElementById("canvas");'
        ' const view = () => { const r = s.getBoundingClientRect();'
        '   return [r.left + s.clientLeft, r.top + s.clientTop, s.clientWidth, s.clientHeight]; };'
        ' s.scrollTo(0, 0); const a = c.getBoundingClientRect(), [x, y, w, h] = view();'
        ' s.scrollTo(1e6, 1e6); const b = c.getBoundingClientRect();'
        ' s.scrollTo(0, 0);'
        ' return [a.left - x, a.top - y, x + w - b.right, y + h - b.bottom]; })()')
    check(shown is not None and reach is not None and min(reach) >= -0.5,
          'on a page of 600 x 400 every edge of the canvas can be scrolled into view '
          '(left, top, right, bottom overhang %s)' % reach)
    browser.call('Emulation.clearDeviceMetricsOverride')
    shown = browser.wait_for('(() => { const r = document.getElementById("canvas").getBoundingClientRect();'
                             ' return r.width === 755 && r.height === 511 && [r.width, r.height]; })()', PATIENCE)
    check(shown == [755, 511], 'and at its own size again on a page of 1280 x 1024 (%s)' % shown)

    # The frame rate depends on the machine: shown, not checked (the
    # benchmarks measure speed).
    first, began = state(browser)['frame'], time.time()
    time.sleep(2)
    frames, seconds = state(browser)['frame'] - first, time.time() - began
    print('     %d frames in %.2f s: %.1f a second' % (frames, seconds, frames / seconds), flush=True)

    # Keys are read as held: Space is held until the game has seen it.
    browser.key('keyDown', *KEYS['space'])
    check(wait_for_state(browser, lambda s: not s['showIntro']) is not None, 'Space starts the game')
    browser.key('keyUp', *KEYS['space'][:3])
    started = browser.canvas_shot_until(lambda shot: shot.region(128, 106, 500, 300) != panel)
    check(started.region(128, 106, 500, 300) != panel, 'the intro picture is gone')

    # Up flies the ship forward: the arena scrolls under it.
    before = state(browser)
    browser.key('keyDown', *KEYS['up'])
    after = wait_for_state(browser, lambda s: s['viewY'] > before['viewY'] + 100)
    flying = browser.canvas_shot_until(lambda shot: differing(started, shot) > shot.width * shot.height // 3)
    browser.key('keyUp', *KEYS['up'][:3])
    moved = differing(started, flying)
    check(moved > started.width * started.height // 3,
          'Up scrolls the arena (%d of %d pixels changed)' % (moved, started.width * started.height))
    check(after is not None, 'the view moved down the arena: viewY %s -> %s' %
          (before['viewY'], (after or state(browser))['viewY']))
    # Thrust hums: the effects reach Web Audio.
    sound = browser.wait_for('Module.audio && Module.audio.played > 0 && Module.audio.ctx.state === "running"',
                             PATIENCE)
    played, running = browser.evaluate('Module.audio ? [Module.audio.played, Module.audio.ctx.state] : [-1, null]')
    check(sound is not None, 'sound effects are played through Web Audio (%s started, %s)' % (played, running))

    # P is read as held, so a press pauses or resumes depending on how many
    # frames it lasted: press until the state changes.
    check(set_paused(browser, True), 'P pauses the game')
    # Paused frames go on and show the same picture. The first shot is taken
    # some frames in: a screenshot may still show a frame from before the pause.
    paused_at = state(browser)['frame']
    wait_for_state(browser, lambda s: s['frame'] >= paused_at + 10)
    still_a = browser.canvas_shot()
    wait_for_state(browser, lambda s: s['frame'] >= paused_at + 30)
    still_b = browser.canvas_shot()
    now = state(browser)
    check(differing(still_a, still_b) == 0 and now['paused'] and now['frame'] >= paused_at + 30,
          'paused, the picture stands still (frames %d to %d)' % (paused_at, now['frame']))
    check(set_paused(browser, False), 'P again resumes')

    # A key held while the page loses the focus is let go.
    browser.key('keyDown', *KEYS['up'])
    held = wait_for_state(browser, lambda s: speed(s['player']) > 3.9)
    browser.evaluate('window.dispatchEvent(new FocusEvent("blur")), 1')
    browser.evaluate('window.dispatchEvent(new FocusEvent("focus")), 1')
    let_go = wait_for_state(browser, lambda s: speed(s['player']) < 0.5)
    check(held is not None and let_go is not None,
          'Up held across a blur is let go (speed %.2f while held, %.3f after the blur)' %
          (speed((held or state(browser))['player']), speed((let_go or state(browser))['player'])))
    browser.key('keyUp', *KEYS['up'][:3])

    browser.tap(*KEYS['escape'])
    check(browser.wait_for('window.tarvoPage.state === "ended"', PATIENCE) is not None and
          browser.evaluate('window.tarvoExit') == 0, 'Escape ends the program with status 0')
    message = browser.evaluate('document.getElementById("status").textContent')
    check('ended' in message, 'the page says the game has ended ("%s")' % message)
    log = browser.evaluate('Module.debugLog') or ''
    check('Debugging Output' in log, 'the debug log is kept in memory (%d characters)' % len(log))
    errors = browser.console_errors()
    check(not errors, 'the console shows no error %s' % errors[:3])


def refuse(browser, server, web_dir):
    added = browser.call('Page.addScriptToEvaluateOnNewDocument', source='delete window.WebAssembly;')
    browser.open(server.url())
    said = browser.wait_for('window.tarvoPage && window.tarvoPage.state === "failed" && window.tarvoPage.message', 20)
    check(said is not None and 'WebAssembly' in said, 'without WebAssembly the page says so ("%s")' % said)
    browser.call('Page.removeScriptToEvaluateOnNewDocument', identifier=added['identifier'])

    browser.call('Network.setBlockedURLs', urls=['*tarvo.data'])
    browser.open(server.url())
    said = browser.wait_for('window.tarvoPage && window.tarvoPage.state === "failed" && window.tarvoPage.message', 20)
    check(said is not None and 'pictures could not be downloaded' in said,
          'pictures that do not download are said on the page ("%s")' % said)
    browser.call('Network.setBlockedURLs', urls=[])

    # A screen smaller than the game's window: the engine's start-up report
    # comes as a modal dialog, and the program waits for its OK.
    browser.call('Emulation.setDeviceMetricsOverride', width=1280, height=1024, deviceScaleFactor=1, mobile=False,
                 screenWidth=640, screenHeight=480)
    box_open = 'document.getElementById("box").open && document.getElementById("box").textContent'
    browser.open(server.url())
    shown = browser.wait_for(box_open, PATIENCE)
    check(shown is not None and 'REQSIZE_FAILED' in shown, 'a start-up failure shows its message box ("%s")' %
          (shown or '').strip().replace('\n', ' '))
    time.sleep(0.5)
    check(browser.evaluate('window.tarvoExit === undefined'), 'the program waits while the box is open')
    browser.evaluate('document.getElementById("box-ok").click(), 1')
    said = browser.wait_for('window.tarvoPage.state === "failed" && window.tarvoPage.message', PATIENCE)
    check(said is not None and 'exit status -1' in said and browser.evaluate('window.tarvoExit') == -1,
          'after OK the program ends with status -1 and the page says so ("%s")' % said)
    browser.call('Emulation.clearDeviceMetricsOverride')

    # A message box while the game's window is up (a picture missing from the
    # package; the game goes on without it): its keys are the dialog's, and
    # the game hears none of them, then or after.
    folder = tempfile.mkdtemp(prefix='tarvo-web-missing-')
    try:
        for name in ('index.html', 'tarvo.wasm', 'tarvo.data'):
            os.symlink(os.path.join(web_dir, name), os.path.join(folder, name))
        with open(os.path.join(web_dir, 'tarvo.js')) as f:
            js = f.read()
        with open(os.path.join(folder, 'tarvo.js'), 'w') as f:
            f.write(js.replace('"/Images/end_text.tif"', '"/Images/not_packed.tif"'))
        missing = Server(folder)
        for name, vk, key, code, text in (('Escape', 27, 'Escape', 'Escape', None),
                                          ('Enter', 13, 'Enter', 'Enter', '\r'), ('Space', 32, ' ', 'Space', ' ')):
            browser.open(missing.url())
            shown = browser.wait_for(box_open, PATIENCE)
            browser.tap(vk, key, code, text, hold=0.02)
            closed = browser.wait_for('!document.getElementById("box").open', 10)
            if not closed:
                browser.evaluate('document.getElementById("box-ok").click(), 1')
            browser.wait_for('window.tarvoExit !== undefined ||'
                             ' (window.tarvoState && JSON.parse(window.tarvoState).frame >= 30)', PATIENCE)
            after = browser.evaluate('[window.tarvoExit === undefined ? "running" : window.tarvoExit,'
                                     ' window.tarvoState && JSON.parse(window.tarvoState).showIntro]')
            check(shown is not None and 'end_text.tif' in shown and closed is not None and after == ['running', True],
                  '%s closes a message box during play, and the game never hears it (%s; box %s)' %
                  (name, after, 'closed' if closed else 'still open'))
        missing.close()
    finally:
        shutil.rmtree(folder, ignore_errors=True)

    # What a link can ask: a key script only for a given number of frames.
    # Anything else is refused on the page, before a frame is run.
    script = urllib.parse.quote('0 down SPACE\n3 up SPACE\n')
    for address, said in (
            ('#script=' + script, 'a key script needs frames=N, the number of frames to play (1 to 1000000)'),
            ('#script=' + script + '&frames=1000001',
             'frames must be a whole number from 1 to 1000000 (got "1000001")'),
            ('?script=' + script + '&frames=0', 'frames must be a whole number from 1 to 1000000 (got "0")'),
            ('#frames=0', 'frames is taken only with a key script (script=...)'),
            ('?frames=100', 'frames is taken only with a key script (script=...)')):
        browser.open(server.url(address))
        ended = browser.wait_for('window.tarvoExit !== undefined && [window.tarvoExit, window.tarvoPage.state,'
                                 ' window.tarvoPage.message, (window.tarvoStates || []).length]', PATIENCE)
        expected = [2, 'failed', 'The page\u2019s address was refused: ' + said, 0]
        check(ended == expected, 'the address %s is refused: %s' % (address.replace(script, 'KEYS'), ended))

    # A key script that does not read keeps its own explanation.
    browser.open(server.url('#' + urllib.parse.urlencode({'script': '0 down SPACE\n7 hold UP\n', 'frames': 10})))
    ended = browser.wait_for('window.tarvoExit !== undefined && [window.tarvoExit, window.tarvoPage.message]', PATIENCE)
    check(ended is not None and ended[0] == 2 and ended[1].startswith('The key script was refused: line 2: '),
          'a refused key script says why, after the program has ended (%s)' % ended)

    # And a script with its frames plays them.
    browser.open(server.url('#' + urllib.parse.urlencode({'script': '0 down SPACE\n', 'frames': 5})))
    ended = browser.wait_for('window.tarvoExit !== undefined && [window.tarvoExit, window.tarvoPage.state,'
                             ' (window.tarvoStates || []).length]', PATIENCE)
    check(ended == [0, 'ended', 5], 'a key script with frames=5 plays 5 frames and ends (%s)' % ended)


def first_difference(web_line, native_line):
    """The first field, in order, where two state lines differ."""
    def walk(a, b, path):
        if isinstance(a, dict) and isinstance(b, dict):
            for k in list(a) + [k for k in b if k not in a]:
                found = walk(a.get(k), b.get(k), path + '.' + k)
                if found:
                    return found
        elif isinstance(a, list) and isinstance(b, list):
            for i in range(max(len(a), len(b))):
                found = walk(a[i] if i < len(a) else None, b[i] if i < len(b) else None, '%s[%d]' % (path, i))
                if found:
                    return found
        elif a != b:
            return path, a, b
        return None
    as_text = functools.partial(json.loads, parse_float=str, parse_int=str)
    return walk(as_text(web_line), as_text(native_line), '')


def replay_compare(browser, server, replay, script_path, frames):
    script = open(script_path).read()
    native = subprocess.run([replay, script_path, str(frames)], capture_output=True, text=True,
                            check=True).stdout.splitlines()
    # After '#': a long script never reaches the server's request line.
    query = '#' + urllib.parse.urlencode({'script': script, 'frames': frames})
    began = time.time()
    browser.open(server.url(query))
    ended = browser.wait_for('window.tarvoExit !== undefined', 600)
    seconds = time.time() - began
    if not check(ended is not None and browser.evaluate('window.tarvoPage.state') == 'ended',
                 'the page runs the key script to its end (%.1f s, %s)' %
                 (seconds, browser.evaluate('window.tarvoPage && window.tarvoPage.message'))):
        return
    count = browser.evaluate('(window.tarvoStates || []).length')
    web = []
    for start in range(0, count, 500):
        web += browser.evaluate('window.tarvoStates.slice(%d, %d)' % (start, start + 500))
    print('     web %d frames in %.1f s (%.2f ms a frame, pictures shown); frame work %.2f ms' %
          (count, seconds, 1000 * seconds / max(count, 1), browser.evaluate('Module.frameWorkMs || 0')))
    check(count == frames, '%d state lines from the page (got %d)' % (frames, count))
    for f, (a, b) in enumerate(zip(web, native)):
        if a != b:
            path, x, y = first_difference(a, b)
            check(False, 'web and native agree on every frame: they part at frame %d, %s: web %s, native %s' %
                  (f, path, x, y))
            return
    check(len(web) == len(native), 'web and native agree on all %d frames of %s' %
          (len(native), os.path.basename(script_path)))


def main(argv):
    if len(argv) < 3 or argv[1] not in ('play', 'refuse', 'replay'):
        sys.stderr.write(__doc__)
        return 2
    mode, web_dir = argv[1], os.path.abspath(argv[2])
    if not find_chromium():
        skip('Chromium is not installed (apt-get install chromium)')
    if websocket is None:
        print('FAIL python3-websocket is not installed (apt-get install python3-websocket)', flush=True)
        return 1
    missing = [f for f in ('index.html', 'tarvo.js', 'tarvo.wasm', 'tarvo.data')
               if not os.path.exists(os.path.join(web_dir, f))]
    if missing:
        print('FAIL no web page of this build in %s (missing %s): make test builds it there, or make web-page '
              'PICTURES=<build>/Images SOUNDS=<build>/Sounds WEB_DIR=%s' % (web_dir, ', '.join(missing), web_dir),
              flush=True)
        return 1
    server = Server(web_dir)
    browser = Browser()
    try:
        if mode == 'play':
            play(browser, server, os.path.abspath(argv[3]))
        elif mode == 'refuse':
            refuse(browser, server, web_dir)
        else:
            replay_compare(browser, server, os.path.abspath(argv[3]), os.path.abspath(argv[4]), int(argv[5]))
    finally:
        browser.close()
        server.close()
    print('all checks passed' if not failures else '%d checks failed' % len(failures), flush=True)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))

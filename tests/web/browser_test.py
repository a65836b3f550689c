#!/usr/bin/env python3
"""The web build in a real browser: Debian's Chromium, headless, loads the page
from a server on 127.0.0.1; keys go in through the DevTools protocol as real
input events, and the checks look at screenshots of the canvas and at what
the page says.

  browser_test.py play    WEB_DIR TARVO_REPLAY   intro, scales, a page smaller than the canvas, Space,
                                                 Up, sound, P, blur, Escape, console
  browser_test.py refuse  WEB_DIR TARVO_REPLAY   no WebAssembly, pictures not downloaded, a small
                                                 screen, no WebGL, no worker, a message box and its
                                                 keys, addresses refused, a refused key script
  browser_test.py phone   WEB_DIR TARVO_REPLAY   phones upright and on their side, by touch, and
                                                 the intro naming the touch controls
  browser_test.py gamepad WEB_DIR                a standard gamepad, plugged in while playing
  browser_test.py offline WEB_DIR                compressed, installable, and played again offline
  browser_test.py replay  WEB_DIR TARVO_REPLAY SCRIPT FRAMES
                                                 the key script in the page's address against tarvo-replay,
                                                 frame by frame and field by field
  browser_test.py game    PAGE_DIR TITLE         another game's page, built against the engine's package
                                                 for browsers: its title, manifest and icons, no touch
                                                 controls, Right moving its picture, its settings kept

WEB_DIR is the page this build made, PAGE_DIR one a game's own build made. Prints one line per check. Exit 0 when
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


def as565(picture):
    """The picture's colours cut to 5-6-5, the frame's own: a GPU widens 5-6-5
    to 8 bits by rounding, the reference by repeating the top bits, and the
    two differ by one for a few values."""
    cut = bytes((0xF8, 0xFC, 0xF8) * (picture.width * picture.height))
    return Picture(picture.width, picture.height, bytes(a & m for a, m in zip(picture.rgb, cut)))


def edge_spans(logical, device):
    """For each device pixel of a side of `device` pixels showing `logical`
    pixels: the logical pixel it lies wholly inside, or None when an edge
    between two crosses it."""
    spans = []
    for d in range(device):
        edge = (d * logical // device + 1) * device
        spans.append(None if edge < (d + 1) * logical else d * logical // device)
    return spans


def filled_sharp(shot, reference):
    """How a picture shown at a scale that is not whole keeps `reference`'s
    pixels: (device pixels wholly inside a game pixel that are not its colour,
    pixels across an edge between two colours, those of them neither colour).
    Sharp is none of the first (no blur) and blends on the edges (even pixels,
    not nearest's uneven ones). Every third row, on 5-6-5 colours."""
    shot, reference = as565(shot), as565(reference)
    # The window's 755 x 511 of tarvo-replay's 756 x 512 screen.
    xs, ys = edge_spans(755, shot.width), edge_spans(511, shot.height)
    wrong = edges = blends = 0
    for dy in range(0, shot.height, 3):
        y = ys[dy]
        if y is None:
            continue
        for dx in range(shot.width):
            p = shot.pixel(dx, dy)
            if xs[dx] is not None:
                wrong += p != reference.pixel(xs[dx], y)
                continue
            k = dx * 755 // shot.width
            a, b = reference.pixel(k, y), reference.pixel(k + 1, y)
            if a != b:
                edges += 1
                blends += p != a and p != b
    return wrong, edges, blends


CANVAS_AND_STAGE = ('(() => { const c = document.getElementById("canvas").getBoundingClientRect(),'
                    ' s = document.getElementById("stage");'
                    ' return [c.width, c.height, s.clientWidth, s.clientHeight]; })()')


def fills_stage(browser):
    """Whether the picture fills the stage's limiting side, to the pixel."""
    w, h, sw, sh = browser.evaluate(CANVAS_AND_STAGE)
    return (abs(w - sw) <= 1 and h <= sh + 0.5) or (abs(h - sh) <= 1 and w <= sw + 0.5)


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
        if self.httpd is None:
            return
        self.httpd.shutdown()
        self.httpd.server_close()
        self.httpd = None


def find_chromium():
    for name in ('chromium', 'chromium-browser', 'google-chrome'):
        path = shutil.which(name)
        if path:
            return path
    return None


class Browser:
    """One headless Chromium with one page, spoken to over the DevTools protocol."""

    def __init__(self, gpu=False):
        """gpu: a GPU process drawing in software (SwiftShader), as a machine
        with a GPU has, instead of none."""
        self.profile = tempfile.mkdtemp(prefix='tarvo-web-chromium-')
        graphics = ['--use-angle=swiftshader', '--enable-unsafe-swiftshader'] if gpu else ['--disable-gpu']
        args = [find_chromium(), '--headless=new', '--no-sandbox'] + graphics + [
                '--no-first-run', '--disable-dev-shm-usage', '--no-default-browser-check', '--disable-extensions',
                '--disable-background-networking',
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
        self.side_id = 1_000_000_000  # the workers' commands, whose answers go unread
        self.events = []
        for domain in ('Page', 'Runtime', 'Log', 'Network'):
            self.call(domain + '.enable')
        # The page's workers too: their console and exceptions are the page's.
        self.set_worker_script(None)
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
                if message['method'] == 'Target.attachedToTarget':
                    self.attached(message['params'])

    def set_worker_script(self, source):
        """Runs `source` in every worker the page starts from now on, before
        the worker's own script (None: nothing)."""
        self.worker_script = source
        self.call('Target.setAutoAttach', autoAttach=True, waitForDebuggerOnStart=source is not None, flatten=True)

    def attached(self, target):
        # Not waited for: the answers come among later messages, in order.
        commands = [('Runtime.enable', {})]
        if self.worker_script and target['targetInfo']['type'] == 'worker':
            commands.insert(0, ('Runtime.evaluate', {'expression': self.worker_script}))
        if target.get('waitingForDebugger'):
            commands.append(('Runtime.runIfWaitingForDebugger', {}))
        for method, params in commands:
            self.side_id += 1
            self.ws.send(json.dumps({'id': self.side_id, 'method': method, 'params': params,
                                     'sessionId': target['sessionId']}))

    def evaluate(self, expression, await_promise=False):
        result = self.call('Runtime.evaluate', expression=expression, returnByValue=True, awaitPromise=await_promise)
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

# Run before the page's scripts: a browser without WebGL.
NO_WEBGL = ('const plain = HTMLCanvasElement.prototype.getContext;'
            'HTMLCanvasElement.prototype.getContext = function (kind, options) {'
            '  return /webgl/.test(kind) ? null : plain.call(this, kind, options); };'
            'delete window.WebGLRenderingContext;')

# Run before the page's scripts and its worker's: a machine whose GPU draws
# WebGL. Headless Chromium's WebGL is SwiftShader, drawn in software; with the
# renderer's name hidden it passes for a GPU's.
FAST_WEBGL = ('for (const Context of [self.WebGLRenderingContext, self.WebGL2RenderingContext]) {'
              '  if (!Context) continue;'
              '  const plain = Context.prototype.getParameter;'
              '  Context.prototype.getParameter = function (name) {'
              '    const value = plain.call(this, name);'
              '    return typeof value === "string" ? value.replace(/SwiftShader/gi, "Test GPU") : value; }; }')

# A button of the page's header takes the focus and leaves it, as Full
# screen does when clicked.
BUTTON_FOCUSED_AND_LEFT = ('(() => { const b = document.getElementById("fullscreen"); b.hidden = false; b.focus();'
                           ' b.blur(); })(), 1')

# A browser that cannot hand a worker its canvas.
NO_OFFSCREEN = 'delete HTMLCanvasElement.prototype.transferControlToOffscreen;'

# Run before the page's scripts: a key script's run keeps every frame's state.
KEEP_STATES = 'window.tarvoKeepStates = true;'

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
    check(browser.evaluate('[window.tarvoPage.thread, Module.presentation, typeof WebGLRenderingContext]') ==
          ['worker', '2d', 'function'],
          'the game runs in a worker and, its WebGL drawn in software, draws on a 2D canvas (%s)' %
          browser.evaluate('[window.tarvoPage.thread, Module.presentation]'))
    # The test hooks under one object, the older names its aliases.
    hooks = browser.wait_for('typeof window.tarvo.frameWorkMs === "number" && [window.tarvo.page === window.tarvoPage,'
                             ' window.tarvo.state === window.tarvoState, window.tarvo.exit === window.tarvoExit,'
                             ' window.tarvo.frameWorkMs === Module.frameWorkMs,'
                             ' window.tarvo.framePresentMs === Module.framePresentMs,'
                             ' window.tarvo.presentation === Module.presentation,'
                             ' JSON.parse(window.tarvo.state).frame >= 0,'
                             ' window.tarvo.states === undefined]', PATIENCE)
    check(hooks == [True] * 8, 'the test hooks are under window.tarvo, the older names its aliases (%s)' % hooks)
    controls = browser.evaluate('[...document.querySelectorAll("[data-key], #quit")].map(e => e.getClientRects().length)')
    check(controls == [0] * 7, 'no touch controls nor Quit button on a desktop without touch (%s)' % controls)
    help_line = browser.evaluate('document.getElementById("help").innerText')
    named = [k for k in ('Left', 'Right', 'Up', 'Down', 'Space', 'P ', 'M ', 'F ', 'Escape') if k not in help_line]
    check(not named, 'the help line names every key ("%s"; missing %s)' % (help_line, named))

    # On the page of 1280 x 1024 a whole scale (1) would leave four tenths
    # empty: the picture fills the height, every game pixel the same size.
    reference = replay_frame(replay, '', 0)
    check(browser.wait_for('document.getElementById("canvas").dataset.scale === "filled"', PATIENCE) and
          fills_stage(browser),
          'the picture fills the page\'s limiting side (%s)' % browser.evaluate(CANVAS_AND_STAGE))
    wrong, edges, blends = filled_sharp(browser.canvas_shot_until(lambda shot: filled_sharp(shot, reference)[0] == 0),
                                        reference)
    check(wrong == 0 and blends > 0, 'filled, the intro is sharp: every device pixel inside a game pixel its colour'
          ' (%d are not), edges one device pixel soft (%d of %d)' % (wrong, blends, edges))

    # Where a whole scale leaves little empty it is kept: 1 on 800 x 600, the
    # intro over the arena exactly as tarvo-replay draws frame 0.
    browser.call('Emulation.setDeviceMetricsOverride', width=800, height=600, deviceScaleFactor=1, mobile=False)
    panel = as565(reference).region(128, 106, 500, 300)
    intro = browser.canvas_shot_until(lambda shot: shot.width == 755 and as565(shot).region(128, 106, 500, 300) == panel)
    check((intro.width, intro.height) == (755, 511) and as565(intro).region(128, 106, 500, 300) == panel,
          'on 800 x 600 the intro shows at its own size, as tarvo-replay draws it (canvas %d x %d)' %
          (intro.width, intro.height))
    panel = reference.region(128, 106, 500, 300)

    # A bigger page: twice the size, each pixel a 2 x 2 block; and back.
    browser.call('Emulation.setDeviceMetricsOverride', width=1600, height=1100, deviceScaleFactor=1, mobile=False)
    shown = browser.wait_for('(() => { const r = document.getElementById("canvas").getBoundingClientRect();'
                             ' return r.width === 1510 && r.height === 1022 && [r.width, r.height]; })()', PATIENCE)
    check(shown == [1510, 1022], 'on a page of 1600 x 1100 the canvas shows at twice its size (%s)' % shown)
    exact = as565(reference)

    def sharp_blocks(big):
        big = as565(big)
        return big.width == 1510 and all(
            big.pixel(2 * x + dx, 2 * y + dy) == exact.pixel(x, y)
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
                             ' return r.width > 1000 && [r.width, r.height]; })()', PATIENCE)
    check(shown is not None and fills_stage(browser), 'and fills the page of 1280 x 1024 again (%s)' % shown)
    # The rest at the picture's own size, where a screenshot is the frame.
    browser.call('Emulation.setDeviceMetricsOverride', width=800, height=600, deviceScaleFactor=1, mobile=False)
    browser.wait_for('document.getElementById("canvas").getBoundingClientRect().width === 755', PATIENCE)

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

    # A button of the page taking and losing the focus (Full screen does, when
    # clicked) is not the page losing it: the picture goes on being shown.
    browser.evaluate(BUTTON_FOCUSED_AND_LEFT)

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
    # A hidden page is silent, and sounds again when shown.
    hide = ('Object.defineProperty(document, "hidden", {configurable: true, get: () => %s});'
            ' document.dispatchEvent(new Event("visibilitychange")), 1')
    # Hidden, the game runs no frames (a browser gives a hidden page no
    # animation frames; the worker is told); shown again, it goes on.
    browser.evaluate(hide % 'true')
    silent = browser.wait_for('Module.audio.ctx.state === "suspended"', PATIENCE)
    time.sleep(0.3)  # the frame under way when the page hid
    hidden_at = state(browser)['frame']
    time.sleep(1)
    still = state(browser)['frame']
    browser.evaluate(hide % 'false')
    again = browser.wait_for('Module.audio.ctx.state === "running"', PATIENCE)
    check(silent is not None and again is not None, 'hidden, the page makes no sound; shown again, it sounds')
    resumed = wait_for_state(browser, lambda s: s['frame'] > still + 10)
    check(still == hidden_at and resumed is not None,
          'hidden, no frame runs (frame %d, a second later %d); shown again, the game goes on' % (hidden_at, still))

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
    # Ended, the page offers to play again, from the intro.
    offered = browser.wait_for('!document.getElementById("again").hidden', PATIENCE)
    browser.evaluate('document.getElementById("again").click(), 1')
    again = browser.wait_for('window.tarvoExit === undefined && window.tarvoPage.state === "running" &&'
                             ' window.tarvoState && JSON.parse(window.tarvoState).showIntro', PATIENCE)
    check(offered is not None and again is not None, 'after Escape the page offers to play again, and it does')
    with_a_gpu(browser, server, reference)


def with_a_gpu(browser, server, reference):
    """Where WebGL is drawn by a GPU, the picture goes through it, in a worker
    and on the page's main thread; filled, it is as sharp."""
    browser.call('Emulation.clearDeviceMetricsOverride')
    browser.set_worker_script(FAST_WEBGL)
    for where, script in (('worker', FAST_WEBGL), ('page', FAST_WEBGL + NO_OFFSCREEN)):
        added = browser.call('Page.addScriptToEvaluateOnNewDocument', source=script)
        browser.open(server.url())
        browser.wait_for('window.tarvoPage && window.tarvoPage.state === "running" && window.tarvoState', PATIENCE)
        ran = browser.evaluate('[window.tarvoPage.thread, Module.presentation]')
        filled = browser.wait_for('document.getElementById("canvas").dataset.scale === "filled"', PATIENCE)
        wrong, edges, blends = filled_sharp(
            browser.canvas_shot_until(lambda shot: filled_sharp(shot, reference)[0] == 0), reference)
        check(ran == [where, 'webgl'] and filled and wrong == 0 and blends > 0,
              'with a GPU\'s WebGL the game (%s) draws through it, filling the page sharp (%d device pixels inside'
              ' a game pixel not its colour, %d of %d on edges blended)' % (ran, wrong, blends, edges))
        browser.call('Page.removeScriptToEvaluateOnNewDocument', identifier=added['identifier'])
    browser.set_worker_script(None)


def refuse(browser, server, web_dir, replay):
    # Files blocked here must not come from the page's offline copy.
    browser.call('Network.setBypassServiceWorker', bypass=True)
    added = browser.call('Page.addScriptToEvaluateOnNewDocument', source='delete window.WebAssembly;')
    browser.open(server.url())
    said = browser.wait_for('window.tarvoPage && window.tarvoPage.state === "failed" && window.tarvoPage.message', 20)
    check(said is not None and 'WebAssembly' in said, 'without WebAssembly the page says so ("%s")' % said)
    browser.call('Page.removeScriptToEvaluateOnNewDocument', identifier=added['identifier'])

    for blocked, words, what in (('tarvo.data', 'pictures could not be downloaded (tarvo.data',
                                  'pictures that do not download are'),
                                 ('tarvo.wasm', 'game could not be downloaded (tarvo.wasm',
                                  'a program that does not download is')):
        browser.call('Network.setBlockedURLs', urls=['*' + blocked])
        browser.open(server.url())
        said = browser.wait_for('window.tarvoPage && window.tarvoPage.state === "failed" && window.tarvoPage.message',
                                20)
        check(said is not None and words in said, '%s said on the page ("%s")' % (what, said))
    browser.call('Network.setBlockedURLs', urls=[])

    # A screen smaller than the game's window, as every phone's in CSS
    # pixels: the page scales the picture, so the game starts anyway.
    browser.call('Emulation.setDeviceMetricsOverride', width=1280, height=1024, deviceScaleFactor=1, mobile=False,
                 screenWidth=640, screenHeight=480)
    browser.open(server.url())
    started = browser.wait_for('window.tarvoPage && window.tarvoPage.state === "running" && window.tarvoState &&'
                               ' !document.getElementById("box").open', PATIENCE)
    check(started is not None and browser.evaluate('window.tarvoExit === undefined'),
          'on a screen of 640 x 480 the game starts (%s)' % browser.evaluate('window.tarvoPage.message'))
    browser.call('Emulation.clearDeviceMetricsOverride')

    # No WebGL: the picture goes on a 2D canvas, with nothing said.
    added = browser.call('Page.addScriptToEvaluateOnNewDocument', source=NO_WEBGL)
    browser.call('Emulation.setDeviceMetricsOverride', width=800, height=600, deviceScaleFactor=1, mobile=False)
    browser.open(server.url())
    browser.wait_for('window.tarvoPage && window.tarvoPage.state === "running" && window.tarvoState', PATIENCE)
    reference = as565(replay_frame(replay, '', 0)).region(128, 106, 500, 300)
    intro = browser.canvas_shot_until(lambda shot: as565(shot).region(128, 106, 500, 300) == reference)
    check(browser.evaluate('Module.presentation') == '2d' and as565(intro).region(128, 106, 500, 300) == reference
          and not browser.console_errors(), 'without WebGL the intro shows on a 2D canvas, and no error is said'
          ' (%s, %s)' % (browser.evaluate('Module.presentation'), browser.console_errors()[:2]))
    browser.call('Page.removeScriptToEvaluateOnNewDocument', identifier=added['identifier'])

    # A browser that cannot give a worker the canvas, or a worker that does
    # not load: the game runs on the page's main thread instead, and plays.
    no_worker = tempfile.mkdtemp(prefix='tarvo-web-no-worker-')
    for name in ('index.html', 'tarvo.js', 'tarvo.wasm', 'tarvo.data'):
        os.symlink(os.path.join(web_dir, name), os.path.join(no_worker, name))
    without = Server(no_worker)
    for how, at, script in (('without OffscreenCanvas', server, NO_OFFSCREEN),
                            ('with its worker not downloaded', without, None)):
        added = browser.call('Page.addScriptToEvaluateOnNewDocument', source=script) if script else None
        browser.open(at.url())
        browser.wait_for('window.tarvoPage && window.tarvoPage.state === "running" && window.tarvoState', PATIENCE)
        intro = browser.canvas_shot_until(lambda shot: as565(shot).region(128, 106, 500, 300) == reference)
        # A button's focus is not the page's: the picture goes on being shown.
        browser.evaluate(BUTTON_FOCUSED_AND_LEFT)
        browser.key('keyDown', *KEYS['space'])
        fight = wait_for_state(browser, lambda s: not s['showIntro'])
        browser.key('keyUp', *KEYS['space'])
        gone = browser.canvas_shot_until(lambda shot: as565(shot).region(128, 106, 500, 300) != reference)
        ran = browser.evaluate('[window.tarvoPage.thread, Module.presentation]')
        # The browser itself logs the worker's 404.
        errors = [e for e in browser.console_errors() if '404' not in e]
        check(ran == ['page', '2d'] and as565(intro).region(128, 106, 500, 300) == reference and
              fight is not None and as565(gone).region(128, 106, 500, 300) != reference and not errors,
              '%s the game runs on the page, shows the intro, Space starts it and the intro goes, the page says no'
              ' error (%s, %s)' % (how, ran, errors[:2]))
        if added:
            browser.call('Page.removeScriptToEvaluateOnNewDocument', identifier=added['identifier'])
    without.close()
    shutil.rmtree(no_worker, ignore_errors=True)
    browser.call('Emulation.clearDeviceMetricsOverride')

    box_open = 'document.getElementById("box").open && document.getElementById("box").textContent'
    # A message box while the game's window is up (a picture missing from the
    # package; the game goes on without it): its keys are the dialog's, and
    # the game hears none of them, then or after.
    folder = tempfile.mkdtemp(prefix='tarvo-web-missing-')
    try:
        for name in ('index.html', 'game_worker.js', 'tarvo.wasm', 'tarvo.data'):
            os.symlink(os.path.join(web_dir, name), os.path.join(folder, name))
        with open(os.path.join(web_dir, 'tarvo.js')) as f:
            js = f.read()
        with open(os.path.join(folder, 'tarvo.js'), 'w') as f:
            f.write(js.replace('"/Images/end_text.tif"', '"/Images/not_packed.tif"'))
        missing = Server(folder)
        # In the worker, and once on the page's main thread.
        for name, vk, key, code, text, thread in (('Escape', 27, 'Escape', 'Escape', None, 'worker'),
                                                  ('Enter', 13, 'Enter', 'Enter', '\r', 'worker'),
                                                  ('Space', 32, ' ', 'Space', ' ', 'worker'),
                                                  ('Escape', 27, 'Escape', 'Escape', None, 'page')):
            if thread == 'page':
                # A new address, which the worker was never kept for offline.
                os.remove(os.path.join(folder, 'game_worker.js'))
                missing.close()
                missing = Server(folder)
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
            ran = browser.evaluate('window.tarvoPage.thread')
            check(shown is not None and 'end_text.tif' in shown and closed is not None and after == ['running', True]
                  and ran == thread,
                  '%s closes a message box during play (%s), and the game never hears it (%s; box %s)' %
                  (name, ran, after, 'closed' if closed else 'still open'))
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

    # And a script with its frames plays them. Every frame's state is kept
    # only for a page that asks before its scripts run, from the worker or
    # the page's main thread alike; the last one is there either way.
    five = server.url('#' + urllib.parse.urlencode({'script': '0 down SPACE\n', 'frames': 5}))
    for thread, asked in (('worker', False), ('worker', True), ('page', False), ('page', True)):
        source = (KEEP_STATES if asked else '') + (NO_OFFSCREEN if thread == 'page' else '')
        added = browser.call('Page.addScriptToEvaluateOnNewDocument', source=source) if source else None
        browser.open(five)
        ended = browser.wait_for('window.tarvoExit !== undefined && [window.tarvoExit, window.tarvoPage.state,'
                                 ' window.tarvoPage.thread, window.tarvoStates ? window.tarvoStates.length : "none",'
                                 ' window.tarvoState && JSON.parse(window.tarvoState).frame]', PATIENCE)
        check(ended == [0, 'ended', thread, 5 if asked else 'none', 4],
              'a key script with frames=5 plays 5 frames and ends, its states %s (%s)' %
              ('kept when asked' if asked else 'not kept unasked', ended))
        if added:
            browser.call('Page.removeScriptToEvaluateOnNewDocument', identifier=added['identifier'])

    # A link may ask for a million frames: Escape, and Quit (a touch
    # device's Escape), still end the run.
    million = server.url('#' + urllib.parse.urlencode({'script': '0 down SPACE\n', 'frames': 1000000}))
    for how in ('Escape', 'Quit'):
        browser.open(million)
        going = wait_for_state(browser, lambda s: s['frame'] >= 100)
        if how == 'Escape':
            browser.tap(*KEYS['escape'], hold=0.02)
        else:
            browser.evaluate('document.getElementById("quit").click(), 1')
        ended = browser.wait_for('window.tarvoExit !== undefined && [window.tarvoExit, window.tarvoPage.state,'
                                 ' JSON.parse(window.tarvoState).frame]', PATIENCE)
        check(going is not None and ended is not None and ended[:2] == [0, 'ended'] and ended[2] < 999999,
              '%s ends a key script of a million frames (%s)' % (how, ended))


LAYOUT = ('(() => { const box = e => { const r = e.getBoundingClientRect();'
          '   return [r.left, r.top, r.width, r.height]; };'
          ' const controls = {};'
          ' document.querySelectorAll("[data-key]").forEach(e => { controls[e.dataset.key] = box(e); });'
          ' const s = document.getElementById("stage");'
          ' return { canvas: box(document.getElementById("canvas")), stage: [s.clientWidth, s.clientHeight],'
          '          controls: controls, view: [innerWidth, innerHeight],'
          '          header: document.querySelector("header").getClientRects().length,'
          '          menu: document.getElementById("menu") ? box(document.getElementById("menu")) : [0, 0, 0, 0] };'
          ' })()')


def centre(rect):
    return rect[0] + rect[2] / 2, rect[1] + rect[3] / 2


def touch(browser, kind, points):
    """Fingers {id: (x, y)}: for touchStart and touchMove every finger on the
    screen, for touchEnd and touchCancel the ones lifted (none: all)."""
    browser.call('Input.dispatchTouchEvent', type=kind,
                 touchPoints=[{'x': x, 'y': y, 'id': i, 'radiusX': 5, 'radiusY': 5} for i, (x, y) in points.items()])


def turning(browser, sign, timeout=PATIENCE):
    """A state turning left (1: Left held, the angle grows), right (-1) or
    hardly (0: neither held, the turn dying away), still so three frames
    later; None at the deadline."""
    def steady(s):
        rate = s['player']['turnRate']
        return rate == 3 * sign if sign else abs(rate) < 1
    first = wait_for_state(browser, steady, timeout)
    if first is None:
        return None
    return wait_for_state(browser, lambda s: s['frame'] >= first['frame'] + 3 and steady(s), timeout)


def firing(browser, wanted, timeout=PATIENCE):
    """Whether Space is seen held (True) or not (False) before the deadline:
    the fire counter moves every frame Space is held and stands otherwise."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        a = state(browser)
        b = wait_for_state(browser, lambda s: s['frame'] >= a['frame'] + 3, timeout)
        if b is None:
            return False
        if (b['player']['fireCounter'] != a['player']['fireCounter']) == wanted:
            return True
    return False


# The intro's colour for the keys, in 5-6-5.
KEY_565 = (130 & 0xF8, 210 & 0xFC, 255 & 0xF8)


def share_of(picture, colour):
    """The share of a picture's pixels that are `colour` once cut to 5-6-5."""
    cut = as565(picture).rgb
    wanted = bytes(colour)
    return sum(cut[i:i + 3] == wanted for i in range(0, len(cut), 3)) / (picture.width * picture.height)


def phone(server, replay):
    """The page on a phone (3 device pixels a CSS pixel, touch only), upright
    and on its side, each in a browser of its own: Chromium's emulated touch
    does not outlive the first page it touched."""
    # How much of the keyboard's intro over the arena is in the keys' colour;
    # the touch intro's few signs show about a third as much.
    keyboard_keys = share_of(replay_frame(replay, '', 0), KEY_565)
    for width, height in ((390, 844), (844, 390)):
        browser = Browser()
        try:
            phone_shape(browser, server, width, height, keyboard_keys)
        finally:
            browser.close()


def phone_shape(browser, server, width, height, keyboard_keys):
    upright = height > width
    shape = 'upright' if upright else 'on its side'
    browser.call('Emulation.setDeviceMetricsOverride', width=width, height=height, deviceScaleFactor=3,
                 mobile=True, screenWidth=width, screenHeight=height)
    browser.call('Emulation.setTouchEmulationEnabled', enabled=True, maxTouchPoints=5)
    browser.open(server.url())
    started = browser.wait_for('window.tarvoPage && window.tarvoPage.state === "running" && window.tarvoState',
                               PATIENCE)
    check(started is not None, 'a phone %d x %d starts the game (%s)' %
          (width, height, browser.evaluate('window.tarvoPage && window.tarvoPage.message')))
    if not started:
        return
    layout = browser.evaluate(LAYOUT)
    canvas, view, controls = layout['canvas'], layout['view'], layout['controls']
    fill = max(canvas[2] / view[0], canvas[3] / view[1])
    check(fill >= 0.9, '%s, the picture fills %.1f %% of the screen\'s limiting side' % (shape, 100 * fill))
    menu = layout['menu']
    if upright:
        check(layout['header'] == 1 and menu[2] == 0, 'upright, the header is above the picture')
    else:
        check(layout['header'] == 0 and menu[2] >= 40 and menu[3] >= 32 and
              (menu[0] + menu[2] <= canvas[0] or menu[1] >= canvas[1] + canvas[3]),
              'on its side, the header is out of the way, behind a button beside the picture (%s)' % menu)
    check(sorted(controls) == ['DOWN', 'LEFT', 'P', 'RIGHT', 'SPACE', 'UP'] and
          all(r[2] >= 48 and r[3] >= 48 for r in controls.values()),
          'the six touch controls are there, each at least 48 CSS pixels (%s)' %
          {k: r[2:] for k, r in controls.items()})

    def beside(r):
        if upright:
            return r[1] >= canvas[1] + canvas[3]
        return r[0] + r[2] <= canvas[0] or r[0] >= canvas[0] + canvas[2]
    check(all(beside(r) for r in controls.values()),
          'they sit %s the picture, never over it' % ('below' if upright else 'beside'))

    # The intro names the controls by their signs, not the keyboard's keys.
    # The canvas is black until the first frame drawn in the worker is shown.
    keys = share_of(browser.canvas_shot_until(lambda shot: share_of(shot, (0, 0, 0)) < 0.5), KEY_565)
    check(0.1 * keyboard_keys < keys < 0.5 * keyboard_keys,
          '%s, the intro names the touch controls, not keys (key colour on %.3f %% of the picture, the keyboard\'s'
          ' intro %.3f %%)' % (shape, 100 * keys, 100 * keyboard_keys))

    where = {k: centre(r) for k, r in controls.items()}
    # A finger on the picture is no key, and scrolls nothing.
    x, y = centre(canvas)
    touch(browser, 'touchStart', {1: (x, y)})
    touch(browser, 'touchMove', {1: (x, y - 100)})
    touch(browser, 'touchEnd', {})
    now = state(browser)['frame']
    after = wait_for_state(browser, lambda s: s['frame'] >= now + 10)
    scrolled = browser.evaluate('[window.scrollX, window.scrollY, document.getElementById("stage").scrollTop]')
    check(after is not None and after['showIntro'] and scrolled == [0, 0, 0],
          'a finger on the picture starts nothing and scrolls nothing (%s)' % scrolled)

    # Fire starts the fight, as Space does.
    touch(browser, 'touchStart', {1: where['SPACE']})
    check(wait_for_state(browser, lambda s: not s['showIntro']) is not None, 'touching fire starts the fight')
    touch(browser, 'touchEnd', {})

    # Turn and fire together; the turning finger slides onto the other
    # turn; lifted (or cancelled), both let go.
    touch(browser, 'touchStart', {1: where['LEFT']})
    touch(browser, 'touchStart', {1: where['LEFT'], 2: where['SPACE']})
    left = turning(browser, 1)
    check(left is not None and firing(browser, True), 'turn left and fire held together turn the ship and fire')
    touch(browser, 'touchMove', {1: where['RIGHT'], 2: where['SPACE']})
    check(turning(browser, -1) is not None, 'the turning finger slid onto turn right turns the ship right')
    touch(browser, 'touchEnd', {1: where['RIGHT']})
    check(turning(browser, 0) is not None and firing(browser, True),
          'lifted, the turning finger lets go, the firing one fires on')
    touch(browser, 'touchCancel' if upright else 'touchEnd', {})
    check(firing(browser, False), ('cancelled' if upright else 'lifted') + ', the firing finger lets go')

    # Thrust, and the page losing the focus lets go of it.
    touch(browser, 'touchStart', {1: where['UP']})
    held = wait_for_state(browser, lambda s: speed(s['player']) > 3.9)
    browser.evaluate('window.dispatchEvent(new FocusEvent("blur")), 1')
    browser.evaluate('window.dispatchEvent(new FocusEvent("focus")), 1')
    slowed = wait_for_state(browser, lambda s: speed(s['player']) < 0.5)
    check(held is not None and slowed is not None, 'thrust held by touch is let go when the page loses the focus')
    touch(browser, 'touchEnd', {})

    # Quit is a touch device's Escape: the game ends and the page offers another.
    # On its side the button in the corner brings the header first.
    if not upright:
        touch(browser, 'touchStart', {1: centre(menu)})
        touch(browser, 'touchEnd', {})
        browser.wait_for('document.querySelector("header").getClientRects().length', PATIENCE)
    quit_box = browser.evaluate('(() => { const r = document.getElementById("quit").getBoundingClientRect();'
                                ' return [r.left, r.top, r.width, r.height]; })()')
    touch(browser, 'touchStart', {1: centre(quit_box)})
    touch(browser, 'touchEnd', {})
    ended = browser.wait_for('window.tarvoExit === 0 && !document.getElementById("again").hidden', PATIENCE)
    check(quit_box[2] > 0 and ended is not None, '%s, touching Quit ends the game and the page offers another (%s)' %
          (shape, browser.evaluate('window.tarvoPage.message')))
    errors = browser.console_errors()
    check(not errors, 'the console shows no error %s' % errors[:3])


GAMEPAD = '''
(() => {
  const pad = { id: 'Test pad (standard)', index: 0, connected: true, mapping: 'standard', timestamp: 0,
    buttons: Array.from({ length: 17 }, () => ({ pressed: false, touched: false, value: 0 })), axes: [0, 0, 0, 0] };
  window.testPad = { pad: pad, plugged: false };
  Object.defineProperty(Navigator.prototype, 'getGamepads', { configurable: true,
    value: () => [window.testPad.plugged ? pad : null, null, null, null] });
})();
'''


def gamepad(browser, server):
    """A standard gamepad, stood in for before the page's scripts run."""
    browser.call('Page.addScriptToEvaluateOnNewDocument', source=GAMEPAD)
    browser.open(server.url())
    check(browser.wait_for('window.tarvoPage && window.tarvoPage.state === "running" && window.tarvoState', PATIENCE)
          is not None, 'the page runs with no gamepad plugged in')
    # Plugged in while playing.
    browser.evaluate('window.testPad.plugged = true, window.testPad.pad.buttons[0].pressed = true, 1')
    check(wait_for_state(browser, lambda s: not s['showIntro']) is not None, 'a gamepad\'s A starts the fight')
    browser.evaluate('window.testPad.pad.buttons[0].pressed = false, 1')
    browser.evaluate('window.testPad.pad.axes[0] = 0.9, 1')
    check(turning(browser, -1) is not None, 'its left stick pushed right turns the ship right')
    browser.evaluate('window.testPad.pad.axes[0] = 0.2, 1')
    check(turning(browser, 0) is not None, 'back near the middle, it stops turning')
    browser.evaluate('window.testPad.pad.axes[0] = -1, 1')
    check(turning(browser, 1) is not None, 'pushed left, it turns left')
    browser.evaluate('window.testPad.plugged = false, 1')
    check(turning(browser, 0) is not None, 'unplugged while turning, the pad lets go of its keys')
    errors = browser.console_errors()
    check(not errors, 'the console shows no error %s' % errors[:3])


WEB_SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'platform', 'web')
# The page's files that its service worker keeps, in the build's order.
KEPT_FILES = ('index.html', 'game_worker.js', 'manifest.webmanifest', 'icon-192.png', 'icon-512.png', 'tarvo.js',
              'tarvo.wasm', 'tarvo.data')


def write_service_worker(folder):
    """The service worker the build would make for the files in `folder`."""
    subprocess.run(['cmake', '-DFILES=' + '|'.join(os.path.join(folder, f) for f in KEPT_FILES),
                    '-DIN=' + os.path.join(WEB_SOURCE, 'service_worker.js.in'),
                    '-DOUT=' + os.path.join(folder, 'service_worker.js'), '-P',
                    os.path.join(WEB_SOURCE, 'build_id.cmake')], check=True, capture_output=True)


def page_copy(web_dir, folder, changed=None):
    """The page in `folder`, its files linked to `web_dir`'s, but for
    `changed`: a file name and the text put at its end in a copy."""
    os.makedirs(folder, exist_ok=True)
    for name in KEPT_FILES + ('service_worker.js',):
        if changed and name == changed[0]:
            shutil.copyfile(os.path.join(web_dir, name), os.path.join(folder, name))
            with open(os.path.join(folder, name), 'a') as f:
                f.write(changed[1])
        else:
            os.symlink(os.path.join(web_dir, name), os.path.join(folder, name))


# Once the page's service worker has installed: 'activated', or 'redundant'
# for an install that failed.
WORKER_SETTLED = ('navigator.serviceWorker.register("service_worker.js").then(r => {'
                  ' const w = r.installing || r.waiting || r.active;'
                  ' const settled = () => w.state === "activated" || w.state === "redundant";'
                  ' return settled() ? w.state : new Promise(done => w.addEventListener("statechange",'
                  '   () => { if (settled()) done(w.state); })); })')

# The origin's caches: their names, and the paths of the files each keeps.
CACHES = ('caches.keys().then(names => Promise.all(names.map(n => caches.open(n).then(c => c.keys())'
          ' .then(kept => [n, kept.map(r => new URL(r.url).pathname).sort()]))))')


def cache_names():
    """The service worker's cache name for a set of files, as one of them
    changes and changes back: the build names it by their content."""
    work = tempfile.mkdtemp(prefix='tarvo-web-cache-')
    try:
        files = [os.path.join(work, n) for n in ('tarvo.js', 'tarvo.wasm')]
        names = []
        for content in (b'one', b'One', b'one'):
            with open(files[0], 'wb') as f:
                f.write(b'the same')
            with open(files[1], 'wb') as f:
                f.write(content)
            out = os.path.join(work, 'service_worker.js')
            subprocess.run(['cmake', '-DFILES=' + '|'.join(files),
                            '-DIN=' + os.path.join(WEB_SOURCE, 'service_worker.js.in'), '-DOUT=' + out, '-P',
                            os.path.join(WEB_SOURCE, 'build_id.cmake')], check=True, capture_output=True)
            names += [line.split("'")[1] for line in open(out) if line.startswith('const BUILD')]
        return names
    finally:
        shutil.rmtree(work, ignore_errors=True)


def offline(browser, server, web_dir):
    """After one visit the page plays with no server and no network."""
    one, other, again = cache_names()
    check(one != other and one == again and len(one) == 16,
          'the kept set is named by the build\'s content: a changed file is a new name (%s, %s, %s)' %
          (one, other, again))
    starts = [open(os.path.join(web_dir, f), 'rb').read(2) for f in ('tarvo.data', 'tarvo.wasm')]
    wire = sum(os.path.getsize(os.path.join(web_dir, f)) for f in ('index.html', 'tarvo.js', 'tarvo.wasm', 'tarvo.data'))
    check(starts == [b'\x1f\x8b'] * 2,
          'the package and the program are gzip-compressed (%d bytes for the page in all)' % wire)
    browser.open(server.url())
    check(browser.wait_for('window.tarvoPage && window.tarvoPage.state === "running" && window.tarvoState', PATIENCE)
          is not None, 'the page runs, its package and program unpacked in the browser')
    manifest = browser.evaluate('fetch("manifest.webmanifest").then(r => r.json())', await_promise=True)
    check(manifest['name'] == 'Tarvo' and [i['sizes'] for i in manifest['icons']] == ['192x192', '512x512'],
          'the manifest has a name and icons (%s, %s)' % (manifest['name'], [i['sizes'] for i in manifest['icons']]))
    icon = browser.evaluate('fetch("icon-512.png").then(r => r.arrayBuffer()).then(b => {'
                            ' const v = new DataView(b); return [v.getUint32(16), v.getUint32(20)]; })',
                            await_promise=True)
    check(icon == [512, 512], 'the large icon is 512 x 512 pixels (%s)' % icon)
    # Once the worker is active its set is whole.
    browser.evaluate('navigator.serviceWorker.ready.then(() => caches.keys())'
                     ' .then(names => Promise.all(names.map(n => caches.open(n).then(c => c.keys()))))'
                     ' .then(lists => { window.keptFiles = lists.flat().map(r => r.url.split("/").pop()); }), 1')
    kept = browser.wait_for('window.keptFiles && window.keptFiles.length >= 5 && window.keptFiles', PATIENCE)
    check(kept is not None and all(f in kept for f in ('index.html', 'tarvo.js', 'tarvo.wasm', 'tarvo.data')),
          'a service worker keeps the page\'s files (%s)' % kept)
    server.close()
    browser.call('Network.emulateNetworkConditions', offline=True, latency=0, downloadThroughput=-1,
                 uploadThroughput=-1)
    browser.events = []
    browser.call('Page.reload', ignoreCache=False)
    running = browser.wait_for('window.tarvoPage && window.tarvoPage.state === "running" && window.tarvoState &&'
                               ' JSON.parse(window.tarvoState).frame > 10', PATIENCE)
    browser.key('keyDown', *KEYS['space'])
    started = wait_for_state(browser, lambda s: not s['showIntro'])
    browser.key('keyUp', *KEYS['space'][:3])
    check(running is not None and started is not None,
          'with the server stopped and the network off, a reload plays (%s)' %
          browser.evaluate('window.tarvoPage && window.tarvoPage.message'))
    errors = browser.console_errors()
    check(not errors, 'the console shows no error %s' % errors[:3])


def offline_mixed(browser, web_dir):
    """A server handing out a file of another build under this build's
    service worker (an upload half done): nothing is kept, the page plays
    from the network, and once the files agree they are kept."""
    folder = tempfile.mkdtemp(prefix='tarvo-web-mixed-')
    mixed = None
    try:
        page_copy(web_dir, folder, ('tarvo.js', '\n// another build\n'))
        mixed = Server(folder)
        browser.open(mixed.url())
        settled = browser.evaluate(WORKER_SETTLED, await_promise=True)
        kept = browser.evaluate(CACHES, await_promise=True)
        running = browser.wait_for('window.tarvoPage.state === "running" && window.tarvoState &&'
                                   ' JSON.parse(window.tarvoState).frame > 10', PATIENCE)
        check(settled == 'redundant' and kept == [] and running is not None,
              'a tarvo.js of another build fails the install, nothing is kept, and the page plays from the'
              ' network (%s, %s, %s)' % (settled, kept, browser.evaluate('window.tarvoPage.message')))
        os.remove(os.path.join(folder, 'tarvo.js'))
        os.symlink(os.path.join(web_dir, 'tarvo.js'), os.path.join(folder, 'tarvo.js'))
        settled = browser.evaluate(WORKER_SETTLED, await_promise=True)
        kept = browser.evaluate(CACHES, await_promise=True)
        check(settled == 'activated' and len(kept) == 1 and '/tarvo.js' in kept[0][1],
              'with the files agreeing, the next install keeps them (%s, %s)' % (settled, kept))
    finally:
        if mixed:
            mixed.close()
        shutil.rmtree(folder, ignore_errors=True)


def offline_scopes(browser, web_dir):
    """Two builds of the page under one origin, /tarvo/ and /tarvo-beta/:
    each keeps its own set, and a new worker deletes only its own scope's
    old sets."""
    root = tempfile.mkdtemp(prefix='tarvo-web-scopes-')
    both = None
    try:
        page_copy(web_dir, os.path.join(root, 'tarvo'))
        beta = os.path.join(root, 'tarvo-beta')
        page_copy(web_dir, beta, ('index.html', '<!-- beta -->\n'))
        os.remove(os.path.join(beta, 'service_worker.js'))
        write_service_worker(beta)
        with open(os.path.join(root, 'blank.html'), 'w') as f:
            f.write('<!doctype html><title>blank</title>')
        both = Server(root)
        base = 'http://127.0.0.1:%d/' % both.port
        # Sets named the old way, by the build alone: one of /tarvo/'s, one
        # of a page elsewhere.
        browser.open(base + 'blank.html')
        browser.wait_for('document.readyState === "complete"', PATIENCE)
        browser.evaluate('Promise.all([["tarvo-00000000000000aa", "tarvo/tarvo.js"],'
                         ' ["tarvo-00000000000000bb", "elsewhere/tarvo.js"]].map(([n, f]) =>'
                         ' caches.open(n).then(c => c.put(f, new Response("old")))))', await_promise=True)
        settled = []
        for scope in ('tarvo/', 'tarvo-beta/'):
            browser.open(base + scope + 'index.html')
            browser.wait_for('window.tarvoPage && window.tarvoPage.state === "running"', PATIENCE)
            settled.append(browser.evaluate(WORKER_SETTLED, await_promise=True))
        kept = dict(browser.evaluate(CACHES, await_promise=True))
        files = sorted('/' + f for f in ('', 'index.html') + KEPT_FILES[1:])
        mine = {scope: [n for n in kept if n.startswith('tarvo %s%s ' % (base, scope))]
                for scope in ('tarvo/', 'tarvo-beta/')}
        check(settled == ['activated'] * 2 and
              all(len(names) == 1 and kept[names[0]] == sorted(f.replace('/', '/' + scope, 1) for f in files)
                  for scope, names in mine.items()),
              'two builds under one origin each keep their own whole set (%s, %s)' % (settled, sorted(kept)))
        check('tarvo-00000000000000aa' not in kept and 'tarvo-00000000000000bb' in kept,
              'an old set of /tarvo/ is deleted, one of another page is not (%s)' % sorted(kept))
    finally:
        if both:
            both.close()
        shutil.rmtree(root, ignore_errors=True)


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
    browser.call('Page.addScriptToEvaluateOnNewDocument', source=KEEP_STATES)
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
    print('     web %d frames in %.1f s (%.2f ms a frame); frame work %.2f ms' %
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


def other_game(browser, server, title):
    """A game of its own, built from the engine's package: the page is its.
    Games that declare no actions, as the examples: every key arrives as
    itself, and a touch device gets no controls."""
    browser.open(server.url())
    running = browser.wait_for('window.tarvo && window.tarvo.page.state === "running" &&'
                               ' window.tarvo.state && JSON.parse(window.tarvo.state).frame > 5', PATIENCE)
    check(running is not None, 'the page runs (%s)' % browser.evaluate('window.tarvo && window.tarvo.page.message'))
    check(browser.evaluate('document.title') == title, 'the page is titled %s (%s)' %
          (title, browser.evaluate('document.title')))
    manifest = browser.evaluate('fetch("manifest.webmanifest").then(r => r.json())', await_promise=True)
    check(manifest['name'] == title and [i['sizes'] for i in manifest['icons']] == ['192x192', '512x512'],
          'the manifest names the game and has icons (%s, %s)' %
          (manifest['name'], [i['sizes'] for i in manifest['icons']]))
    icon = browser.evaluate('fetch("icon-192.png").then(r => r.arrayBuffer()).then(b => {'
                            ' const v = new DataView(b); return [v.getUint32(0), v.getUint32(16)]; })',
                            await_promise=True)
    check(icon == [0x89504E47, 192], 'the icon is a PNG of 192 pixels a side (%s)' % icon)
    check(browser.evaluate('document.querySelectorAll("[data-key]").length') == 0,
          'a game that declares no actions gets no touch controls')
    if title == 'Catch':
        return catch_settings(browser, server)
    before = browser.canvas_shot()
    browser.key('keyDown', 39, 'ArrowRight', 'ArrowRight')
    moved = browser.canvas_shot_until(lambda shot: differing(shot, before) > 50)
    browser.key('keyUp', 39, 'ArrowRight', 'ArrowRight')
    check(differing(moved, before) > 50, 'holding Right moves the picture (%d pixels changed)' %
          differing(moved, before))
    errors = browser.console_errors()
    check(not errors, 'the console shows no error %s' % errors[:3])


def catch_settings(browser, server):
    """Catch keeps its best score in the browser's storage: a round that
    catches one gem and misses the next stores 1, unless 7 was kept before."""
    script = '2 down ENTER\n4 up ENTER\n10 down D\n15 up D\n'
    address = server.url('#' + urllib.parse.urlencode({'script': script, 'frames': 300}))
    for kept, wanted in ((None, '1'), ('7', '7')):
        browser.evaluate('localStorage.clear(), 1')
        if kept:
            browser.evaluate('localStorage.setItem("catch/best", "%s"), 1' % kept)
        browser.open(address)
        ended = browser.wait_for('window.tarvo && window.tarvo.exit !== undefined && [window.tarvo.exit,'
                                 ' localStorage.getItem("catch/best")]', PATIENCE)
        check(ended == [0, wanted], 'with %s kept, a round of one catch leaves the best score at %s (%s)' %
              (kept or 'nothing', wanted, ended))
    errors = browser.console_errors()
    check(not errors, 'the console shows no error %s' % errors[:3])


def main(argv):
    if len(argv) < 3 or argv[1] not in ('play', 'refuse', 'replay', 'phone', 'gamepad', 'offline', 'game'):
        sys.stderr.write(__doc__)
        return 2
    mode, web_dir = argv[1], os.path.abspath(argv[2])
    if not find_chromium():
        skip('Chromium is not installed (apt-get install chromium)')
    if websocket is None:
        print('FAIL python3-websocket is not installed (apt-get install python3-websocket)', flush=True)
        return 1
    page_files = ('index.html', 'tarvo.js', 'tarvo.wasm', 'tarvo.data') if mode != 'game' else ('index.html',)
    missing = [f for f in page_files if not os.path.exists(os.path.join(web_dir, f))]
    if missing:
        print('FAIL no web page of this build in %s (missing %s): make test builds it there, or make web-page '
              'PICTURES=<build>/Images SOUNDS=<build>/Sounds WEB_DIR=%s' % (web_dir, ', '.join(missing), web_dir),
              flush=True)
        return 1
    server = Server(web_dir)
    # The phones open browsers of their own.
    browser = Browser() if mode != 'phone' else None
    try:
        if mode == 'play':
            play(browser, server, os.path.abspath(argv[3]))
        elif mode == 'refuse':
            refuse(browser, server, web_dir, os.path.abspath(argv[3]))
        elif mode == 'phone':
            phone(server, os.path.abspath(argv[3]))
        elif mode == 'gamepad':
            gamepad(browser, server)
        elif mode == 'game':
            other_game(browser, server, argv[3])
        elif mode == 'offline':
            offline_mixed(browser, web_dir)
            offline_scopes(browser, web_dir)
            offline(browser, server, web_dir)
        else:
            replay_compare(browser, server, os.path.abspath(argv[3]), os.path.abspath(argv[4]), int(argv[5]))
    finally:
        if browser:
            browser.close()
        server.close()
    print('all checks passed' if not failures else '%d checks failed' % len(failures), flush=True)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))

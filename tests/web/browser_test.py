#!/usr/bin/env python3
"""The web build in a real browser: Debian's Chromium, headless, loads the page
from a server on 127.0.0.1; keys go in through the DevTools protocol as real
input events, and the checks look at screenshots of the canvas and at what
the page says.

  browser_test.py play    WEB_DIR TARVO_REPLAY   intro, Space, Up, sound, P, blur, 60 a second, Escape,
                                                 console
  browser_test.py refuse  WEB_DIR                no WebAssembly, pictures not downloaded, a
                                                 start-up failure's message box
  browser_test.py replay  WEB_DIR TARVO_REPLAY SCRIPT FRAMES
                                                 the key script in the page's address against tarvo-replay,
                                                 frame by frame and field by field

Prints one line per check. Exit 0 when all pass, 1 when one fails, 77 (a skip
for CTest) when Chromium, python3-websocket or the web build is missing.
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


def set_paused(browser, paused):
    for _ in range(8):
        browser.tap(*KEYS['p'], hold=0.02)
        time.sleep(0.25)
        if state(browser)['paused'] == paused:
            return True
    return False


def play(browser, server, replay):
    browser.open(server.url())
    check(browser.wait_for('window.tarvoPage && window.tarvoPage.state === "running" && window.tarvoState', 60)
          is not None, 'the page loads the pictures and the game, and runs')
    size = browser.evaluate('(() => { const c = document.getElementById("canvas");'
                            ' return [c.width, c.height, getComputedStyle(c).imageRendering]; })()')
    check(size == [755, 511, 'pixelated'], 'canvas of the game\'s 755 x 511, pixelated (got %s)' % size)

    # The intro over the arena, exactly as tarvo-replay draws frame 0.
    reference = replay_frame(replay, '', 0)
    time.sleep(0.3)
    intro = browser.canvas_shot()
    panel = reference.region(128, 106, 500, 300)
    check((intro.width, intro.height) == (755, 511) and intro.region(128, 106, 500, 300) == panel,
          'the intro picture shows, as tarvo-replay draws it (canvas %d x %d)' % (intro.width, intro.height))

    # A bigger page: twice the size, each pixel a 2 x 2 block; and back.
    browser.call('Emulation.setDeviceMetricsOverride', width=1700, height=1200, deviceScaleFactor=1, mobile=False)
    shown = browser.wait_for('(() => { const r = document.getElementById("canvas").getBoundingClientRect();'
                             ' return r.width === 1510 && r.height === 1022 && [r.width, r.height]; })()', 5)
    check(shown == [1510, 1022], 'on a page of 1700 x 1200 the canvas shows at twice its size (%s)' % shown)
    time.sleep(0.3)
    big = browser.canvas_shot()
    blocks = big.width == 1510 and all(
        big.pixel(2 * x + dx, 2 * y + dy) == reference.pixel(x, y)
        for y in range(106, 406, 3) for x in range(128, 628, 3) for dx in (0, 1) for dy in (0, 1))
    check(blocks, 'every pixel of the intro a sharp 2 x 2 block of its own colour')
    browser.call('Emulation.clearDeviceMetricsOverride')
    shown = browser.wait_for('(() => { const r = document.getElementById("canvas").getBoundingClientRect();'
                             ' return r.width === 755 && r.height === 511 && [r.width, r.height]; })()', 5)
    check(shown == [755, 511], 'and at its own size again on a page of 1280 x 1024 (%s)' % shown)

    # 60 frames a second by the backend's timer.
    first, began = state(browser)['frame'], time.time()
    time.sleep(2)
    frames, seconds = state(browser)['frame'] - first, time.time() - began
    check(frames <= 60 * seconds * 1.05 + 2 and frames >= 60 * seconds * 0.5,
          'about 60 frames a second, never more (%d frames in %.2f s)' % (frames, seconds))

    browser.tap(*KEYS['space'])
    check(browser.wait_for('!JSON.parse(window.tarvoState).showIntro', 5) is not None, 'Space starts the game')
    time.sleep(0.3)
    started = browser.canvas_shot()
    check(started.region(128, 106, 500, 300) != panel, 'the intro picture is gone')

    # Up flies the ship forward: the arena scrolls under it.
    before = state(browser)
    browser.key('keyDown', *KEYS['up'])
    time.sleep(1.0)
    flying = browser.canvas_shot()
    browser.key('keyUp', *KEYS['up'][:3])
    after = state(browser)
    moved = differing(started, flying)
    check(moved > started.width * started.height // 3,
          'Up scrolls the arena (%d of %d pixels changed)' % (moved, started.width * started.height))
    check(after['viewY'] > before['viewY'] + 100, 'the view moved down the arena: viewY %s -> %s' %
          (before['viewY'], after['viewY']))
    # Thrust hums: the effects reach Web Audio.
    played, running = browser.evaluate('Module.audio ? [Module.audio.played, Module.audio.ctx.state] : [-1, null]')
    check(played > 0 and running == 'running', 'sound effects are played through Web Audio (%s started, %s)' %
          (played, running))

    # P is read as held, so a press pauses or resumes depending on how many
    # frames it lasted: press until the state changes.
    check(set_paused(browser, True), 'P pauses the game')
    time.sleep(0.2)
    still_a = browser.canvas_shot()
    time.sleep(0.5)
    still_b = browser.canvas_shot()
    check(differing(still_a, still_b) == 0, 'paused, the picture stands still')
    check(set_paused(browser, False), 'P again resumes')

    # A key held while the page loses the focus is let go.
    browser.key('keyDown', *KEYS['up'])
    time.sleep(0.3)
    held = state(browser)['player']
    browser.evaluate('window.dispatchEvent(new FocusEvent("blur")), 1')
    time.sleep(0.2)
    browser.evaluate('window.dispatchEvent(new FocusEvent("focus")), 1')
    time.sleep(1.0)
    let_go = state(browser)['player']
    speed = (let_go['vx'] ** 2 + let_go['vy'] ** 2) ** 0.5
    check((held['vx'] ** 2 + held['vy'] ** 2) ** 0.5 > 3.9 and speed < 0.5,
          'Up held across a blur is let go (speed %.2f while held, %.3f after the blur)' %
          ((held['vx'] ** 2 + held['vy'] ** 2) ** 0.5, speed))
    browser.key('keyUp', *KEYS['up'][:3])

    browser.tap(*KEYS['escape'])
    check(browser.wait_for('window.tarvoPage.state === "ended"', 10) is not None and
          browser.evaluate('window.tarvoExit') == 0, 'Escape ends the program with status 0')
    message = browser.evaluate('document.getElementById("status").textContent')
    check('ended' in message, 'the page says the game has ended ("%s")' % message)
    log = browser.evaluate('Module.debugLog') or ''
    check('Debugging Output' in log, 'the debug log is kept in memory (%d characters)' % len(log))
    errors = browser.console_errors()
    check(not errors, 'the console shows no error %s' % errors[:3])


def refuse(browser, server):
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
    browser.open(server.url())
    shown = browser.wait_for('document.getElementById("box").open && document.getElementById("box").textContent', 30)
    check(shown is not None and 'REQSIZE_FAILED' in shown, 'a start-up failure shows its message box ("%s")' %
          (shown or '').strip().replace('\n', ' '))
    time.sleep(0.5)
    check(browser.evaluate('window.tarvoExit === undefined'), 'the program waits while the box is open')
    browser.evaluate('document.getElementById("box-ok").click(), 1')
    said = browser.wait_for('window.tarvoPage.state === "failed" && window.tarvoPage.message', 10)
    check(said is not None and 'exit status -1' in said and browser.evaluate('window.tarvoExit') == -1,
          'after OK the program ends with status -1 and the page says so ("%s")' % said)
    browser.call('Emulation.clearDeviceMetricsOverride')


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
    ended = browser.wait_for('window.tarvoPage && (window.tarvoPage.state === "ended" ||'
                             ' window.tarvoPage.state === "failed")', 300)
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
        skip('python3-websocket is not installed (apt-get install python3-websocket)')
    if not all(os.path.exists(os.path.join(web_dir, f)) for f in ('index.html', 'tarvo.js', 'tarvo.wasm',
                                                                  'tarvo.data')):
        skip('no web build in %s (make web)' % web_dir)
    server = Server(web_dir)
    browser = Browser()
    try:
        if mode == 'play':
            play(browser, server, os.path.abspath(argv[3]))
        elif mode == 'refuse':
            refuse(browser, server)
        else:
            replay_compare(browser, server, os.path.abspath(argv[3]), os.path.abspath(argv[4]), int(argv[5]))
    finally:
        browser.close()
        server.close()
    print('all checks passed' if not failures else '%d checks failed' % len(failures), flush=True)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))

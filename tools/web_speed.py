#!/usr/bin/env python3
"""The web page's speed in headless Chromium: main-thread work per frame and
frames a second while flying and firing, through WebGL and on a 2D canvas,
at the browser's own speed and with its CPU slowed down (DevTools CPU
throttling, as a cheap phone). A measurement, not a test: it prints a table.

  web_speed.py [--seconds S] [--slow N] [--only webgl|2d] [--sizes WxH[@R],...] [--profile] [--gpu] [--on-page]
               [--native TARVO_REPLAY [--script KEYS --frames N]] WEB_DIR [WEB_DIR ...]

Each WEB_DIR is a page made by `make web-page` (for example one built with
-DTARVO_WEB_SIMD=OFF beside the default one). The page is 800 x 600 CSS
pixels, so the picture shows at its own size, or each of --sizes: W x H CSS
pixels, and with @R a phone of R device pixels a CSS pixel played by touch
(844x390@3 is one on its side, the picture filling its height sharp).
WebGL here is drawn in software, so the page itself takes the 2D canvas;
"webgl" rows hide the renderer's name from the page and its worker, as a
GPU's WebGL, and "2d" rows hide WebGL. Columns: the page's
Module.frameWorkMs (the program's own work a frame, averaged over 60 frames:
game update, drawing, and handing the picture to the browser), the part of
it that hands over the picture (Module.framePresentMs), the rest (game
update and drawing in WebAssembly), and game frames a second counted from
window.tarvoState over S seconds. The first rows are the ceilings: a page
that does nothing but ask for animation frames, and pages that do nothing
but put one 756 x 512 picture on a canvas each animation frame, as the game
does (a 16-bit texture through WebGL, RGBA on a 2D canvas), with no game,
from the page's main thread and from a worker.

The program runs in a worker where the browser can give one the canvas (the
page's rows say where it ran); DevTools slows the page's main thread only, not
a worker, so slowed the frame work is the worker's at full speed, and a phone
16 times slower has 16 times the frame work to do in its worker. --on-page
runs the program on the main thread instead, as in a browser without
OffscreenCanvas.

--gpu runs Chromium with a GPU process that draws in software (SwiftShader),
so the page is composited as on a machine with a GPU. Without it Chromium
runs as the browser tests run it: no GPU process, and a WebGL canvas's
picture is copied back to the main thread.

--native compares like for like: each page plays a key script (by default
the first 1800 frames of the long stored fight,
tests/game/reference/long_fight.keys), given in its address, and the same
script runs natively through TARVO_REPLAY --frame-work (a release build:
make bench builds one in build/release/), both timed the same way (from one
frame's lock of the back surface to the next, the hand-over of the picture
said apart, the median of 60-frame means), and the table shows both and the
ratio: once with the frames back to back (the page shows only some of
them), once paced as a player's, a frame each 1/60 s (&paced=1 on the page,
--paced natively), where each frame starts from what the wait left in the
caches and takes several times longer on both sides.

--profile adds the main thread's whole busy time a frame (what is not idle
in DevTools Profiler samples; only at the browser's own speed, since slowed
the throttle's pauses count as busy), which includes the browser's own work
for the frame outside the program, and prints the functions that took most
of the main thread (self time), named from tarvo.js.symbols when the page
was linked with --emit-symbol-map (-DCMAKE_EXE_LINKER_FLAGS=--emit-symbol-map).
"""

import argparse
import collections
import json
import os
import shutil
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'web'))
import browser_test as bt  # noqa: E402


def start_fight(browser, server, webgl, on_page, size):
    source = (bt.FAST_WEBGL if webgl else bt.NO_WEBGL) + (bt.NO_OFFSCREEN if on_page else '')
    added = browser.call('Page.addScriptToEvaluateOnNewDocument', source=source)
    browser.set_worker_script(bt.FAST_WEBGL if webgl else None)
    width, height, ratio = size
    phone = ratio > 1
    browser.call('Emulation.setDeviceMetricsOverride', width=width, height=height, deviceScaleFactor=ratio,
                 mobile=phone, screenWidth=width, screenHeight=height)
    browser.call('Emulation.setTouchEmulationEnabled', enabled=phone, maxTouchPoints=5)
    browser.open(server.url())
    if not browser.wait_for('window.tarvoPage && window.tarvoPage.state === "running" && window.tarvoState', 120):
        raise RuntimeError('the page did not start')
    if added:
        browser.call('Page.removeScriptToEvaluateOnNewDocument', identifier=added['identifier'])
    browser.key('keyDown', *bt.KEYS['space'])
    if bt.wait_for_state(browser, lambda s: not s['showIntro'], 120) is None:
        raise RuntimeError('Space did not start the fight')
    # Space stays held: the ship fires all the time. Up flies; Left now and
    # then keeps it turning about the arena.
    browser.key('keyDown', *bt.KEYS['up'])


LEFT = (37, 'ArrowLeft', 'ArrowLeft')


def fresh_state(browser):
    """The state of a frame after this moment: a program in a worker sends its
    state when asked, and the first read asks."""
    bt.state(browser)
    time.sleep(0.1)
    return bt.state(browser)


def measure(browser, seconds):
    """(work ms, present ms, frames a second) over `seconds` of flying and firing."""
    works, presents = [], []
    first = fresh_state(browser)
    began = time.time()
    turning = False
    while time.time() - began < seconds:
        turning = not turning
        browser.key('keyDown' if turning else 'keyUp', *LEFT)
        time.sleep(0.5)
        works.append(browser.evaluate('Module.frameWorkMs || 0'))
        presents.append(browser.evaluate('Module.framePresentMs || 0'))
    last = fresh_state(browser)
    elapsed = time.time() - began
    browser.key('keyUp', *LEFT)
    return (sum(works) / len(works), sum(presents) / len(presents), (last['frame'] - first['frame']) / elapsed)


def count_frames(browser, rate, seconds):
    """Frames a second the page's window.frames_seen counts over `seconds`, its CPU slowed `rate` times."""
    browser.call('Emulation.setCPUThrottlingRate', rate=rate)
    time.sleep(2)
    first, began = browser.evaluate('window.frames_seen'), time.time()
    time.sleep(seconds)
    fps = (browser.evaluate('window.frames_seen') - first) / (time.time() - began)
    browser.call('Emulation.setCPUThrottlingRate', rate=1)
    return fps


def empty_page(browser, rate, seconds):
    """Animation frames a second of a page that does nothing else: the browser's own ceiling."""
    browser.open('about:blank')
    browser.evaluate('window.frames_seen = 0; (function next() { ++window.frames_seen;'
                     ' requestAnimationFrame(next); })(), 1')
    return count_frames(browser, rate, seconds)


# Only the hand-over: one changing 756 x 512 picture each animation frame,
# from the page's main thread or (#...-worker) from a worker given the canvas.
BARE_PAGE = '''<!doctype html>
<body style="margin:0;background:#000"><canvas id="canvas" width="756" height="512"></canvas>
<script id="show">
function showing(canvas, kind) {
  if (kind === 'webgl') {
    const gl = canvas.getContext('webgl', {alpha: false, antialias: false, depth: false, stencil: false});
    const words = new Uint16Array(756 * 512).map((_, i) => i * 7);
    gl.bindTexture(gl.TEXTURE_2D, gl.createTexture());
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, gl.NEAREST);
    gl.pixelStorei(gl.UNPACK_ALIGNMENT, 2);
    gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGB, 756, 512, 0, gl.RGB, gl.UNSIGNED_SHORT_5_6_5, words);
    return n => {
      words[n % words.length] ^= 0xFFFF;
      gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, 0, 756, 512, gl.RGB, gl.UNSIGNED_SHORT_5_6_5, words);
      gl.clear(gl.COLOR_BUFFER_BIT);
    };
  }
  const context = canvas.getContext('2d', {alpha: false});
  const image = new ImageData(756, 512);
  image.data.forEach((_, i) => { image.data[i] = i * 13; });
  return n => { image.data[n % image.data.length] ^= 0xFF; context.putImageData(image, 0, 0); };
}
</script><script>
window.frames_seen = 0;
const canvas = document.getElementById('canvas');
const [kind, where] = location.hash.slice(1).split('-');
if (where === 'worker') {
  // The worker counts its frames and tells the page each one.
  const code = document.getElementById('show').textContent + `
    onmessage = e => {
      const show = showing(e.data.canvas, e.data.kind);
      let n = 0;
      (function next() { show(++n); postMessage(n); requestAnimationFrame(next); })();
    };`;
  const worker = new Worker(URL.createObjectURL(new Blob([code], {type: 'text/javascript'})));
  worker.onmessage = e => { window.frames_seen = e.data; };
  const offscreen = canvas.transferControlToOffscreen();
  worker.postMessage({canvas: offscreen, kind: kind}, [offscreen]);
} else {
  const show = showing(canvas, kind);
  (function next() { show(++window.frames_seen); requestAnimationFrame(next); })();
}
</script>
'''


def bare_page(browser, url, rate, seconds, profiling):
    """(frames a second, main thread busy ms a frame or None) of a page that only shows a picture."""
    browser.call('Emulation.setDeviceMetricsOverride', width=800, height=600, deviceScaleFactor=1, mobile=False)
    browser.open(url)
    fps = count_frames(browser, rate, seconds)
    busy = None
    if profiling and rate == 1:
        busy = profile(browser, seconds, {}, quiet=True) * 1000 / max(fps, 1)
    return fps, busy


def symbol_names(web_dir):
    """Function names by index from tarvo.js.symbols, when the page was linked with --emit-symbol-map."""
    path = os.path.join(web_dir, 'tarvo.js.symbols')
    if not os.path.exists(path):
        return {}
    names = {}
    for line in open(path):
        index, _, name = line.rstrip('\n').partition(':')
        names['wasm-function[%s]' % index] = name
    return names


def profile(browser, seconds, names, quiet=False):
    browser.call('Profiler.enable')
    browser.call('Profiler.setSamplingInterval', interval=100)
    browser.call('Profiler.start')
    time.sleep(seconds)
    result = browser.call('Profiler.stop')['profile']
    nodes = {n['id']: n for n in result['nodes']}
    counts = collections.Counter(result['samples'])
    total = len(result['samples'])
    by_name = collections.Counter()
    for node_id, count in counts.items():
        frame = nodes[node_id]['callFrame']
        name = frame['functionName'] or '(%s)' % (frame['url'].split('/')[-1] or 'native')
        by_name[names.get(name, name)] += count
    if not quiet:
        print('  main-thread samples by function (self, %d samples in %.0f s):' % (total, seconds))
        for name, count in by_name.most_common(14):
            print('    %5.1f %%  %s' % (100.0 * count / total, name))
    return 1.0 - by_name['(idle)'] / max(total, 1)


def native_work(replay, script, frames, paced):
    """(work us, present us) a frame of the key script run natively."""
    import re
    import subprocess
    run = subprocess.run([replay, script, str(frames), '--frame-work', '--silent'] + (['--paced'] if paced else []),
                         stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True, check=False)
    found = re.search(r'frame work: ([0-9.]+) us a frame, ([0-9.]+) us of it handing the picture over', run.stderr)
    if not found:
        raise RuntimeError('%s --frame-work said: %s' % (replay, run.stderr.strip()[-300:]))
    return float(found.group(1)), float(found.group(2))


def page_script_work(browser, server, script, frames, paced):
    """(work us, present us) a frame of the key script played by the page:
    the medians of the 60-frame means the page reports while it plays."""
    import urllib.parse
    with open(script) as f:
        text = f.read()
    parameters = {'script': text, 'frames': frames}
    if paced:
        parameters['paced'] = 1
    browser.open(server.url('#' + urllib.parse.urlencode(parameters)))
    works, presents, seen = [], [], None
    deadline = time.time() + 600
    while time.time() < deadline:
        figures = browser.evaluate('window.Module ? [window.tarvo && window.tarvo.exit, Module.frameWorkMs,'
                                   ' Module.framePresentMs] : null')
        if figures is None:
            time.sleep(0.05)
            continue
        ended, work, present = figures
        if work is not None and (work, present) != seen:
            seen = (work, present)
            works.append(work * 1000)
            presents.append(present * 1000)
        if ended is not None:
            break
        time.sleep(0.005)
    if not works:
        raise RuntimeError('the page reported no frame work')
    median = lambda values: sorted(values)[len(values) // 2]  # noqa: E731
    return median(works), median(presents)


def like_for_like(web_dirs, replay, script, frames, gpu):
    rows = []
    for paced in (False, True):
        native = native_work(replay, script, frames, paced)
        for web_dir in web_dirs:
            server = bt.Server(os.path.abspath(web_dir))
            browser = bt.Browser(gpu=gpu)
            try:
                # As the fights above: the picture at its own size.
                browser.call('Emulation.setDeviceMetricsOverride', width=800, height=600, deviceScaleFactor=1,
                             mobile=False)
                page = page_script_work(browser, server, script, frames, paced)
            finally:
                browser.close()
                server.close()
            rows.append((os.path.basename(os.path.normpath(web_dir)), paced, page, native))
            print(json.dumps({'page': rows[-1][0], 'paced': paced, 'page_us': page, 'native_us': native}), flush=True)
    print('\n| %s, %d frames | frames | page: work, hand-over | less the hand-over | native: work, hand-over |'
          ' less the hand-over | page / native |' % (os.path.basename(script), frames))
    print('|---|---|---|---|---|---|---|')
    for name, paced, (work, present), native in rows:
        own, native_own = work - present, native[0] - native[1]
        print('| %s | %s | %.0f us, %.0f us | %.0f us | %.0f us, %.0f us | %.0f us | %.1f |' %
              (name, 'paced, 1/60 s' if paced else 'back to back', work, present, own, native[0], native[1],
               native_own, own / max(native_own, 1e-9)))


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('--seconds', type=float, default=10)
    parser.add_argument('--slow', type=int, default=16, help='CPU slow-down for the second run (16)')
    parser.add_argument('--profile', action='store_true')
    parser.add_argument('--only', choices=('webgl', '2d'), help='measure one presentation only')
    parser.add_argument('--sizes', default='800x600',
                        help='the pages\' sizes in CSS pixels, WxH, @R for a phone of R device pixels a CSS pixel'
                             ' (800x600)')
    parser.add_argument('--gpu', action='store_true', help='a GPU process drawing in software, not none')
    parser.add_argument('--on-page', action='store_true',
                        help='the program on the page\'s main thread, as in a browser without OffscreenCanvas')
    parser.add_argument('--native', metavar='TARVO_REPLAY',
                        help='compare a key script played by each page with the same script run natively')
    parser.add_argument('--script', default=os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests',
                                                         'game', 'reference', 'long_fight.keys'))
    parser.add_argument('--frames', type=int, default=1800)
    parser.add_argument('web_dirs', nargs='+')
    args = parser.parse_args(argv[1:])
    if bt.websocket is None or not bt.find_chromium():
        sys.stderr.write('needs Chromium and python3-websocket (Debian\'s python3: /usr/bin/python3)\n')
        return 1
    if args.native:
        like_for_like(args.web_dirs, args.native, args.script, args.frames, args.gpu)
        return 0
    rows = []
    presentations = [p for p in ('webgl', '2d') if args.only in (None, p)]
    sizes = []
    for text in args.sizes.split(','):
        shape, _, ratio = text.partition('@')
        width, height = shape.split('x')
        sizes.append((int(width), int(height), float(ratio or 1)))
    bare = tempfile.mkdtemp(prefix='tarvo-web-speed-')
    with open(os.path.join(bare, 'index.html'), 'w') as f:
        f.write(BARE_PAGE)
    server = bt.Server(bare)
    browser = bt.Browser(gpu=args.gpu)
    try:
        for rate in (1, args.slow):
            rows.append(('(an empty page)', '-', rate, 0, 0, empty_page(browser, rate, args.seconds), None))
        for shown in presentations:
            for where in ('page', 'worker'):
                for rate in (1, args.slow):
                    fps, busy = bare_page(browser, server.url() + '#%s-%s' % (shown, where), rate, args.seconds,
                                          args.profile)
                    rows.append(('(only the picture, from the %s)' % where, shown, rate, 0, 0, fps, busy))
                print(json.dumps(dict(zip(('page', 'presentation', 'slowed', 'work_ms', 'present_ms', 'fps', 'busy_ms'),
                                          rows[-1]))), flush=True)
    finally:
        browser.close()
        server.close()
        shutil.rmtree(bare, ignore_errors=True)
    for web_dir in args.web_dirs:
        server = bt.Server(os.path.abspath(web_dir))
        browser = bt.Browser(gpu=args.gpu)
        try:
            for size, webgl, rate in [(z, p == 'webgl', r) for z in sizes for p in presentations
                                      for r in (1, args.slow)]:
                start_fight(browser, server, webgl, args.on_page, size)
                browser.call('Emulation.setCPUThrottlingRate', rate=rate)
                time.sleep(3)  # past the start's loading and first frames
                work, present, fps = measure(browser, args.seconds)
                shown = browser.evaluate('Module.presentation')
                thread = browser.evaluate('window.tarvoPage.thread')
                busy = None
                if args.profile:
                    busy = profile(browser, args.seconds, symbol_names(web_dir)) * 1000 / max(fps, 1)
                browser.call('Emulation.setCPUThrottlingRate', rate=1)
                rows.append(('%s (%s, %dx%d%s)' % (os.path.basename(os.path.normpath(web_dir)), thread, size[0],
                                                   size[1], '@%g' % size[2] if size[2] > 1 else ''),
                             shown, rate, work, present, fps, busy))
                print(json.dumps(dict(zip(('page', 'presentation', 'slowed', 'work_ms', 'present_ms', 'fps', 'busy_ms'),
                                          rows[-1]))), flush=True)
        finally:
            browser.close()
            server.close()
    print('\n| page | presentation | CPU slowed | frame work | putting it on the page | the rest |'
          ' main thread busy a frame | frames a second |')
    print('|---|---|---|---|---|---|---|---|')
    for page, shown, rate, work, present, fps, busy in rows:
        # The ceilings run no program.
        program = ('-',) * 3 if page.startswith('(') else \
            ('%.2f ms' % work, '%.2f ms' % present, '%.2f ms' % (work - present))
        print('| %s | %s | %dx | %s | %s | %s | %s | %.0f |' %
              ((page, shown, rate) + program + ('%.1f ms' % busy if busy is not None and rate == 1 else '-', fps)))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))

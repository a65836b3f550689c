#!/usr/bin/env python3
"""The web page's speed in headless Chromium: main-thread work per frame and
frames a second while flying and firing, through WebGL and on a 2D canvas,
at the browser's own speed and with its CPU slowed down (DevTools CPU
throttling, as a cheap phone). A measurement, not a test: it prints a table.

  web_speed.py [--seconds S] [--slow N] [--only webgl|2d] [--profile] WEB_DIR [WEB_DIR ...]

Each WEB_DIR is a page made by `make web-page` (for example one built with
-DTARVO_WEB_SIMD=OFF beside the default one). The page is 800 x 600 CSS
pixels, so the picture shows at its own size. Columns: the page's
Module.frameWorkMs (the program's own work a frame, averaged over 60 frames:
game update, drawing, and handing the picture to the browser), the part of
it that hands over the picture (Module.framePresentMs), the rest (game
update and drawing in WebAssembly), and game frames a second counted from
window.tarvoState over S seconds. The first rows are a page that does
nothing but ask for animation frames: the most frames a second this browser
gives any page at that CPU speed.

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
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'web'))
import browser_test as bt  # noqa: E402


def start_fight(browser, server, webgl):
    added = None
    if not webgl:
        added = browser.call('Page.addScriptToEvaluateOnNewDocument', source=bt.NO_WEBGL)
    browser.call('Emulation.setDeviceMetricsOverride', width=800, height=600, deviceScaleFactor=1, mobile=False)
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


def measure(browser, seconds):
    """(work ms, present ms, frames a second) over `seconds` of flying and firing."""
    works, presents = [], []
    first = bt.state(browser)
    began = time.time()
    turning = False
    while time.time() - began < seconds:
        turning = not turning
        browser.key('keyDown' if turning else 'keyUp', *LEFT)
        time.sleep(0.5)
        works.append(browser.evaluate('Module.frameWorkMs || 0'))
        presents.append(browser.evaluate('Module.framePresentMs || 0'))
    last = bt.state(browser)
    elapsed = time.time() - began
    browser.key('keyUp', *LEFT)
    return (sum(works) / len(works), sum(presents) / len(presents), (last['frame'] - first['frame']) / elapsed)


def empty_page(browser, rate, seconds):
    """Animation frames a second of a page that does nothing else: the browser's own ceiling."""
    browser.open('about:blank')
    browser.evaluate('window.frames_seen = 0; (function next() { ++window.frames_seen;'
                     ' requestAnimationFrame(next); })(), 1')
    browser.call('Emulation.setCPUThrottlingRate', rate=rate)
    time.sleep(2)
    first, began = browser.evaluate('window.frames_seen'), time.time()
    time.sleep(seconds)
    last = browser.evaluate('window.frames_seen')
    fps = (last - first) / (time.time() - began)
    browser.call('Emulation.setCPUThrottlingRate', rate=1)
    return fps


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


def profile(browser, seconds, names):
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
    print('  main-thread samples by function (self, %d samples in %.0f s):' % (total, seconds))
    for name, count in by_name.most_common(14):
        print('    %5.1f %%  %s' % (100.0 * count / total, name))
    return 1.0 - by_name['(idle)'] / max(total, 1)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('--seconds', type=float, default=10)
    parser.add_argument('--slow', type=int, default=16, help='CPU slow-down for the second run (16)')
    parser.add_argument('--profile', action='store_true')
    parser.add_argument('--only', choices=('webgl', '2d'), help='measure one presentation only')
    parser.add_argument('web_dirs', nargs='+')
    args = parser.parse_args(argv[1:])
    if bt.websocket is None or not bt.find_chromium():
        sys.stderr.write('needs Chromium and python3-websocket (Debian\'s python3: /usr/bin/python3)\n')
        return 1
    rows = []
    browser = bt.Browser()
    try:
        for rate in (1, args.slow):
            rows.append(('(an empty page)', '-', rate, 0, 0, empty_page(browser, rate, args.seconds), None))
    finally:
        browser.close()
    for web_dir in args.web_dirs:
        server = bt.Server(os.path.abspath(web_dir))
        browser = bt.Browser()
        try:
            for webgl in [w for w in (True, False) if args.only != ('2d' if w else 'webgl')]:
                for rate in (1, args.slow):
                    start_fight(browser, server, webgl)
                    browser.call('Emulation.setCPUThrottlingRate', rate=rate)
                    time.sleep(3)  # past the start's loading and first frames
                    work, present, fps = measure(browser, args.seconds)
                    shown = browser.evaluate('Module.presentation')
                    busy = None
                    if args.profile:
                        busy = profile(browser, args.seconds, symbol_names(web_dir)) * 1000 / max(fps, 1)
                    browser.call('Emulation.setCPUThrottlingRate', rate=1)
                    rows.append((os.path.basename(os.path.normpath(web_dir)), shown, rate, work, present, fps, busy))
                    print(json.dumps(dict(zip(('page', 'presentation', 'slowed', 'work_ms', 'present_ms', 'fps', 'busy_ms'),
                                              rows[-1]))), flush=True)
        finally:
            browser.close()
            server.close()
    print('\n| page | presentation | CPU slowed | frame work | putting it on the page | the rest |'
          ' main thread busy a frame | frames a second |')
    print('|---|---|---|---|---|---|---|---|')
    for page, shown, rate, work, present, fps, busy in rows:
        print('| %s | %s | %dx | %.2f ms | %.2f ms | %.2f ms | %s | %.0f |' %
              (page, shown, rate, work, present, work - present,
               '%.1f ms' % busy if busy is not None and rate == 1 else '-', fps))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))

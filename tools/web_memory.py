#!/usr/bin/env python3
"""The web page's JavaScript heap during a long key script in headless
Chromium: a link such as `index.html#script=0%20down%20SPACE&frames=1000000`
opened as a visitor opens it. A measurement, not a test: it prints the heap
of the page's main thread and of the program's worker every few seconds.

  web_memory.py [--seconds S] [--frames N] [--keep-states] [--on-page] WEB_DIR

Each line: seconds since the page was opened, the frame the run has reached
(window.tarvoState), and the used JS heap of the page and of the worker in MB
(DevTools Runtime.getHeapUsage, no garbage collection forced), then the same
after a forced collection at the end. --keep-states asks for every frame's
state, as the browser tests do; --on-page runs the program on the page's main
thread, as in a browser without OffscreenCanvas.
"""

import argparse
import json
import os
import sys
import time
import urllib.parse

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'web'))
import browser_test as bt  # noqa: E402


def session_call(browser, session, method, **params):
    """A DevTools call to an attached target (the worker), by its session."""
    browser.next_id += 1
    wanted = browser.next_id
    browser.ws.send(json.dumps({'id': wanted, 'method': method, 'params': params, 'sessionId': session}))
    while True:
        message = json.loads(browser.ws.recv())
        if message.get('id') == wanted:
            if 'error' in message:
                raise RuntimeError('%s: %s' % (method, message['error']))
            return message.get('result', {})
        if 'method' in message:
            browser.events.append(message)


def worker_session(browser):
    for e in reversed(browser.events):
        if e['method'] == 'Target.attachedToTarget' and e['params']['targetInfo']['type'] == 'worker':
            return e['params']['sessionId']
    return None


def heaps(browser, collect=False):
    """Used JS heap of the page and of its worker (None without one), in MB."""
    worker = worker_session(browser)
    if collect:
        browser.call('HeapProfiler.collectGarbage')
        if worker:
            session_call(browser, worker, 'HeapProfiler.collectGarbage')
    page = browser.call('Runtime.getHeapUsage')['usedSize'] / 1e6
    return page, session_call(browser, worker, 'Runtime.getHeapUsage')['usedSize'] / 1e6 if worker else None


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('--seconds', type=float, default=20)
    parser.add_argument('--frames', type=int, default=1000000)
    parser.add_argument('--keep-states', action='store_true')
    parser.add_argument('--on-page', action='store_true')
    parser.add_argument('web_dir')
    args = parser.parse_args(argv[1:])
    if bt.websocket is None or not bt.find_chromium():
        sys.stderr.write('needs Chromium and python3-websocket (Debian\'s python3: /usr/bin/python3)\n')
        return 1
    server = bt.Server(os.path.abspath(args.web_dir))
    browser = bt.Browser()
    try:
        source = (bt.KEEP_STATES if args.keep_states else '') + (bt.NO_OFFSCREEN if args.on_page else '')
        if source:
            browser.call('Page.addScriptToEvaluateOnNewDocument', source=source)
        browser.call('HeapProfiler.enable')
        link = '#' + urllib.parse.urlencode({'script': '0 down SPACE', 'frames': args.frames},
                                            quote_via=urllib.parse.quote)
        browser.open(server.url(link))
        began = time.time()
        if not browser.wait_for('window.tarvoPage && window.tarvoPage.state === "running"', 120):
            raise RuntimeError('the page did not start')
        print('seconds  frame      page MB  worker MB (%s, %s)' %
              (browser.evaluate('window.tarvoPage.thread'),
               'every state kept' if args.keep_states else 'states not kept'), flush=True)
        while True:
            time.sleep(min(5, max(0, began + args.seconds - time.time())))
            page, worker = heaps(browser)
            frame = (bt.state(browser) or {}).get('frame')
            print('%7.1f  %-9s  %7.1f  %9s' % (time.time() - began, frame, page,
                                               '-' if worker is None else '%.1f' % worker), flush=True)
            if time.time() - began >= args.seconds:
                break
        page, worker = heaps(browser, collect=True)
        print('after a forced collection: page %.1f MB, worker %s MB' %
              (page, '-' if worker is None else '%.1f' % worker))
    finally:
        browser.close()
        server.close()
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))

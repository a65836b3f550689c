// The page's side of the web backend: what only the page can do (its focus
// and sizes, the dialog, the figures it shows, the display's refresh). The
// program runs on the page's main thread, or in a worker beside it where the
// browser can hand a worker the canvas (game_worker.js); either way these go
// through Module.page: the page's own object on the main thread, a messenger
// to it in a worker.

mergeInto(LibraryManager.library, {
    PageInWorker: function () { return typeof document === "undefined" ? 1 : 0; },

    PageHasFocus: function () { return Module.page.hasFocus() ? 1 : 0; },

    PageScreenWidth: function () { return Module.page.screen()[0]; },

    PageScreenHeight: function () { return Module.page.screen()[1]; },

    // The room the page gives the picture, in CSS pixels, and its device pixels
    // a CSS pixel.
    PageStage: function (width, height, ratio) {
        var stage = Module.page.stage();
        HEAPF64[width >> 3] = stage[0];
        HEAPF64[height >> 3] = stage[1];
        HEAPF64[ratio >> 3] = stage[2];
    },

    // Shows the message box; the page opens a modal dialog, and
    // Module.messageBoxOpen stays set until it is closed.
    PageShowMessageBox: function (caption, text) {
        Module.messageBoxOpen = true;
        Module.page.showMessageBox(UTF8ToString(caption), UTF8ToString(text));
    },

    PageMessageBoxOpen: function () { return Module.messageBoxOpen ? 1 : 0; },

    // Waits for the browser's next animation frame (its display's refresh). A
    // hidden page has none: the program sleeps until the page is shown again.
    // The program may end in the frame that follows, which is no error.
    PageNextAnimationFrame: function () {
        Asyncify.handleSleep(function (wakeUp) {
            (Module.page.nextFrame || requestAnimationFrame)(function () {
                try {
                    wakeUp();
                } catch (e) {
                    if (!(e instanceof ExitStatus)) throw e;
                }
            });
        });
    },

    // The game's settings the page kept in the browser's storage, as lines: a
    // name, then its value. The program checks each.
    PageGameSettings: function () {
        var kept = Module.page.settings || {}, text = "";
        Object.keys(kept).forEach(function (name) { text += name + "\n" + kept[name] + "\n"; });
        var size = lengthBytesUTF8(text) + 1;
        var out = _malloc(size);
        stringToUTF8(text, out, size);
        return out;
    },

    PageStoreSetting: function (name, value) {
        Module.page.storeSetting(UTF8ToString(name), UTF8ToString(value));
    },

    // How long frames take to make, for the page to show (milliseconds): all of
    // the work, and the part of it that puts the picture on the page.
    PageFrameWork: function (milliseconds, presentMilliseconds) {
        Module.page.share("frameWorkMs", milliseconds);
        Module.page.share("framePresentMs", presentMilliseconds);
    },
});

// The web backend's gamepads, as the page reads them.

mergeInto(LibraryManager.library, {
    // The standard-mapping gamepads the page knows, at most `most`, each as five
    // numbers in `out`: connected (1) or not (0), the pressed buttons as bits by
    // index (0 to 16), the left stick's x and y in thousandths. The number of
    // slots written; none when the page did not look this frame (see index.html).
    PageReadGamepads: function (out, most) {
        var pads = Module.page.readGamepads(most);
        if (!pads) return 0;
        var n = Math.min(pads.length, most);
        for (var i = 0; i < n; ++i) {
            var at = (out >> 2) + i * 5;
            for (var k = 0; k < 4; ++k) HEAP32[at + k] = pads[i][k];
            HEAP32[at + 4] = 0;
        }
        return n;
    },
});

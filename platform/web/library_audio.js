// The web backend's sound, on the page's Web Audio: the page plays the
// effects (index.html says how); the program reads their WAV files and hands
// it the samples.

mergeInto(LibraryManager.library, {
    PageOpenAudio: function () { return Module.page.openAudio() ? 1 : 0; },

    // 16-bit PCM WAV from memory, given to the page as one array of samples (-1
    // to 1) a channel: the handle (1 or more), or 0.
    PageLoadSound: function (bytes, length) {
        var view = new DataView(HEAPU8.buffer, bytes, length);
        var tag = function (at) {
            return String.fromCharCode(view.getUint8(at), view.getUint8(at + 1), view.getUint8(at + 2),
                                       view.getUint8(at + 3));
        };
        if (length < 12 || tag(0) !== "RIFF" || tag(8) !== "WAVE") return 0;
        var channels = 0, rate = 0, bits = 0, data = -1, dataBytes = 0;
        for (var at = 12; at + 8 <= length;) {
            var size = view.getUint32(at + 4, true);
            if (tag(at) === "fmt " && size >= 16 && at + 24 <= length) {
                if (view.getUint16(at + 8, true) !== 1) return 0;
                channels = view.getUint16(at + 10, true);
                rate = view.getUint32(at + 12, true);
                bits = view.getUint16(at + 22, true);
            } else if (tag(at) === "data") {
                data = at + 8;
                dataBytes = Math.min(size, length - data);
            }
            at += 8 + size + (size & 1);
        }
        if (data < 0 || bits !== 16 || channels < 1 || channels > 2 || rate < 3000 || rate > 384000) return 0;
        var frames = Math.floor(dataBytes / (2 * channels));
        if (frames === 0) return 0;
        var samples = [];
        for (var c = 0; c < channels; ++c) {
            var out = new Float32Array(frames);
            for (var i = 0; i < frames; ++i) out[i] = view.getInt16(data + 2 * (i * channels + c), true) / 32768;
            samples.push(out);
        }
        return Module.page.loadSound(samples, rate);
    },

    PagePlaySound: function (sound, volume, pan, loop) {
        Module.page.playSound(sound, volume, pan, loop !== 0);
    },

    // Stops the voices of one effect (0: all).
    PageStopSound: function (sound) { Module.page.stopSound(sound); },
});

// The web backend's picture: presentation on the canvas (WebGL or 2D), the
// canvas's sizes, and text in the page's font. The canvas, Module.canvas, is
// drawn where the program runs.

mergeInto(LibraryManager.library, {
    // Presentation. With WebGL the 16-bit frame goes to the GPU as it is, a 5-6-5
    // texture as wide as the surface's pitch, and one shader pass scales it: at a
    // whole scale each device pixel takes the texel under it (nearest); at any
    // other scale the texel coordinate is pulled to the texel's centre except in
    // the last 1/factor of it, and sampled bilinearly, which is the picture
    // enlarged nearest to the next whole factor and then smoothly down ("sharp
    // bilinear"): even pixels, edges at most one device pixel soft. Without WebGL,
    // or where its WebGL is drawn in software, the frame is converted to RGBA here
    // and put on a 2D canvas: at a whole scale one of the picture's own size, which
    // the page enlarges nearest; at any other scale one of the picture's size in
    // device pixels, drawn from the picture enlarged nearest to the next whole
    // scale and smoothly down from there (the same sharp picture).
    PageStartPresentation: function () {
        var canvas = Module.canvas || document.getElementById("canvas");
        Module.canvas = canvas;
        // WebGL drawn in software (SwiftShader, llvmpipe) takes several times
        // longer a frame than a 2D canvas at large sizes. Some browsers say so
        // (failIfMajorPerformanceCaveat); others only by the renderer's name. Asked
        // of a canvas of its own: a canvas that has given a WebGL context can give
        // no 2D one.
        var drawnInSoftware = function () {
            var probe =
                typeof OffscreenCanvas === "function" ? new OffscreenCanvas(1, 1) : document.createElement("canvas");
            var gl = null;
            try {
                gl = probe.getContext("webgl", {failIfMajorPerformanceCaveat: true});
            } catch (e) {
                gl = null;
            }
            if (!gl) return true;
            var info = gl.getExtension("WEBGL_debug_renderer_info");
            var name = gl.getParameter(gl.RENDERER) + " " + (info ? gl.getParameter(info.UNMASKED_RENDERER_WEBGL) : "");
            var lose = gl.getExtension("WEBGL_lose_context");
            if (lose) lose.loseContext();
            return /swiftshader|llvmpipe|softpipe|software|basic render|gdi generic/i.test(name);
        };
        var gl = null;
        // A page without WebGL says so to its worker.
        if (Module.page.webgl !== false && !drawnInSoftware()) try {
            gl = canvas.getContext("webgl", {alpha: false, antialias: false, depth: false, stencil: false,
                                             premultipliedAlpha: false, powerPreference: "low-power",
                                             failIfMajorPerformanceCaveat: true});
        } catch (e) {
            gl = null;
        }
        if (!gl) {
            Module.page.share("presentation", Module.presentation = "2d");
            Module.canvasContext = canvas.getContext("2d", {alpha: false});
            // A worker that cannot draw at all leaves it to the page.
            if (!Module.canvasContext && typeof document === "undefined") Module.page.runOnPage();
            return 0;
        }
        var compile = function (kind, text) {
            var shader = gl.createShader(kind);
            gl.shaderSource(shader, text);
            gl.compileShader(shader);
            return shader;
        };
        var program = gl.createProgram();
        gl.attachShader(program, compile(gl.VERTEX_SHADER,
            "attribute vec2 corner; varying vec2 at;" +
            "void main() { at = vec2(corner.x, 1.0 - corner.y); gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0); }"));
        gl.attachShader(program, compile(gl.FRAGMENT_SHADER,
            "#ifdef GL_FRAGMENT_PRECISION_HIGH\nprecision highp float;\n#else\nprecision mediump float;\n#endif\n" +
            "uniform sampler2D picture; uniform vec2 size; uniform vec2 textureSize; uniform float factor;" +
            "varying vec2 at;" +
            "void main() {" +
            "  vec2 texel = at * size; vec2 base = floor(texel); vec2 off = texel - base - 0.5;" +
            "  float keep = 0.5 - 0.5 / factor;" +
            "  vec2 pulled = base + 0.5 + (off - clamp(off, -keep, keep)) * factor;" +
            "  gl_FragColor = vec4(texture2D(picture, pulled / textureSize).rgb, 1.0);" +
            "}"));
        gl.linkProgram(program);
        if (!gl.getProgramParameter(program, gl.LINK_STATUS)) {
            // A context that cannot run the shader is no better than none. A
            // worker's canvas is spoken for: the page runs the program itself.
            if (typeof document === "undefined") {
                Module.page.runOnPage();
                return 0;
            }
            // The canvas is spoken for, so the picture goes through a second one.
            Module.page.share("presentation", Module.presentation = "2d");
            var flat = document.createElement("canvas");
            flat.id = canvas.id;
            flat.className = canvas.className;
            canvas.replaceWith(flat);
            Module.canvas = flat;
            Module.canvasContext = flat.getContext("2d", {alpha: false});
            return 0;
        }
        gl.useProgram(program);
        var corners = gl.createBuffer();
        gl.bindBuffer(gl.ARRAY_BUFFER, corners);
        gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([0, 0, 1, 0, 0, 1, 1, 1]), gl.STATIC_DRAW);
        var corner = gl.getAttribLocation(program, "corner");
        gl.enableVertexAttribArray(corner);
        gl.vertexAttribPointer(corner, 2, gl.FLOAT, false, 0, 0);
        var texture = gl.createTexture();
        gl.bindTexture(gl.TEXTURE_2D, texture);
        gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_S, gl.CLAMP_TO_EDGE);
        gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_T, gl.CLAMP_TO_EDGE);
        gl.pixelStorei(gl.UNPACK_ALIGNMENT, 2);
        gl.uniform1i(gl.getUniformLocation(program, "picture"), 0);
        Module.page.share("presentation", Module.presentation = "webgl");
        Module.gl = {gl: gl, size: gl.getUniformLocation(program, "size"),
                     textureSize: gl.getUniformLocation(program, "textureSize"),
                     factor: gl.getUniformLocation(program, "factor"),
                     textureWidth: 0, textureHeight: 0, width: 0, height: 0, whole: 1, scale: 1};
        // Draws the last frame uploaded, at the canvas's present size.
        Module.gl.draw = function () {
            var g = Module.gl;
            if (!g.width) return;
            var filter = g.whole ? gl.NEAREST : gl.LINEAR;
            gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, filter);
            gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, filter);
            gl.viewport(0, 0, gl.drawingBufferWidth, gl.drawingBufferHeight);
            gl.uniform2f(g.size, g.width, g.height);
            gl.uniform2f(g.textureSize, g.textureWidth, g.textureHeight);
            gl.uniform1f(g.factor, g.scale);
            gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);
        };
        return 1;
    },

    // The frame's width x height pixels, rows `pitch` pixels apart.
    PagePresentGL: function (pixels, pitch, width, height) {
        var g = Module.gl, gl = g.gl;
        var data = new Uint16Array(HEAPU8.buffer, pixels, pitch * height);
        if (g.textureWidth !== pitch || g.textureHeight !== height) {
            gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGB, pitch, height, 0, gl.RGB, gl.UNSIGNED_SHORT_5_6_5, data);
            g.textureWidth = pitch;
            g.textureHeight = height;
        } else {
            gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, 0, pitch, height, gl.RGB, gl.UNSIGNED_SHORT_5_6_5, data);
        }
        g.width = width;
        g.height = height;
        g.draw();
    },

    // Sizes the canvas: its drawing buffer the picture in device pixels (WebGL)
    // or in logical pixels (2D), here; its size on the page in CSS pixels, by
    // the page.
    PageSizeCanvas: function (bufferWidth, bufferHeight, cssWidth, cssHeight, whole, factor) {
        var canvas = Module.canvas;
        if (canvas.width !== bufferWidth) canvas.width = bufferWidth;
        if (canvas.height !== bufferHeight) canvas.height = bufferHeight;
        Module.page.styleCanvas(cssWidth, cssHeight, whole ? factor + "x" : "filled");
        if (Module.gl) {
            Module.gl.whole = whole;
            Module.gl.scale = factor;
            Module.gl.draw();
        }
        // The 2D canvas: at a scale that is not whole, the frame is enlarged by
        // this factor and drawn smoothly down to the canvas's size.
        Module.sharpFactor = whole ? 0 : factor;
    },

    // Puts width x height RGBA pixels on the 2D canvas: at its top-left corner,
    // or filling it sharp (Module.sharpFactor). The ImageData over them is made
    // once, and again only when they move or the memory grows (which replaces its
    // buffer).
    PagePutPixels: function (rgba, width, height) {
        var image = Module.canvasImage;
        if (!image || image.data.buffer !== HEAPU8.buffer || image.data.byteOffset !== rgba || image.width !== width ||
            image.height !== height) {
            image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4), width, height);
            Module.canvasImage = image;
        }
        var context = Module.canvasContext, factor = Module.sharpFactor;
        if (!context) return;
        if (!factor) {
            context.putImageData(image, 0, 0);
            return;
        }
        // Two canvases of the page's own: the frame, and the frame enlarged
        // nearest by the factor.
        var sharp = Module.sharp;
        if (!sharp || sharp.width !== width || sharp.height !== height || sharp.factor !== factor) {
            var make = function (w, h) {
                if (typeof OffscreenCanvas === "function") return new OffscreenCanvas(w, h);
                var made = document.createElement("canvas");
                made.width = w;
                made.height = h;
                return made;
            };
            sharp = Module.sharp = {width: width, height: height, factor: factor, frame: make(width, height),
                                    large: make(width * factor, height * factor)};
            sharp.frameContext = sharp.frame.getContext("2d", {alpha: false});
            sharp.largeContext = sharp.large.getContext("2d", {alpha: false});
        }
        sharp.frameContext.putImageData(image, 0, 0);
        sharp.largeContext.imageSmoothingEnabled = false;
        sharp.largeContext.drawImage(sharp.frame, 0, 0, width * factor, height * factor);
        // Bilinear, not mipmapped: a device pixel inside a game pixel keeps its colour.
        context.imageSmoothingEnabled = true;
        context.imageSmoothingQuality = "low";
        context.drawImage(sharp.large, 0, 0, Module.canvas.width, Module.canvas.height);
    },

    PageClearCanvas: function () {
        if (Module.gl) {
            var gl = Module.gl.gl;
            gl.clearColor(0, 0, 0, 1);
            gl.clear(gl.COLOR_BUFFER_BIT);
            return;
        }
        var canvas = Module.canvas;
        if (!Module.canvasContext) return;
        Module.canvasContext.fillStyle = "#000";
        Module.canvasContext.fillRect(0, 0, canvas.width, canvas.height);
    },

    // Text in the page's font, single-byte characters as Latin-1.
    PageTextWidth: function (text, length, height) {
        if (!Module.textCanvas) {
            Module.textCanvas =
                typeof document === "undefined" ? new OffscreenCanvas(1, 1) : document.createElement("canvas");
            Module.textContext = Module.textCanvas.getContext("2d", {willReadFrequently: true});
        }
        var s = "";
        for (var i = 0; i < length; ++i) s += String.fromCharCode(HEAPU8[text + i]);
        var ctx = Module.textContext;
        ctx.font = '13px "DejaVu Sans", sans-serif';
        var m = ctx.measureText(s);
        var h = Math.ceil((m.fontBoundingBoxAscent || 12) + (m.fontBoundingBoxDescent || 4));
        HEAP32[height >> 2] = h;
        return Math.ceil(m.width);
    },

    PageRasteriseText: function (text, length, red, green, blue, rgba, width, height) {
        var canvas = Module.textCanvas;
        canvas.width = width;
        canvas.height = height;
        var ctx = Module.textContext;
        var s = "";
        for (var i = 0; i < length; ++i) s += String.fromCharCode(HEAPU8[text + i]);
        ctx.clearRect(0, 0, width, height);
        ctx.font = '13px "DejaVu Sans", sans-serif';
        ctx.textBaseline = "top";
        ctx.fillStyle = "rgb(" + red + "," + green + "," + blue + ")";
        ctx.fillText(s, 0, 0);
        HEAPU8.set(ctx.getImageData(0, 0, width, height).data, rgba);
    },
});

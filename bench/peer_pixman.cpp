// pixman on the benchmark's pictures: r5g6b5 images composited with SRC
// (tiles), ADD (glow), OVER from premultiplied a8r8g8b8 (alpha and keyed
// pictures), and SRC through a rotation transform with the nearest filter.
#include <pixman.h>

#include <cmath>
#include <cstring>

#include "bench/scene.h"

namespace {

pixman_image_t* Image565(const std::vector<uint16_t>& words, int w, int h) {
    pixman_image_t* image = pixman_image_create_bits(PIXMAN_r5g6b5, w, h, nullptr, 0);
    uint8_t* bits = reinterpret_cast<uint8_t*>(pixman_image_get_data(image));
    const int stride = pixman_image_get_stride(image);
    for (int y = 0; y < h; ++y)
        std::memcpy(bits + y * stride, &words[static_cast<size_t>(y * w)], static_cast<size_t>(w) * 2);
    return image;
}

// Premultiplied a8r8g8b8, pixman's own form.
pixman_image_t* Argb(const Picture& p) {
    pixman_image_t* image = pixman_image_create_bits(PIXMAN_a8r8g8b8, p.width, p.height, nullptr, 0);
    uint32_t* bits = pixman_image_get_data(image);
    const int stride = pixman_image_get_stride(image) / 4;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const size_t i = static_cast<size_t>(y * p.width + x);
            const uint32_t a = p.alpha[i];
            const uint8_t* c = &p.rgb[i * 3];
            bits[y * stride + x] = a << 24 | (c[0] * a / 255) << 16 | (c[1] * a / 255) << 8 | (c[2] * a / 255);
        }
    return image;
}

pixman_image_t* Screen() {
    static pixman_image_t* screen =
        Image565(std::vector<uint16_t>(Scene::kScreenWidth * Scene::kScreenHeight, 0x4208), Scene::kScreenWidth,
                 Scene::kScreenHeight);
    return screen;
}

Work CompositeAll(pixman_op_t op, pixman_image_t* picture, const std::vector<Point>& at) {
    const int w = pixman_image_get_width(picture), h = pixman_image_get_height(picture);
    pixman_image_t* screen = Screen();
    return [=, &at] {
        for (const Point& p : at)
            pixman_image_composite32(op, picture, nullptr, screen, 0, 0, 0, 0, p.x, p.y, w, h);
    };
}

}  // namespace

Work PixmanWork(Op op) {
    const Scene& s = TheScene();
    switch (op) {
        case Op::kTiled: return CompositeAll(PIXMAN_OP_SRC, Image565(EngineWords(s.tile, 0), 64, 64), s.tilePositions);
        case Op::kKeyed: return nullptr;
        case Op::kAdditive:
            return CompositeAll(PIXMAN_OP_ADD, Image565(EngineWords(s.glow, 3), 20, 20), s.glowPositions);
        case Op::kAlpha: return CompositeAll(PIXMAN_OP_OVER, Argb(s.blend), s.blendPositions);
        case Op::kRotate: {
            pixman_image_t* source = Image565(EngineWords(s.sprite, 1), 80, 80);
            pixman_image_t* target = pixman_image_create_bits(PIXMAN_r5g6b5, 80, 80, nullptr, 0);
            // Target pixel centres, turned about the centre, into the source.
            const double radians = s.rotateDegrees * 3.141592653589793 / 180.0;
            pixman_f_transform_t f;
            pixman_f_transform_init_identity(&f);
            pixman_f_transform_translate(&f, nullptr, -40.0, -40.0);
            pixman_f_transform_rotate(&f, nullptr, std::cos(radians), std::sin(radians));
            pixman_f_transform_translate(&f, nullptr, 40.0, 40.0);
            pixman_transform_t t;
            pixman_transform_from_pixman_f_transform(&t, &f);
            pixman_image_set_transform(source, &t);
            pixman_image_set_filter(source, PIXMAN_FILTER_NEAREST, nullptr, 0);
            return [source, target] {
                pixman_image_composite32(PIXMAN_OP_SRC, source, nullptr, target, 0, 0, 0, 0, 0, 0, 80, 80);
            };
        }
        case Op::kClipReject: return CompositeAll(PIXMAN_OP_OVER, Argb(s.small), s.clipPositions);
    }
    return nullptr;
}

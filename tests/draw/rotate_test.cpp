#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "draw/blit_kernels.h"
#include "draw/rotate_pass.h"
#include "image/image.h"

namespace {

// A 16-bit source whose pixel (x, y) holds y * 256 + x + 1 (never the key),
// with alpha byte (x + y) % 200 when asked for, without an alpha buffer
// otherwise.
void MakeSource(Image& image, int w, int h, bool withAlpha) {
    image.Allocate(w, h, withAlpha ? IMAGE_RGB16 | IMAGE_ALPHA : IMAGE_RGB16);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            image.Pixels16()[y * w + x] = static_cast<uint16_t>(y * 256 + x + 1);
            if (withAlpha) image.alpha[y * w + x] = static_cast<uint8_t>((x + y) % 200);
        }
    if (!withAlpha) {
        // As after alpha mode 1: the alpha buffer is gone.
        delete[] image.alpha;
        image.alpha = nullptr;
    }
}

uint16_t SourceWord(int x, int y) { return static_cast<uint16_t>(y * 256 + x + 1); }

uint16_t At(const Image& image, int x, int y) { return image.Pixels16()[y * image.width + x]; }

class RotateLevels : public testing::TestWithParam<BlitLevel> {
protected:
    void SetUp() override {
        if (!SetBlitLevel(GetParam())) GTEST_SKIP() << "processor lacks this level";
    }
    void TearDown() override { RestoreBestBlitLevel(); }
};

TEST_P(RotateLevels, AngleZeroShiftsDownOneRowAndClearsTheLastColumn) {
    for (int n : {8, 50, 70, 80}) {
        SCOPED_TRACE(n);
        Image source, target(n, n, IMAGE_RGB16 | IMAGE_ALPHA);
        MakeSource(source, n, n, false);
        source.Rotate(&target, 0.0f, 1.0f);
        for (int c = 0; c < n; ++c) ASSERT_EQ(At(target, c, 0), 0) << "row 0, column " << c;
        for (int r = 1; r < n; ++r) {
            for (int c = 0; c <= n - 2; ++c) ASSERT_EQ(At(target, c, r), SourceWord(c, r - 1)) << c << "," << r;
            ASSERT_EQ(At(target, n - 1, r), 0) << "row " << r;
        }
    }
}

TEST_P(RotateLevels, AngleNinetyTurnsCounterclockwise) {
    for (int n : {8, 50, 80}) {
        SCOPED_TRACE(n);
        Image source, target(n, n, IMAGE_RGB16);
        MakeSource(source, n, n, false);
        source.Rotate(&target, 90.0f, 1.0f);
        for (int c = 0; c < n; ++c) ASSERT_EQ(At(target, c, 0), 0) << "row 0, column " << c;
        for (int r = 1; r < n; ++r)
            for (int c = 0; c <= n - 2; ++c) ASSERT_EQ(At(target, c, r), SourceWord(n - r, c)) << c << "," << r;
    }
}

TEST_P(RotateLevels, SmallSourceLandsInTheMiddle) {
    Image source, target(80, 80, IMAGE_RGB16 | IMAGE_ALPHA);
    MakeSource(source, 50, 50, true);
    source.Rotate(&target, 0.0f, 1.0f);
    for (int r = 0; r < 80; ++r)
        for (int c = 0; c < 80; ++c) {
            const bool covered = r >= 16 && r <= 65 && c >= 15 && c <= 63;
            ASSERT_EQ(At(target, c, r), covered ? SourceWord(c - 15, r - 16) : 0) << c << "," << r;
            ASSERT_EQ(target.alpha[r * 80 + c], covered ? (c - 15 + r - 16) % 200 : 255) << c << "," << r;
        }
}

TEST_P(RotateLevels, HalfScaleStepsTwoSourcePixels) {
    Image source, target(4, 4, IMAGE_RGB16);
    MakeSource(source, 8, 8, false);
    source.Rotate(&target, 0.0f, 0.5f);
    const uint16_t expected[4][4] = {
        {0, 0, 0, 0},
        {SourceWord(0, 1), SourceWord(2, 1), SourceWord(4, 1), 0},
        {SourceWord(0, 3), SourceWord(2, 3), SourceWord(4, 3), 0},
        {SourceWord(0, 5), SourceWord(2, 5), SourceWord(4, 5), 0},
    };
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(At(target, c, r), expected[r][c]) << c << "," << r;
}

TEST_P(RotateLevels, WideSourceStretchesOnlyTheColourPass) {
    Image source, target(40, 40, IMAGE_RGB16 | IMAGE_ALPHA);
    MakeSource(source, 32, 16, true);  // q = 2
    source.Rotate(&target, 30.0f, 1.0f);
    int colourOnly = 0, alphaOnly = 0;
    for (int i = 0; i < 40 * 40; ++i) {
        const bool colour = target.Pixels16()[i] != 0, alpha = target.alpha[i] != 255;
        colourOnly += colour && !alpha;
        alphaOnly += alpha && !colour;
    }
    EXPECT_GT(colourOnly, 0);
    EXPECT_GT(alphaOnly, 0);
}

TEST_P(RotateLevels, TallSourceColourPassIgnoresTheSine) {
    Image source, target(30, 30, IMAGE_RGB16);
    MakeSource(source, 16, 32, false);  // q = 0
    source.Rotate(&target, 30.0f, 1.0f);
    // No y step along a row: every copied pixel of a row comes from one
    // source row, and the row's x steps are cos 30 apart.
    for (int r = 0; r < 30; ++r) {
        int sourceRow = -1;
        for (int c = 0; c < 30; ++c) {
            const uint16_t w = At(target, c, r);
            if (w == 0) continue;
            if (sourceRow < 0) sourceRow = (w - 1) / 256;
            ASSERT_EQ((w - 1) / 256, sourceRow) << c << "," << r;
        }
    }
}

TEST_P(RotateLevels, NothingHappensWithoutWhatAPassNeeds) {
    Image source, target(6, 6, IMAGE_RGB16 | IMAGE_ALPHA);
    MakeSource(source, 6, 6, false);
    for (int i = 0; i < 36; ++i) {
        target.Pixels16()[i] = 0x5A5A;
        target.alpha[i] = 7;
    }
    source.Rotate(&target, 10.0f, 0.0f);  // scale 0
    source.Rotate(nullptr, 10.0f, 1.0f);
    source.Rotate(&source, 10.0f, 1.0f);
    for (int i = 0; i < 36; ++i) ASSERT_EQ(target.Pixels16()[i], 0x5A5A);
    source.Rotate(&target, 10.0f, 1.0f);  // keyed source: alpha bytes stay
    for (int i = 0; i < 36; ++i) ASSERT_EQ(target.alpha[i], 7);
    Image noPixels(6, 6, 0);
    source.Rotate(&noPixels, 10.0f, 1.0f);
    EXPECT_EQ(noPixels.data, nullptr);
}

// The rules for one pass written out step by step, with every rounding where
// the rules put it: R and X0, A, B, EA, EB rounded to float; Y0 and the walk
// in double. q is sw / sh for the colour pass and 1 for the alpha pass.
template <class T>
std::vector<T> RotateByTheRules(const std::vector<T>& source, int sw, int sh, int tw, int th, float angle,
                                float scale, double q, T clear) {
    const double k = 0.01745328888888889;
    const double s = scale;
    const float R = static_cast<float>(static_cast<float>(std::sqrt(static_cast<double>(tw * tw + th * th))) * 0.5);
    const double beta = (135.0 - angle) * k;
    const double alpha = angle * k;
    const float X0 = static_cast<float>(R * std::cos(beta) / s + sw * 0.5);
    const double Y0 = sh * 0.5 - std::sin(beta) * q * R / s;
    const float A = static_cast<float>(std::cos(alpha) / s);
    const float B = static_cast<float>(q * std::sin(alpha) / s);
    const float EA = static_cast<float>(tw * A);
    const float EB = static_cast<float>(tw * B);
    auto inside = [&](double x, double y) { return x >= 0 && x < sw && y >= 0 && y < sh; };

    std::vector<T> target(static_cast<size_t>(tw * th));
    double xr = X0, yr = Y0;
    for (int r = 0; r < th; ++r) {
        T* row = &target[static_cast<size_t>(r * tw)];
        int n = tw;
        double xe = xr + EA, ye = yr + EB;
        for (int p = tw - 1; !inside(xe, ye) && n > 0; --p, --n) {
            row[p] = clear;
            xe -= A;
            ye -= B;
        }
        double x = xr, y = yr;
        int p = 0;
        for (; !inside(x, y) && n > 0; ++p, --n) {
            row[p] = clear;
            x += A;
            y += B;
        }
        for (; n > 0; --n, ++p) {
            if (!inside(x, y)) {
                ADD_FAILURE() << "the rules sample outside at row " << r << ", pixel " << p;
                return target;
            }
            row[p] = source[static_cast<size_t>(static_cast<int>(y) * sw + static_cast<int>(x))];
            x += A;
            y += B;
        }
        xr -= B;
        yr += A;
    }
    return target;
}

// Rotations whose set-up the fixed cases above do not pin: at these angles a
// rounding moved (Y0 rounded to float, X0 not rounded, R kept in double, q
// left out of Y0) changes some pixel. Both passes, against the rules.
TEST_P(RotateLevels, SetUpRoundsWhereTheRulesSay) {
    const struct {
        int sw, sh, tw, th;
        float angle, scale;
    } cases[] = {
        {8, 8, 8, 8, 45.0f, 1.0f},    {8, 8, 8, 8, 60.0f, 1.0f},     {8, 8, 8, 8, 120.0f, 1.0f},
        {16, 8, 16, 16, 30.0f, 1.0f}, {16, 8, 16, 16, 150.0f, 1.0f}, {8, 8, 12, 12, 200.0f, 0.75f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.sw << "x" << c.sh << " into " << c.tw << "x" << c.th << " at "
                                        << c.angle << " scale " << c.scale);
        Image source, target(c.tw, c.th, IMAGE_RGB16 | IMAGE_ALPHA);
        MakeSource(source, c.sw, c.sh, true);
        source.Rotate(&target, c.angle, c.scale);
        const std::vector<uint16_t> words(source.Pixels16(), source.Pixels16() + c.sw * c.sh);
        const std::vector<uint8_t> alphas(source.alpha, source.alpha + c.sw * c.sh);
        const std::vector<uint16_t> colour = RotateByTheRules<uint16_t>(
            words, c.sw, c.sh, c.tw, c.th, c.angle, c.scale, static_cast<double>(c.sw / c.sh), 0);
        const std::vector<uint8_t> alpha =
            RotateByTheRules<uint8_t>(alphas, c.sw, c.sh, c.tw, c.th, c.angle, c.scale, 1.0, 255);
        EXPECT_EQ(std::vector<uint16_t>(target.Pixels16(), target.Pixels16() + c.tw * c.th), colour);
        EXPECT_EQ(std::vector<uint8_t>(target.alpha, target.alpha + c.tw * c.th), alpha);
    }
}

// The colour pass moves 16-bit words; a picture of one byte a pixel on
// either side is neither read nor written.
TEST_P(RotateLevels, PicturesOfOneByteAPixelAreLeftAlone) {
    Image wide16, target16(8, 8, IMAGE_RGB16);
    MakeSource(wide16, 8, 8, false);
    for (const uint8_t mode : std::vector<uint8_t>{0x04, 0x08, 0x18}) {
        SCOPED_TRACE(testing::Message() << "mode 0x" << std::hex << int(mode));
        Image narrow(8, 8, mode);
        for (int i = 0; i < 64; ++i) narrow.data[i] = 0x33;
        for (int i = 0; i < 64; ++i) target16.Pixels16()[i] = 0x5A5A;
        narrow.Rotate(&target16, 30.0f, 1.0f);
        for (int i = 0; i < 64; ++i) ASSERT_EQ(target16.Pixels16()[i], 0x5A5A) << i;
        wide16.Rotate(&narrow, 30.0f, 1.0f);
        for (int i = 0; i < 64; ++i) ASSERT_EQ(narrow.data[i], 0x33) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(, RotateLevels, testing::Values(BlitLevel::kScalar, BlitLevel::kAvx2),
                         [](const testing::TestParamInfo<BlitLevel>& info) {
                             return info.param == BlitLevel::kScalar ? std::string("Scalar") : std::string("Avx2");
                         });

#if defined(__x86_64__) || defined(__i386__)
// The vector pass against the scalar rule on random geometry, both planes.
TEST(RotateFastPath, MatchesTheScalarRuleBitForBit) {
    if (BlitKernelsFor(BlitLevel::kAvx2) == nullptr) GTEST_SKIP() << "no AVX2";
    const uint32_t seed = 424242;
    std::mt19937 rng(seed);
    const float fixedAngles[] = {0, 90, 180, 270, 45, -90, 360, 1e-3f};
    for (int round = 0; round < 1500; ++round) {
        const int sw = 1 + static_cast<int>(rng() % 90), sh = 1 + static_cast<int>(rng() % 90);
        const int tw = 1 + static_cast<int>(rng() % 130), th = 1 + static_cast<int>(rng() % 130);
        const float angle = round < 8 ? fixedAngles[round] : static_cast<float>(rng() % 72000) / 100.0f - 360.0f;
        const float scales[] = {1.0f, 0.5f, 2.0f, 0.37f, 3.3f};
        const float scale = scales[rng() % 5];
        std::vector<uint16_t> src(static_cast<size_t>(sw * sh));
        for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint16_t>(i + 1);
        std::vector<uint8_t> srcAlpha(src.size());
        for (size_t i = 0; i < src.size(); ++i) srcAlpha[i] = static_cast<uint8_t>(i % 251);
        const double q = rng() % 2 ? 1.0 : static_cast<double>(sw / sh);
        const RotateGeometry g = MakeRotateGeometry(sw, sh, tw, th, angle, scale, q);
        std::vector<uint16_t> words[2];
        std::vector<uint8_t> bytes[2];
        for (int pass = 0; pass < 2; ++pass) {
            words[pass].assign(static_cast<size_t>(tw * th), 0xEEEE);
            bytes[pass].assign(static_cast<size_t>(tw * th), 0xEE);
            const RotatePlane<uint16_t> colour{src.data(), sw, sh, words[pass].data(), tw, th, 0};
            const RotatePlane<uint8_t> alpha{srcAlpha.data(), sw, sh, bytes[pass].data(), tw, th, 255};
            if (pass == 0) {
                RotatePassScalar(colour, g);
                RotatePassScalar(alpha, g);
            } else {
                RotatePassAvx2(colour, g);
                RotatePassAvx2(alpha, g);
            }
        }
        ASSERT_EQ(words[0], words[1]) << "seed " << seed << " round " << round << " source " << sw << "x" << sh
                                      << " target " << tw << "x" << th << " angle " << angle << " scale " << scale;
        ASSERT_EQ(bytes[0], bytes[1]) << "seed " << seed << " round " << round;
    }
}

// The game's case, a ship's 80 x 80 sprite into its 80 x 80 target, at every
// quarter degree: the fast pass's fixed-point walk, its double walk and the
// plain walk (near multiples of 90 degrees) all come up here.
TEST(RotateFastPath, MatchesTheScalarRuleForTheShipsAtEveryQuarterDegree) {
    if (BlitKernelsFor(BlitLevel::kAvx2) == nullptr) GTEST_SKIP() << "no AVX2";
    std::vector<uint16_t> src(80 * 80);
    for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint16_t>(i + 1);
    std::vector<uint16_t> expected(src.size()), actual(src.size());
    for (int quarter = 0; quarter < 4 * 360; ++quarter) {
        const float angle = static_cast<float>(quarter) / 4.0f;
        const RotateGeometry g = MakeRotateGeometry(80, 80, 80, 80, angle, 1.0f, 1.0);
        RotatePassScalar(RotatePlane<uint16_t>{src.data(), 80, 80, expected.data(), 80, 80, 0}, g);
        RotatePassAvx2(RotatePlane<uint16_t>{src.data(), 80, 80, actual.data(), 80, 80, 0}, g);
        ASSERT_EQ(expected, actual) << "angle " << angle;
    }
}

// Geometry where the fast pass must hand rows back to the scalar rule: some
// row's last copied sample, after the walk's roundings, lies just outside the
// source (the first three), or a sample's y lands within a rounding of a
// whole number, where only the walked double decides its truncation (the
// rest).
TEST(RotateFastPath, RowsTheFastCopyCannotDecideFollowTheRule) {
    if (BlitKernelsFor(BlitLevel::kAvx2) == nullptr) GTEST_SKIP() << "no AVX2";
    const struct {
        float angle, scale;
    } cases[] = {{-323.130005f, 0.5f}, {-593.154419f, 1.0f}, {-396.893677f, 1.0f}, {45.0f, 7.0f},
                 {315.0f, 2.0f},       {224.0f, 0.999f},     {46.8800049f, 3.3f}};
    std::vector<uint16_t> src(80 * 80);
    for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint16_t>(i + 1);
    std::vector<uint16_t> expected(src.size()), actual(src.size());
    for (const auto& c : cases) {
        const RotateGeometry g = MakeRotateGeometry(80, 80, 80, 80, c.angle, c.scale, 1.0);
        RotatePassScalar(RotatePlane<uint16_t>{src.data(), 80, 80, expected.data(), 80, 80, 0}, g);
        RotatePassAvx2(RotatePlane<uint16_t>{src.data(), 80, 80, actual.data(), 80, 80, 0}, g);
        EXPECT_EQ(expected, actual) << "angle " << c.angle << " scale " << c.scale;
    }
}
#endif

}  // namespace

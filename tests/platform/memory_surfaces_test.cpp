#include "platform/memory_surfaces.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;

SurfaceDesc OffScreen(int width, int height) {
    SurfaceDesc request;
    request.dwSize = kSurfaceDescSize;
    request.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    request.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    request.dwWidth = static_cast<uint32_t>(width);
    request.dwHeight = static_cast<uint32_t>(height);
    return request;
}

SurfaceDesc Primary(bool chain) {
    SurfaceDesc request;
    request.dwSize = kSurfaceDescSize;
    request.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    request.dwBackBufferCount = 1;
    request.dwCaps = DDSCAPS_PRIMARYSURFACE | (chain ? DDSCAPS_FLIP | DDSCAPS_COMPLEX : 0);
    return request;
}

// Rows are the width plus the padding, rounded up to the alignment; a flip
// chain's back buffer follows the same rule, the primary never pads.
TEST(MemorySurfaces, RowLengthFollowsTheBackendsRules) {
    struct Case {
        int width, align, padding, pitchBytes;
    };
    for (const Case c : {Case{755, 4, 0, 1512}, Case{755, 2, 0, 1510}, Case{756, 4, 0, 1512}, Case{755, 2, 3, 1516},
                         Case{755, 4, 2, 1516}}) {
        MemorySurfaces surfaces;
        SurfaceRules rules;
        rules.primaryWidth = c.width;
        rules.primaryHeight = 3;
        rules.rowAlignBytes = c.align;
        rules.rowPaddingPixels = c.padding;
        SurfaceHandle offScreen = nullptr, primary = nullptr, back = nullptr;
        ASSERT_EQ(surfaces.Create(OffScreen(c.width, 3), rules, offScreen), DD_OK);
        ASSERT_EQ(surfaces.Create(Primary(true), rules, primary), DD_OK);
        ASSERT_EQ(surfaces.GetAttached(primary, DDSCAPS_BACKBUFFER, back), DD_OK);
        for (SurfaceHandle s : {offScreen, back}) {
            EXPECT_EQ(MemorySurfaces::From(s)->pitchBytes, c.pitchBytes) << c.width << " " << c.align;
            EXPECT_EQ(MemorySurfaces::From(s)->pixels.size(), static_cast<size_t>(c.pitchBytes / 2 * 3));
        }
        EXPECT_EQ(MemorySurfaces::From(primary)->pitchBytes, c.width * 2);
    }
}

// A surface locks once until unlocked, not while lost, and a primary only
// when it holds pixels; a back buffer comes only with a flip chain.
TEST(MemorySurfaces, LockUnlockLossAndChains) {
    MemorySurfaces surfaces;
    SurfaceRules rules;
    rules.primaryWidth = 8;
    rules.primaryHeight = 4;
    SurfaceHandle s = nullptr;
    ASSERT_EQ(surfaces.Create(OffScreen(8, 4), rules, s), DD_OK);
    SurfaceDesc desc;
    EXPECT_EQ(surfaces.Unlock(s), DDERR_NOTLOCKED);
    EXPECT_EQ(surfaces.Lock(s, desc), DD_OK);
    EXPECT_EQ(desc.lpSurface, MemorySurfaces::From(s)->pixels.data());
    EXPECT_EQ(surfaces.Lock(s, desc), DDERR_SURFACEBUSY);
    EXPECT_EQ(surfaces.Unlock(s), DD_OK);
    EXPECT_EQ(surfaces.Unlock(s), DDERR_NOTLOCKED);
    MemorySurfaces::From(s)->lost = true;
    EXPECT_EQ(surfaces.Lock(s, desc), DDERR_SURFACELOST);
    surfaces.Restore(s);
    EXPECT_EQ(surfaces.Lock(s, desc), DD_OK);

    SurfaceHandle bare = nullptr, back = nullptr;
    ASSERT_EQ(surfaces.Create(Primary(false), rules, bare), DD_OK);
    EXPECT_EQ(surfaces.GetAttached(bare, DDSCAPS_BACKBUFFER, back), DDERR_NOTFOUND);
    EXPECT_EQ(surfaces.Lock(bare, desc), DDERR_CANTLOCKSURFACE);
    rules.primaryPixels = true;
    SurfaceHandle shown = nullptr;
    ASSERT_EQ(surfaces.Create(Primary(false), rules, shown), DD_OK);
    EXPECT_EQ(surfaces.Lock(shown, desc), DD_OK);
    EXPECT_EQ(MemorySurfaces::From(shown)->pixels.size(), 8u * 4u);
}

}  // namespace

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tests/support/engine_fixture.h"

using namespace platform;

namespace {

std::string LogFor(HResult code) {
    debugLog.Open("debug.txt");
    Tarvo.LogDirectXError(code);
    std::ifstream in("debug.txt", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_F(EngineTest, DirectXErrorLinesQuotedVerbatim) {
    const std::pair<HResult, std::string> rows[] = {
        {DDERR_GENERIC, "DirectX: Generic failure.\n"},
        {DDERR_UNSUPPORTED, "DirectX: Action not supported.\n"},
        {DDERR_OUTOFMEMORY, "DirectX: DirectDraw does not have enough memory to perform the operation.\n"},
        {DDERR_OUTOFVIDEOMEMORY, "DirectX: DirectDraw does not have enough memory to perform the operation.\n"},
        {DDERR_SURFACELOST,
         "DirectX: Access to this surface is being refused because the surface memory is gone. The DirectDrawSurface "
         "object representing this surface should have Restore called on it.\n"},
        {DDERR_WASSTILLDRAWING,
         "DirectX: Informs DirectDraw that the previous Blt which is transfering information to or from this Surface "
         "is incomplete.\n"},
        {DDERR_TOOBIGSIZE, "DirectX: Size requested by DirectDraw is too large --\tthe individual height and width are OK.\n"},
        {DDERR_NOTAOVERLAYSURFACE, "DirctX: Returned when an overlay member is called for a non-overlay surface.\n"},
        {DDERR_NOTPALETTESURFACE, "DirectX: The surface being used is not a palette-based surface.\n"},
    };
    for (const auto& [code, line] : rows) EXPECT_EQ(LogFor(code), line + "  ");
}

TEST_F(EngineTest, DirectXErrorKnowsEightyNineCodesAndNothingElse) {
    const HResult known[] = {
        DDERR_UNSUPPORTED, DDERR_GENERIC, DDERR_OUTOFMEMORY, DDERR_INVALIDPARAMS, DDERR_ALREADYINITIALIZED,
        DDERR_CANNOTATTACHSURFACE, DDERR_CANNOTDETACHSURFACE, DDERR_CURRENTLYNOTAVAIL, DDERR_EXCEPTION,
        DDERR_HEIGHTALIGN, DDERR_INCOMPATIBLEPRIMARY, DDERR_INVALIDCAPS, DDERR_INVALIDCLIPLIST, DDERR_INVALIDMODE,
        DDERR_INVALIDOBJECT, DDERR_INVALIDPIXELFORMAT, DDERR_INVALIDRECT, DDERR_LOCKEDSURFACES, DDERR_NO3D,
        DDERR_NOALPHAHW, DDERR_NOCLIPLIST, DDERR_NOCOLORCONVHW, DDERR_NOCOOPERATIVELEVELSET, DDERR_NOCOLORKEY,
        DDERR_NOCOLORKEYHW, DDERR_NOEXCLUSIVEMODE, DDERR_NOFLIPHW, DDERR_NOGDI, DDERR_NOMIRRORHW, DDERR_NOTFOUND,
        DDERR_NOOVERLAYHW, DDERR_NORASTEROPHW, DDERR_NOROTATIONHW, DDERR_NOSTRETCHHW, DDERR_NOT4BITCOLOR,
        DDERR_NOT4BITCOLORINDEX, DDERR_NOT8BITCOLOR, DDERR_NOTEXTUREHW, DDERR_NOVSYNCHW, DDERR_NOZBUFFERHW,
        DDERR_NOZOVERLAYHW, DDERR_OUTOFCAPS, DDERR_OUTOFVIDEOMEMORY, DDERR_OVERLAYCANTCLIP,
        DDERR_OVERLAYCOLORKEYONLYONEACTIVE, DDERR_PALETTEBUSY, DDERR_COLORKEYNOTSET, DDERR_SURFACEALREADYATTACHED,
        DDERR_SURFACEALREADYDEPENDENT, DDERR_SURFACEBUSY, DDERR_SURFACEISOBSCURED, DDERR_SURFACELOST,
        DDERR_SURFACENOTATTACHED, DDERR_TOOBIGHEIGHT, DDERR_TOOBIGSIZE, DDERR_TOOBIGWIDTH, DDERR_UNSUPPORTEDFORMAT,
        DDERR_UNSUPPORTEDMASK, DDERR_VERTICALBLANKINPROGRESS, DDERR_WASSTILLDRAWING, DDERR_INVALIDDIRECTDRAWGUID,
        DDERR_DIRECTDRAWALREADYCREATED, DDERR_NODIRECTDRAWHW, DDERR_PRIMARYSURFACEALREADYEXISTS, DDERR_NOEMULATION,
        DDERR_REGIONTOOSMALL, DDERR_CLIPPERISUSINGHWND, DDERR_NOCLIPPERATTACHED, DDERR_NOHWND,
        DDERR_HWNDSUBCLASSED, DDERR_HWNDALREADYSET, DDERR_NOPALETTEATTACHED, DDERR_NOPALETTEHW,
        DDERR_BLTFASTCANTCLIP, DDERR_NOBLTHW, DDERR_NODDROPSHW, DDERR_OVERLAYNOTVISIBLE, DDERR_NOOVERLAYDEST,
        DDERR_INVALIDPOSITION, DDERR_NOTAOVERLAYSURFACE, DDERR_EXCLUSIVEMODEALREADYSET, DDERR_NOTFLIPPABLE,
        DDERR_CANTDUPLICATE, DDERR_NOTLOCKED, DDERR_CANTCREATEDC, DDERR_NODC, DDERR_WRONGMODE,
        DDERR_IMPLICITLYCREATED, DDERR_NOTPALETTESURFACE};
    static_assert(sizeof known / sizeof known[0] == 89);
    std::set<HResult> distinct(std::begin(known), std::end(known));
    EXPECT_EQ(distinct.size(), 89u);
    for (HResult code : known) {
        const std::string log = LogFor(code);
        SCOPED_TRACE(code);
        const bool prefixed = log.rfind("DirectX: ", 0) == 0 || log.rfind("DirctX: ", 0) == 0;
        EXPECT_TRUE(prefixed) << log;
        EXPECT_EQ(log.find('\n'), log.size() - 3);
        EXPECT_GT(log.size(), 20u);
    }
    for (HResult code : {DDERR_CANTLOCKSURFACE, DDERR_XALIGN, DDERR_UNSUPPORTEDMODE, DD_OK, HResult{12345}})
        EXPECT_EQ(LogFor(code), "");
}

}  // namespace

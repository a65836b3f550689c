#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "tests/support/engine_fixture.h"

using namespace platform;

namespace {

// What the debug log holds after the codes are logged.
std::string LogFor(std::initializer_list<HResult> codes) {
    debugLog.Open("debug.txt");
    for (HResult code : codes) Tarvo.LogDirectXError(code);
    std::ifstream in("debug.txt", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// One row of each kind, chosen for what a table typed by hand gets wrong:
// the first and the last key, two codes that share a text, the longest line,
// the line with a tab, the one misspelt prefix.
TEST_F(EngineTest, DirectXErrorLinesQuotedVerbatim) {
    const std::pair<HResult, std::string> rows[] = {
        {DDERR_UNSUPPORTED, "DirectX: Action not supported.\n"},
        {DDERR_GENERIC, "DirectX: Generic failure.\n"},
        {DDERR_OUTOFMEMORY, "DirectX: DirectDraw does not have enough memory to perform the operation.\n"},
        {DDERR_OUTOFVIDEOMEMORY, "DirectX: DirectDraw does not have enough memory to perform the operation.\n"},
        {DDERR_SURFACELOST,
         "DirectX: Access to this surface is being refused because the surface memory is gone. The DirectDrawSurface "
         "object representing this surface should have Restore called on it.\n"},
        {DDERR_WASSTILLDRAWING,
         "DirectX: Informs DirectDraw that the previous Blt which is transfering information to or from this Surface "
         "is incomplete.\n"},
        {DDERR_TOOBIGSIZE,
         "DirectX: Size requested by DirectDraw is too large --\tthe individual height and width are OK.\n"},
        {DDERR_NOTAOVERLAYSURFACE, "DirctX: Returned when an overlay member is called for a non-overlay surface.\n"},
        {DDERR_NOTPALETTESURFACE, "DirectX: The surface being used is not a palette-based surface.\n"},
    };
    for (const auto& [code, line] : rows) EXPECT_EQ(LogFor({code}), line + "  ");
}

// Codes DirectDraw has and the table lacks, success, and a number that is no
// code at all write nothing; the next known code still writes its one line.
TEST_F(EngineTest, DirectXErrorWritesNothingForCodesItDoesNotKnow) {
    for (HResult code : {DDERR_CANTLOCKSURFACE, DDERR_XALIGN, DDERR_UNSUPPORTEDMODE, DD_OK, HResult{12345}}) {
        SCOPED_TRACE(code);
        EXPECT_EQ(LogFor({code}), "");
    }
    EXPECT_EQ(LogFor({DDERR_XALIGN, DDERR_GENERIC}), "DirectX: Generic failure.\n  ");
}

}  // namespace

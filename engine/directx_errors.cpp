// Descriptions of video result codes for the debug log.
#include "base/debug_log.h"
#include "engine/windows_dx.h"

using namespace platform;

namespace {

struct ErrorLine {
    HResult code;
    const char* line;
};

// In code order. One line per known code; unknown codes write nothing.
const ErrorLine kErrorLines[] = {
    {DDERR_UNSUPPORTED, "DirectX: Action not supported.\n"},
    {DDERR_GENERIC, "DirectX: Generic failure.\n"},
    {DDERR_OUTOFMEMORY, "DirectX: DirectDraw does not have enough memory to perform the operation.\n"},
    {DDERR_INVALIDPARAMS, "DirectX: One or more of the parameters passed to the method are incorrect.\n"},
    {DDERR_ALREADYINITIALIZED, "DirectX: The object has already been initialized.\n"},
    {DDERR_CANNOTATTACHSURFACE, "DirectX: A surface cannot be attached to another requested surface.\n"},
    {DDERR_CANNOTDETACHSURFACE, "DirectX: A surface cannot be detached from another requested surface.\n"},
    {DDERR_CURRENTLYNOTAVAIL, "DirectX: No support is currently available.\n"},
    {DDERR_EXCEPTION, "DirectX: An exception was encountered while performing the requested operation.\n"},
    {DDERR_HEIGHTALIGN, "DirectX: The height of the provided rectangle is not a multiple of the required alignment.\n"},
    {DDERR_INCOMPATIBLEPRIMARY, "DirectX: The primary surface creation request does not match the existing primary surface.\n"},
    {DDERR_INVALIDCAPS, "DirectX: One or more of the capability bits passed to the callback function are incorrect.\n"},
    {DDERR_INVALIDCLIPLIST, "DirectX: DirectDraw does not support the provided clip list.\n"},
    {DDERR_INVALIDMODE, "DirectX: DirectDraw does not support the requested mode.\n"},
    {DDERR_INVALIDOBJECT, "DirectX: DirectDraw received a pointer that was an invalid DirectDraw object.\n"},
    {DDERR_INVALIDPIXELFORMAT, "DirectX: The pixel format was invalid as specified.\n"},
    {DDERR_INVALIDRECT, "DirectX: The provided rectangle was invalid.\n"},
    {DDERR_LOCKEDSURFACES, "DirectX: One or more surfaces are locked, preventing the operation.\n"},
    {DDERR_NO3D, "DirectX: No 3D hardware or emulation is present.\n"},
    {DDERR_NOALPHAHW, "DirectX: No alpha acceleration hardware is present or available.\n"},
    {DDERR_NOCLIPLIST, "DirectX: No clip list is available.\n"},
    {DDERR_NOCOLORCONVHW, "DirectX: No color-conversion hardware is present or available.\n"},
    {DDERR_NOCOOPERATIVELEVELSET, "DirectX: A create function was called before the cooperative level was set.\n"},
    {DDERR_NOCOLORKEY, "DirectX: The surface does not currently have a color key.\n"},
    {DDERR_NOCOLORKEYHW, "DirectX: There is no hardware support for the destination color key.\n"},
    {DDERR_NOEXCLUSIVEMODE, "DirectX: The operation requires the application to have exclusive mode.\n"},
    {DDERR_NOFLIPHW, "DirectX: Flipping visible surfaces is not supported.\n"},
    {DDERR_NOGDI, "DirectX: No GDI is present.\n"},
    {DDERR_NOMIRRORHW, "DirectX: No mirroring hardware is present or available.\n"},
    {DDERR_NOTFOUND, "DirectX: The requested item was not found.\n"},
    {DDERR_NOOVERLAYHW, "DirectX: No overlay hardware is present or available.\n"},
    {DDERR_NORASTEROPHW, "DirectX: No appropriate raster operation hardware is present or available.\n"},
    {DDERR_NOROTATIONHW, "DirectX: No rotation hardware is present or available.\n"},
    {DDERR_NOSTRETCHHW, "DirectX: There is no hardware support for stretching.\n"},
    {DDERR_NOT4BITCOLOR, "DirectX: The surface does not use a 4-bit color palette and one is required.\n"},
    {DDERR_NOT4BITCOLORINDEX, "DirectX: The surface does not use a 4-bit color index palette and one is required.\n"},
    {DDERR_NOT8BITCOLOR, "DirectX: The surface does not use an 8-bit color palette and one is required.\n"},
    {DDERR_NOTEXTUREHW, "DirectX: No texture-mapping hardware is present or available.\n"},
    {DDERR_NOVSYNCHW, "DirectX: There is no hardware support for vertical blank synchronized operations.\n"},
    {DDERR_NOZBUFFERHW, "DirectX: There is no hardware support for z-buffers.\n"},
    {DDERR_NOZOVERLAYHW, "DirectX: The overlay surfaces cannot be z-layered based on their z-order.\n"},
    {DDERR_OUTOFCAPS, "DirectX: The hardware needed for the requested operation has already been allocated.\n"},
    {DDERR_OUTOFVIDEOMEMORY, "DirectX: DirectDraw does not have enough memory to perform the operation.\n"},
    {DDERR_OVERLAYCANTCLIP, "DirectX: The hardware does not support clipped overlays.\n"},
    {DDERR_OVERLAYCOLORKEYONLYONEACTIVE, "DirectX: Only one color key can be active on an overlay at a time.\n"},
    {DDERR_PALETTEBUSY, "DirectX: Access to this palette is refused because it is locked by another thread.\n"},
    {DDERR_COLORKEYNOTSET, "DirectX: No source color key was specified for this operation.\n"},
    {DDERR_SURFACEALREADYATTACHED, "DirectX: The surface is already attached to the surface it was to be attached to.\n"},
    {DDERR_SURFACEALREADYDEPENDENT, "DirectX: The surface is already a dependency of the surface it was to be made dependent on.\n"},
    {DDERR_SURFACEBUSY, "DirectX: Access to the surface is refused because it is locked by another thread.\n"},
    {DDERR_SURFACEISOBSCURED, "DirectX: Access to the surface is refused because it is obscured.\n"},
    {DDERR_SURFACELOST,
     "DirectX: Access to this surface is being refused because the surface memory is gone. The DirectDrawSurface "
     "object representing this surface should have Restore called on it.\n"},
    {DDERR_SURFACENOTATTACHED, "DirectX: The requested surface is not attached.\n"},
    {DDERR_TOOBIGHEIGHT, "DirectX: The height requested by DirectDraw is too large.\n"},
    {DDERR_TOOBIGSIZE, "DirectX: Size requested by DirectDraw is too large --\tthe individual height and width are OK.\n"},
    {DDERR_TOOBIGWIDTH, "DirectX: The width requested by DirectDraw is too large.\n"},
    {DDERR_UNSUPPORTEDFORMAT, "DirectX: The pixel format requested is not supported by DirectDraw.\n"},
    {DDERR_UNSUPPORTEDMASK, "DirectX: The bitmask in the pixel format requested is not supported by DirectDraw.\n"},
    {DDERR_VERTICALBLANKINPROGRESS, "DirectX: A vertical blank is in progress.\n"},
    {DDERR_WASSTILLDRAWING,
     "DirectX: Informs DirectDraw that the previous Blt which is transfering information to or from this Surface is "
     "incomplete.\n"},
    {DDERR_INVALIDDIRECTDRAWGUID, "DirectX: The GUID passed to DirectDrawCreate is not a valid DirectDraw driver identifier.\n"},
    {DDERR_DIRECTDRAWALREADYCREATED, "DirectX: A DirectDraw object representing this driver has already been created for this process.\n"},
    {DDERR_NODIRECTDRAWHW, "DirectX: Hardware-only DirectDraw object creation is not possible; the driver does not support any hardware.\n"},
    {DDERR_PRIMARYSURFACEALREADYEXISTS, "DirectX: This process has already created a primary surface.\n"},
    {DDERR_NOEMULATION, "DirectX: Software emulation is not available.\n"},
    {DDERR_REGIONTOOSMALL, "DirectX: The region passed to the clip list is too small.\n"},
    {DDERR_CLIPPERISUSINGHWND, "DirectX: A clip list was given to a clipper object that is already monitoring a window.\n"},
    {DDERR_NOCLIPPERATTACHED, "DirectX: No clipper object is attached to the surface object.\n"},
    {DDERR_NOHWND, "DirectX: Clipper notification requires a window handle, or no window handle was set as the cooperative level window.\n"},
    {DDERR_HWNDSUBCLASSED, "DirectX: DirectDraw is prevented from restoring state because the window handle has been subclassed.\n"},
    {DDERR_HWNDALREADYSET, "DirectX: The cooperative level window has already been set and cannot be reset while surfaces or palettes exist.\n"},
    {DDERR_NOPALETTEATTACHED, "DirectX: No palette object is attached to this surface.\n"},
    {DDERR_NOPALETTEHW, "DirectX: There is no hardware support for 16- or 256-color palettes.\n"},
    {DDERR_BLTFASTCANTCLIP, "DirectX: A clipper object is attached to a source surface passed to a BltFast call.\n"},
    {DDERR_NOBLTHW, "DirectX: No blitter hardware is present.\n"},
    {DDERR_NODDROPSHW, "DirectX: No DirectDraw raster operation hardware is available.\n"},
    {DDERR_OVERLAYNOTVISIBLE, "DirectX: The overlay position was asked for on a hidden overlay.\n"},
    {DDERR_NOOVERLAYDEST, "DirectX: The overlay position was asked for on an overlay that has no destination.\n"},
    {DDERR_INVALIDPOSITION, "DirectX: The position of the overlay on the destination is no longer legal.\n"},
    {DDERR_NOTAOVERLAYSURFACE, "DirctX: Returned when an overlay member is called for a non-overlay surface.\n"},
    {DDERR_EXCLUSIVEMODEALREADYSET, "DirectX: Exclusive mode was asked for while another process already holds it.\n"},
    {DDERR_NOTFLIPPABLE, "DirectX: A flip was asked of a surface that cannot be flipped.\n"},
    {DDERR_CANTDUPLICATE, "DirectX: Primary and 3D surfaces, or surfaces that are implicitly created, cannot be duplicated.\n"},
    {DDERR_NOTLOCKED, "DirectX: An unlock was attempted on a surface that was not locked.\n"},
    {DDERR_CANTCREATEDC, "DirectX: Windows cannot create any more device contexts.\n"},
    {DDERR_NODC, "DirectX: No device context was ever created for this surface.\n"},
    {DDERR_WRONGMODE, "DirectX: This surface cannot be restored because it was created in a different mode.\n"},
    {DDERR_IMPLICITLYCREATED, "DirectX: This surface cannot be restored because it is an implicitly created surface.\n"},
    {DDERR_NOTPALETTESURFACE, "DirectX: The surface being used is not a palette-based surface.\n"},
};

static_assert(sizeof kErrorLines / sizeof kErrorLines[0] == 89, "one line for each known code");

}  // namespace

void WindowsDX::LogDirectXError(HResult code) {
    for (const ErrorLine& entry : kErrorLines) {
        if (entry.code == code) {
            debugLog.Write(entry.line, debugTail);
            return;
        }
    }
}

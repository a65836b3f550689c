// The whole factor a window is shown at on a big screen.
//
// The engine keeps its logical size (the game sees 755 x 511 whatever the
// screen); the backend shows each logical pixel as a square block of
// scale x scale screen pixels, never blurred. By default the scale is the
// largest whole factor at which the window, frame included, takes at most
// three quarters of the usable desktop's width and height: 1 up to
// 1920 x 1080, 2 on 2560 x 1440, 3 on 3840 x 2160 (for the game's window).
#pragma once

namespace platform {

// Scales a player may ask for.
constexpr int kMinWindowScale = 1;
constexpr int kMaxWindowScale = 8;

// The default scale for a client area of width x height with a frame of
// frameWidth x frameHeight on a usable desktop of the given size; at least 1.
int ChooseWindowScale(int usableWidth, int usableHeight, int width, int height, int frameWidth, int frameHeight);

// Whether a client area of width x height shown at `scale` fits a usable
// desktop of the given size whole. A scale asked for that does not fit is
// refused: the window could show nothing, since a frame is shown only where
// it lands wholly on the desktop.
bool WindowScaleFits(int scale, int usableWidth, int usableHeight, int width, int height);

// Where a picture of width x height goes in a client area that the player
// sized (a resized window, or the whole display in full screen): the largest
// whole scale at which it fits, at least 1, centred; the rest stays black.
struct PicturePlace {
    int scale = 1;
    int x = 0;  // top-left corner in the client area; negative when even 1x is larger
    int y = 0;
};
PicturePlace PlacePicture(int clientWidth, int clientHeight, int width, int height);

// A position in the client area, along one axis, as the picture's own pixel
// (0 to size - 1): positions beside the picture are clamped to its edge.
int ToPicturePixel(int client, const PicturePlace& place, bool vertical, int size);

}  // namespace platform

// How the TIFF codec tells the player about a picture it cannot use: which
// message box, and when. The reader only says what it met; the policy lives
// with the loader (image/tiff_load.cpp), so the reader reaches no platform.
#pragma once

#include <string>

// A picture that was not found at `path` (as the game named it): a message
// box the first time this run, and once before the first of them a line in
// the debug log naming the folders searched.
void ReportMissingPicture(const std::string& path);
// A compression the reader does not decode: a message box every time.
void ReportUnsupportedCompression();

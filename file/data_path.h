/// @file
/// Where the program's data files are found, and how their names are written.
///
/// The game names its files the way its original desktop did, with a backslash
/// between folders ("Images\tile.tif"). Every path the file layer opens goes
/// through NativePath, which turns each backslash into '/'.
///
/// A relative path opened for reading only is looked for first in the working
/// folder and then in each data folder in turn: by default the folder of the
/// running executable, the folder above it (tools live one level below the
/// game in a build) and `../share/<name>` beside it (an installed game, `<name>`
/// being the name it declares, base/game_info.h). So
/// the game finds its pictures whether it is started from its own folder or
/// from anywhere else. Writes always go to the path as given.
#pragma once

#include <string>
#include <vector>

/// `path` with every '\' replaced by '/'.
std::string NativePath(const char* path);

/// Where a read-only open of `path` looks: the native path itself when it is
/// absolute or exists as given, else the first data folder that holds it, else
/// the native path (which then fails to open as usual).
std::string FindDataFile(const char* path);

/// Replaces the data folders (searched in order after the working folder).
void SetDataFolders(std::vector<std::string> folders);
/// The current data folders; the executable's folder, its parent and
/// `../share/<name>` unless SetDataFolders chose others.
const std::vector<std::string>& DataFolders();

/// Every folder a read-only open of a relative path looks in, in order: the
/// working folder (as an absolute path), then the data folders.
std::vector<std::string> SearchedFolders();

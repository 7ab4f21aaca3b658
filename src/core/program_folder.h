#pragma once

#include <string>

namespace korvane::platform {
class FileSystem;
class ProgramLocation;
} // namespace korvane::platform

namespace korvane::core {

// The marker file that keeps a copy's data files beside its executable where the location says
// so (PortableByMarker).
inline constexpr const char* kPortableMarkerName = "Korvane-portable.txt";

// The folder of the program's data files, ending in one separator: the executable's folder, or
// the per-user data folder (created) for an installed copy or when the executable's folder cannot
// be written, so nothing set up is lost. Where a marker decides, the executable's folder is the
// data folder when the marker is there, or (a copy unpacked before there was one) when the
// favorites file is.
std::string ResolveProgramFolder(platform::ProgramLocation& location, platform::FileSystem& files);
// The folder of the icon cache, ending in one separator: "cache" in the program folder, or the
// per-user cache folder for an installed copy.
std::string ResolveCacheFolder(platform::ProgramLocation& location, const std::string& programFolder,
                               char separator);

// The folder with exactly one trailing separator; a root folder ("/", "C:\\") keeps its own.
std::string WithTrailingSeparator(std::string folder, char separator);

} // namespace korvane::core

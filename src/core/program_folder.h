#pragma once

#include <string>

namespace korvane::platform {
class FileSystem;
class ProgramLocation;
} // namespace korvane::platform

namespace korvane::core {

// The folder of the program's data files, ending in one separator: the executable's folder, or
// the per-user data folder (created) when that one cannot be written, so nothing set up is lost.
std::string ResolveProgramFolder(platform::ProgramLocation& location, platform::FileSystem& files);

// The folder with exactly one trailing separator.
std::string WithTrailingSeparator(std::string folder);

} // namespace korvane::core

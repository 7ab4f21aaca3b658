#pragma once

#include <string>

namespace korvane::platform::linuxos {

// The user's home folder: $HOME, else the password database entry; "/" when neither is known.
std::string HomeFolder();
// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
std::string ConfigHome();
// $XDG_DATA_HOME when it is an absolute path, else ~/.local/share.
std::string DataHome();
// $XDG_CACHE_HOME when it is an absolute path, else ~/.cache.
std::string CacheHome();
// $XDG_DATA_DIRS split at ':', else /usr/local/share and /usr/share.
std::string DataDirs();

} // namespace korvane::platform::linuxos

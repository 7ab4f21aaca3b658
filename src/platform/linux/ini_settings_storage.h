#pragma once

#include "platform/settings_storage.h"

#include <string>

namespace korvane::platform {
class FileSystem;
}

namespace korvane::platform::linuxos {

// Settings kept as INI text, one file per application and section:
// <folder>/<application>/<section>.conf holding "[<section>]" and "key=value" lines.
// Every change rewrites the file atomically; lines it does not understand are kept.
class IniSettingsStorage : public SettingsStorage {
public:
    IniSettingsStorage(FileSystem& files, std::string folder) : m_files(files), m_folder(std::move(folder)) {}

    std::optional<std::string> Get(const std::string& application, const std::string& section,
                                   const std::string& key) override;
    bool Save(const std::string& application, const std::string& section, const std::string& key,
              const std::string& value) override;
    bool DeleteSection(const std::string& application, const std::string& section) override;

    std::string FilePath(const std::string& application, const std::string& section) const;

private:
    FileSystem& m_files;
    std::string m_folder;
};

} // namespace korvane::platform::linuxos

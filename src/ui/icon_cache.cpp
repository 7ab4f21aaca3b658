#include "ui/icon_cache.h"

#include "core/text.h"
#include "platform/file_system.h"
#include "platform/image/bitmap_file.h"

namespace korvane::ui {

void IconCache::SetFolder(std::string folder)
{
    m_folder = std::move(folder);
    m_listed = false;
    m_listing.clear();
    m_pictures.clear();
}

const std::string* IconCache::ActualName(const std::string& key)
{
    if (!m_listed) {
        m_listing.clear();
        for (const auto& name : m_files.ListFolder(m_folder))
            m_listing.emplace(core::ToLower(name), name);
        m_listed = true;
    }
    const auto it = m_listing.find(key);
    return it == m_listing.end() ? nullptr : &it->second;
}

bool IconCache::Exists(const std::string& fileName)
{
    if (!m_files.IsPlainFileName(fileName))
        return false;
    const std::string key = core::ToLower(fileName + ".bmp");
    return m_pictures.count(key) != 0 || ActualName(key) != nullptr;
}

std::optional<image::Surface> IconCache::Load(const std::string& fileName)
{
    if (!m_files.IsPlainFileName(fileName))
        return std::nullopt;
    const std::string key = core::ToLower(fileName + ".bmp");
    if (const auto it = m_pictures.find(key); it != m_pictures.end())
        return it->second;
    const std::string* actual = ActualName(key);
    if (actual == nullptr)
        return std::nullopt;
    auto picture = image::LoadBitmap(m_files, m_folder + *actual);
    if (picture)
        m_pictures.emplace(key, *picture);
    return picture;
}

bool IconCache::Save(const std::string& fileName, const image::Surface& picture)
{
    if (!m_files.IsPlainFileName(fileName) || Exists(fileName))
        return false;
    const std::string name = fileName + ".bmp";
    if (!image::SaveIconBitmap(m_files, picture, m_folder + name))
        return false;
    const std::string key = core::ToLower(name);
    m_listing.emplace(key, name);
    m_pictures.emplace(key, picture);
    return true;
}

} // namespace korvane::ui

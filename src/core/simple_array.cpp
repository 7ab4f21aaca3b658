#include "core/simple_array.h"

#include "core/text.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace korvane::core {

namespace {

constexpr std::int32_t kGrowth = 60;

bool LessIgnoringCase(std::string_view a, std::string_view b)
{
    const std::string la = ToLower(a);
    const std::string lb = ToLower(b);
    const std::size_t n = std::min(la.size(), lb.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(la[i]);
        const auto cb = static_cast<unsigned char>(lb[i]);
        if (ca != cb)
            return ca < cb;
    }
    return la.size() < lb.size();
}

} // namespace

void clsSimpleArray::CheckStorageIndex(std::int32_t index) const
{
    if (index < 0 || index > UpperBound())
        throw std::out_of_range("clsSimpleArray index out of range");
}

void clsSimpleArray::Resize(std::int32_t upperBound)
{
    m_texts.resize(static_cast<std::size_t>(upperBound) + 1);
    m_data.resize(static_cast<std::size_t>(upperBound) + 1);
}

void clsSimpleArray::AddItem(std::string_view vstrItem, std::int32_t vlngIndex)
{
    if (m_lastIndex < 0) {
        if (vlngIndex > 0)
            throw std::out_of_range("clsSimpleArray insert position out of range");
        Resize(kGrowth);
        m_lastIndex = 0;
        m_newIndex = 0;
        m_texts[0] = std::string(vstrItem);
        m_data[0] = 0;
        return;
    }

    // Check everything that can fail before the list changes.
    if (m_lastIndex == std::numeric_limits<std::int32_t>::max() ||
        m_lastIndex > std::numeric_limits<std::int32_t>::max() - kGrowth)
        throw std::overflow_error("clsSimpleArray is full");
    if (vlngIndex > ListCount())
        throw std::out_of_range("clsSimpleArray insert position out of range");

    if (m_sorted) {
        for (std::int32_t i = 0; i <= m_lastIndex; ++i) {
            if (LessIgnoringCase(vstrItem, m_texts[static_cast<std::size_t>(i)])) {
                vlngIndex = i;
                break;
            }
        }
    }

    ++m_lastIndex;
    m_newIndex = m_lastIndex;
    if (UpperBound() < m_lastIndex)
        Resize(m_lastIndex + kGrowth);

    if (vlngIndex >= 0) {
        for (std::int32_t i = m_lastIndex; i > vlngIndex; --i) {
            m_texts[static_cast<std::size_t>(i)] = std::move(m_texts[static_cast<std::size_t>(i - 1)]);
            m_data[static_cast<std::size_t>(i)] = m_data[static_cast<std::size_t>(i - 1)];
        }
        m_newIndex = vlngIndex;
    }
    m_texts[static_cast<std::size_t>(m_newIndex)] = std::string(vstrItem);
    m_data[static_cast<std::size_t>(m_newIndex)] = 0;
}

void clsSimpleArray::RemoveItem(std::int32_t vlngIndex)
{
    if (vlngIndex < 0 || m_lastIndex < 0)
        throw std::out_of_range("clsSimpleArray index out of range");

    if (m_lastIndex > 0) {
        if (vlngIndex <= m_lastIndex) {
            for (std::int32_t i = vlngIndex; i < m_lastIndex; ++i) {
                m_texts[static_cast<std::size_t>(i)] = std::move(m_texts[static_cast<std::size_t>(i + 1)]);
                m_data[static_cast<std::size_t>(i)] = m_data[static_cast<std::size_t>(i + 1)];
            }
        }
        m_texts[static_cast<std::size_t>(m_lastIndex)].clear();
        m_data[static_cast<std::size_t>(m_lastIndex)] = 0;
    }

    --m_lastIndex;
    m_newIndex = m_lastIndex;
    if (m_lastIndex < 0) {
        m_texts.clear();
        m_data.clear();
        m_texts.shrink_to_fit();
        m_data.shrink_to_fit();
    } else if (UpperBound() > m_lastIndex + kGrowth) {
        Resize(m_lastIndex);
    }
}

bool clsSimpleArray::FindItem(std::string_view vstrItem)
{
    m_newIndex = -1;
    if (m_lastIndex < 0)
        return false;
    // The process table asks this for every process: compare in place rather than copy each item.
    const auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c; };
    const auto sameIgnoringCase = [&](char a, char b) { return upper(a) == upper(b); };
    for (std::int32_t i = 0; i <= m_lastIndex; ++i) {
        const std::string& text = m_texts[static_cast<std::size_t>(i)];
        if (std::search(text.begin(), text.end(), vstrItem.begin(), vstrItem.end(), sameIgnoringCase) != text.end() ||
            vstrItem.empty()) {
            m_newIndex = i;
            return true;
        }
    }
    return false;
}

void clsSimpleArray::Clear()
{
    m_texts.clear();
    m_data.clear();
    m_lastIndex = -1;
    m_newIndex = -1;
}

const std::string& clsSimpleArray::List(std::int32_t vlngIndex) const
{
    CheckStorageIndex(vlngIndex);
    return m_texts[static_cast<std::size_t>(vlngIndex)];
}

void clsSimpleArray::SetList(std::int32_t vlngIndex, std::string vNewValue)
{
    CheckStorageIndex(vlngIndex);
    m_texts[static_cast<std::size_t>(vlngIndex)] = std::move(vNewValue);
}

std::int32_t clsSimpleArray::ItemData(std::int32_t vlngIndex) const
{
    CheckStorageIndex(vlngIndex);
    return m_data[static_cast<std::size_t>(vlngIndex)];
}

void clsSimpleArray::SetItemData(std::int32_t vlngIndex, std::int32_t vNewValue)
{
    CheckStorageIndex(vlngIndex);
    m_data[static_cast<std::size_t>(vlngIndex)] = vNewValue;
}

} // namespace korvane::core

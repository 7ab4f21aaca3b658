#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::core {

// The program's small list of strings with a signed 32-bit datum per item, optionally kept in
// ascending case-insensitive order as items are added. Storage grows in steps of 60 slots; index
// checks are made against the storage, so slots past the last item read as "" and 0. An index
// outside the storage throws std::out_of_range, a count past the 32-bit range
// std::overflow_error; either leaves the list unchanged.
class clsSimpleArray {
public:
    void AddItem(std::string_view vstrItem, std::int32_t vlngIndex = -1);
    void RemoveItem(std::int32_t vlngIndex);
    // True when some item contains vstrItem, case ignored; NewIndex = the first such item or -1.
    bool FindItem(std::string_view vstrItem);
    void Clear();

    bool Sorted() const { return m_sorted; }
    void SetSorted(bool vblnNewValue) { m_sorted = vblnNewValue; }

    std::int32_t NewIndex() const { return m_newIndex; }
    std::int32_t ListCount() const { return m_lastIndex >= 0 ? m_lastIndex + 1 : 0; }

    const std::string& List(std::int32_t vlngIndex) const;
    void SetList(std::int32_t vlngIndex, std::string vNewValue);
    std::int32_t ItemData(std::int32_t vlngIndex) const;
    void SetItemData(std::int32_t vlngIndex, std::int32_t vNewValue);

    // Highest index of the storage; -1 while it is released.
    std::int32_t UpperBound() const { return static_cast<std::int32_t>(m_texts.size()) - 1; }

private:
    void CheckStorageIndex(std::int32_t index) const;
    void Resize(std::int32_t upperBound);

    bool m_sorted = false;
    std::vector<std::string> m_texts;
    std::vector<std::int32_t> m_data;
    std::int32_t m_lastIndex = -1;
    std::int32_t m_newIndex = -1;
};

} // namespace korvane::core

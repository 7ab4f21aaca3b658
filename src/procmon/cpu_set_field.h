#pragma once

#include "platform/forms/simple_controls.h"
#include "procmon/cpu_check_boxes.h"

#include <functional>
#include <string>
#include <string_view>

namespace korvane::procmon {

// The field that stands in for the four CPU boxes when every CPU is shown: the text of the set to
// apply, typed or shown, the reason beside it when it cannot be applied, and "Apply" disabled
// meanwhile.
class CpuSetField {
public:
    CpuSetField(forms::TextBox& text, forms::Label& reason, forms::Button& apply);

    // Whether the field is in use (instead of the boxes).
    bool Active() const { return m_active; }
    void SetActive(bool active);
    // The machine: its highest CPU, and the text of every CPU the window offers.
    void SetMachine(int highestCpu, std::string allCpus)
    {
        m_highestCpu = highestCpu;
        m_allCpus = std::move(allCpus);
    }
    int HighestCpu() const { return m_highestCpu; }
    // In use, with a text that cannot be applied.
    bool Unreadable() const { return m_active && m_blocking; }
    const std::string& AllCpus() const { return m_allCpus; }

    // Shows a stored text (a row's affinity, a picker's choice) as the one text of its set; an
    // empty text clears the field.
    void Show(std::string_view affinityText);
    // The one text of the set typed; empty when nothing, or a list that cannot be applied, is typed.
    std::string Chosen() const;
    // Reads the text again: the reason beside it, "Apply" disabled while it cannot be applied and
    // given back (as applyAllowed says) once it can.
    void Check();

    // Whether "Apply" may be enabled now, for a readable text.
    std::function<bool()> ApplyAllowed;

private:
    forms::TextBox& m_text;
    forms::Label& m_reason;
    forms::Button& m_apply;
    int m_highestCpu = 0;
    std::string m_allCpus;
    bool m_active = false;
    bool m_blocking = false; // "Apply" was disabled for an unreadable text
};

// What "Apply" and "Add to Fav" take: the field's set when it is in use, else the ticked boxes.
std::string ChosenAffinityText(const CpuCheckBoxes& boxes, const CpuSetField& field);
// What a favorite added by file name gets: every CPU the window offers.
std::string OfferedAffinityText(const CpuCheckBoxes& boxes, const CpuSetField& field);

} // namespace korvane::procmon

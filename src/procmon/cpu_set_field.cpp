#include "procmon/cpu_set_field.h"

#include "core/cpu_set.h"

namespace korvane::procmon {

CpuSetField::CpuSetField(forms::TextBox& text, forms::Label& reason, forms::Button& apply)
    : m_text(text), m_reason(reason), m_apply(apply)
{
}

void CpuSetField::SetActive(bool active)
{
    m_active = active;
    m_text.SetVisible(active);
    m_reason.SetVisible(active);
    if (active) {
        Check();
    } else if (m_blocking) {
        m_blocking = false;
        m_apply.SetEnabled(!ApplyAllowed || ApplyAllowed());
    }
}

void CpuSetField::Show(std::string_view affinityText)
{
    const auto set = affinityText.empty() ? std::optional<core::CpuSet>() : core::CpuSetOfText(affinityText);
    // No CPU ("?") is an empty field, as it is no ticked box; a stored text that cannot be read
    // is shown as it stands, with its reason.
    if (set)
        m_text.SetText(set->Empty() ? std::string() : core::CpuSetText(*set));
    else
        m_text.SetText(std::string(affinityText));
    Check();
}

std::string CpuSetField::Chosen() const
{
    const core::TypedCpuSet typed = core::ParseTypedCpuSet(m_text.Text(), m_highestCpu);
    return typed.set ? core::CpuSetText(*typed.set) : std::string();
}

void CpuSetField::Check()
{
    if (!m_active)
        return;
    const bool empty = m_text.Text().find_first_not_of(' ') == std::string::npos;
    const core::TypedCpuSet typed = core::ParseTypedCpuSet(m_text.Text(), m_highestCpu);
    // An empty field is no error yet: "Apply" then asks for a set, as with no box ticked.
    const std::string reason = empty || typed.set ? std::string() : typed.error;
    m_reason.SetCaption(reason);
    m_reason.SetToolTipText(reason);
    if (!reason.empty()) {
        m_blocking = true;
        m_apply.SetEnabled(false);
    } else if (m_blocking) {
        m_blocking = false;
        m_apply.SetEnabled(!ApplyAllowed || ApplyAllowed());
    }
}

std::string ChosenAffinityText(const CpuCheckBoxes& boxes, const CpuSetField& field)
{
    return field.Active() ? field.Chosen() : AffinityTextOfCheckBoxes(boxes);
}

std::string OfferedAffinityText(const CpuCheckBoxes& boxes, const CpuSetField& field)
{
    return field.Active() ? field.AllCpus() : AffinityTextOfEnabledBoxes(boxes);
}

} // namespace korvane::procmon

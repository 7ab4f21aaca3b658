// Form1's mouse: the wheel over the lists, the favorites' pop-up, and requests to show the window.
#include "ui/form1.h"

#include "core/list_row.h"
#include "platform/single_instance.h"
#include "procmon/cpu_check_boxes.h"

namespace korvane::ui {

void Form1::MouseWheel(std::int32_t rotation)
{
    // A notch (120) or more is one row. Precision touchpads send a notch in small parts: they
    // add up to a row, and turning back starts the count afresh.
    constexpr std::int32_t kNotch = 120;
    if (rotation == 0)
        return;
    if (rotation > -kNotch && rotation < kNotch) {
        if ((m_wheelRest < 0) != (rotation < 0))
            m_wheelRest = 0;
        m_wheelRest += rotation;
        if (m_wheelRest > -kNotch && m_wheelRest < kNotch)
            return;
        m_wheelRest += m_wheelRest < 0 ? kNotch : -kNotch;
    } else {
        m_wheelRest = 0;
    }
    if (!m_processView.WheelProcessList(rotation))
        m_favoritesView.WheelFavorites(rotation);
}

void Form1::PollShowRequests()
{
    if (m_services.instance.TakeShowRequests() == 0)
        return;
    // Normal before visible: a window shown while still minimized stays iconic on X.
    forms::Window& form = m_controls.Form;
    form.SetState(forms::WindowState::Normal);
    form.SetVisible(true);
    form.BringToForeground();
}

void Form1::List2_MouseUp(int button, int /*shift*/, float x, float y)
{
    m_controls.Picture2.SetVisible(false);
    m_controls.cpuOptions.SetVisible(false);
    forms::ListBox& list2 = m_controls.List2;
    if (button == forms::kRightButton) {
        const std::int32_t caret = list2.ListIndex();
        const std::string affinity = caret >= 0 ? core::ListRow(list2.List(caret)).AffinityText() : std::string();
        if (!affinity.empty() && m_everyCpu.Shown()) {
            m_everyCpu.OpenFavoritesPicker(affinity, [this](const std::string& chosen) {
                m_controls.Timer1.SetEnabled(false);
                SetSelectedFavorites(m_controls, m_favorites, chosen, [this] { m_favoritesView.UpdateFavIcons(); },
                                     [this] { m_monitor.Command3_Click(); });
                m_controls.Timer1.SetEnabled(true);
                SaveChangedFiles();
            });
            return;
        }
        if (!affinity.empty()) {
            m_form2 = std::make_unique<Form2>(m_controls, m_favorites, [this] { m_favoritesView.UpdateFavIcons(); },
                                              [this] { m_monitor.Command3_Click(); });
            Form2& picker = *m_form2;
            picker.Label1.OnClick = Saving([&picker] { picker.Label1_Click(); });
            if (OnPickerCreated)
                OnPickerCreated(picker);
            picker.Form.SetVisible(true);
            picker.Form_Load();
            m_services.scheduler.DoEvents();
            const std::int32_t left = m_controls.MainBox2.Left() + m_controls.Form.Left() + static_cast<std::int32_t>(x);
            const std::int32_t top =
                m_controls.Vs2.Top() + m_controls.Form.Top() + static_cast<std::int32_t>(y) - m_controls.Vs2.Value();
            picker.Form.Move(left, top, picker.Form.Width(), picker.Form.Height());
            procmon::ShowAffinityInCheckBoxes(affinity, picker.CpuBoxes());
            return;
        }
    }
    m_state.WheelTarget = 2;
    m_controls.Form.SetFocus();
}

} // namespace korvane::ui

#include "frontend/win32/win32_main_window_impl.h"
#include "ui/cpu_picker.h"

namespace korvane::win32front {

void Win32MainWindow::Impl::OpenCpuPicker(ui::CpuPicker& model)
{
    Picker& p = NewPicker(model.Form);
    p.addControls = [&p, &model] {
        ControlBinder& binder = *p.binder;
        for (auto& preset : model.Presets)
            binder.AddButton(*preset, p.window);
        binder.AddLabel(model.ChosenText, p.window, true);
        // The grid moves inside its viewport, which clips it.
        void* viewport = binder.AddPanel(model.Viewport, p.window, false);
        void* grid = binder.AddPanel(model.Grid, viewport, false);
        for (auto& caption : model.GroupCaptions)
            binder.AddLabel(*caption, grid, true);
        for (auto& toggle : model.Toggles)
            binder.AddCheckBox(*toggle, grid);
        binder.AddScrollBar(model.Scroll, p.window);
        binder.AddButton(model.Apply, p.window);
        binder.AddButton(model.Cancel, p.window);
    };
    p.addControls();
    p.onWheel = [&model](int rotation) { model.MouseWheel(rotation); };
}

} // namespace korvane::win32front

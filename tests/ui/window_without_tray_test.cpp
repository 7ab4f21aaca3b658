#include "support/fake_form.h"

#include <gtest/gtest.h>

namespace korvane::ui {
namespace {

// A desktop without a tray (stock GNOME, a bare window manager, a taskbar restarting).
TEST(WithoutATray, CloseAndMinimizeOnStartStayInTheTaskbarAndExitIsInTheWindow)
{
    test::FakeForm f;
    f.tray.available = false;
    f.settings.Save("Tollmere", "Korvane", "MiniMe", "1");
    Form1& form = f.Start();
    forms::Window& window = f.Controls().Form;
    EXPECT_EQ(window.State(), forms::WindowState::Minimized);
    EXPECT_TRUE(window.Visible()); // in the taskbar, where it can be found again

    window.SetState(forms::WindowState::Normal);
    EXPECT_FALSE(form.Unload(kUnloadControlMenu)); // the close box: minimized, still running
    EXPECT_EQ(window.State(), forms::WindowState::Minimized);
    EXPECT_TRUE(window.Visible());
    EXPECT_FALSE(form.Ended());

    // A tray appears: closing hides to it again.
    f.tray.available = true;
    form.TaskbarCreated();
    window.SetState(forms::WindowState::Normal);
    form.Unload(kUnloadControlMenu);
    EXPECT_FALSE(window.Visible());

    // It goes away while the window is hidden in it: the window comes back, minimized.
    f.tray.available = false;
    form.TaskbarGone();
    EXPECT_TRUE(window.Visible());
    EXPECT_EQ(window.State(), forms::WindowState::Minimized);
    form.TaskbarGone();
    EXPECT_TRUE(window.Visible());

    // The program can always be ended from the window itself.
    f.Controls().Command4.UserClick();
    ASSERT_TRUE(f.Controls().Command15.Visible());
    f.Controls().Command15.UserClick();
    EXPECT_TRUE(form.Ended());
}

} // namespace
} // namespace korvane::ui

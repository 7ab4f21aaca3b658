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

// A client-side title bar (Wayland) is told after the first size: the lists must shrink for it
// though the window's outer size stays.
TEST(Desktops, AFrameToldAfterTheSizeLaysTheListsOutAgain)
{
    test::FakeForm f;
    f.Start();
    MainControls& c = f.Controls();
    const std::int32_t before = c.MainBox.Height();
    c.Form.SetFrameHeight(495);
    c.Form.UserResize(c.Form.Left(), c.Form.Top(), c.Form.Width(), c.Form.Height());
    EXPECT_EQ(c.MainBox.Height(), before - (495 - 185));
    EXPECT_EQ(c.MainBox.Top() + c.MainBox.Height() + 100, c.Form.InnerHeight());
}

} // namespace
} // namespace korvane::ui

#include "tray/tray_icon.h"

#include "support/fake_form.h"

#include <gtest/gtest.h>

namespace korvane::tray {
namespace {

TEST(TrayIcon, IsAddedWithTheRecordAndTheWindowsIcon)
{
    test::FakeForm f;
    f.counters.FailOpen(true);
    ui::Form1& form = f.Start();
    ASSERT_EQ(f.tray.Calls().size(), 1U);
    const auto& data = f.tray.Calls()[0].data;
    EXPECT_EQ(f.tray.Calls()[0].command, 'A');
    EXPECT_EQ(data.cbSize, 88U);
    EXPECT_EQ(data.uID, 1U);
    EXPECT_EQ(data.uFlags, 7U);
    EXPECT_EQ(data.uCallbackMessage, 512U);
    EXPECT_EQ(data.szTip.size(), 64U);
    EXPECT_EQ(data.szTip, std::string("Korvane By Brannock") + '\0' + std::string(44, ' '));
    EXPECT_EQ(data.hIcon->color, DrawProgramIcon().color);

    form.Tray().Add_Tray(); // the tray came back
    EXPECT_EQ(f.tray.Calls().back().command, 'A');
    EXPECT_EQ(f.tray.Current()->Tip(), "Korvane By Brannock");
}

TEST(TrayIcon, DoubleClickRestoresAndRightButtonUpOpensTheMenu)
{
    test::FakeForm f;
    ui::Form1& form = f.Start();
    ui::MainControls& c = f.Controls();
    c.Form.SetState(forms::WindowState::Minimized);
    c.Form.SetVisible(false);
    const int refreshes = form.ProcessView().RefreshCount();

    for (int message : {512, 513, 514, 516})
        c.P2.OnMouseMove(0, 0, static_cast<float>(message), 0);
    EXPECT_EQ(form.ProcessView().RefreshCount(), refreshes);
    EXPECT_EQ(c.Form.LastPopupMenu(), "");

    std::vector<std::string> shown;
    c.Form.OnPopupMenu = [&](const forms::Menu& menu) {
        for (const auto* item : menu.Items)
            shown.push_back(item == nullptr ? "-" : item->Caption());
    };
    c.P2.OnMouseMove(0, 0, 517, 0);
    EXPECT_EQ(c.Form.ForegroundRequests(), 1);
    EXPECT_EQ(shown, (std::vector<std::string>{"Auto Set Favorites", "-", "Set Favorites Now", "-", "Exit Korvane"}));

    c.P2.OnMouseMove(0, 0, 515, 0);
    EXPECT_EQ(form.ProcessView().RefreshCount(), refreshes + 1);
    EXPECT_EQ(c.Form.State(), forms::WindowState::Normal);
    EXPECT_TRUE(c.Form.Visible());
}

} // namespace
} // namespace korvane::tray

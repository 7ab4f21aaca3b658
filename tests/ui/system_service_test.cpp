#include "platform/fake/fake_system_service.h"
#include "support/fake_form.h"

#include <gtest/gtest.h>

namespace korvane::ui {
namespace {

using test::Row;
using Favorites = std::vector<std::pair<std::string, std::string>>;

struct SystemServiceFixture : ::testing::Test {
    Form1& Start()
    {
        f.beforeLoad = [this](Form1& form) { form.UseSystemService(service); };
        return f.Start();
    }
    test::FakeForm f;
    platform::fake::FakeSystemService service;
};

TEST_F(SystemServiceFixture, TheFavoritesAndAutoSetGoToTheServiceAtStartAndAfterEachChangeOnly)
{
    f.AddFavoriteFile({Row("Game.exe", "1"), Row("Broken", "5-3"), Row("Noise", "2"), Row("Far", "64-70")});
    f.files.PutFile(std::string(test::kProgramFolder) + "Hidden.txt", "Noise\r\n");
    f.settings.Save("Tollmere", "Korvane", "AutoSet", "1");
    Start();
    // What the window itself could apply: no list it cannot read, no CPU the machine lacks, no
    // hidden name.
    EXPECT_EQ(service.sentFavorites, (Favorites{{"Game.exe", "1"}}));
    EXPECT_TRUE(service.sentAutoSet);
    const int sends = service.sends;
    f.Run(2000);
    EXPECT_EQ(service.sends, sends); // nothing changed, nothing sent

    MainControls& c = f.Controls();
    c.Check1.UserClick();
    EXPECT_FALSE(service.sentAutoSet);
    const auto tool = f.machine.Start("/usr/bin/tool");
    f.Run(1000);
    c.List1.UserClickRow(f.RowOf("Tool"));
    for (auto& box : c.Check11)
        box.SetValue(0);
    c.Check11[3].SetValue(1);
    c.Command1.UserClick();
    EXPECT_EQ(service.sentFavorites, (Favorites{{"Game.exe", "1"}, {"Tool", "3"}}));
    EXPECT_EQ(f.machine.ThreadMasks(tool), std::vector<std::uint32_t>{15});

    // A service that comes again is told again.
    const int before = service.sends;
    service.OnAvailable();
    EXPECT_EQ(service.sends, before + 1);
}

TEST_F(SystemServiceFixture, ApplyOnAProcessKorvaneMayNotChangeGoesThroughTheService)
{
    const auto others = f.machine.Start("/usr/bin/daemon");
    f.machine.RefuseAffinityChanges(others);
    Start();
    f.Run(1000);
    MainControls& c = f.Controls();
    c.List1.UserClickRow(f.RowOf("Daemon"));
    for (auto& box : c.Check11)
        box.SetValue(0);
    c.Check11[2].SetValue(1);
    c.Command5.UserClick();
    ASSERT_EQ(service.setRequests.size(), 1U);
    EXPECT_EQ(service.setRequests[0], std::to_string(others) + " " + std::to_string(f.machine.ProcessStartTime(others)) + " 2");
    EXPECT_TRUE(f.dialogs.Messages().empty());

    // Refused (no consent): the specified error, with the reason.
    service.affinityAnswer = "changing another user's process needs an administrator's consent";
    c.Check11[1].SetValue(1);
    c.Command5.UserClick();
    ASSERT_EQ(f.dialogs.Messages().size(), 1U);
    EXPECT_EQ(f.dialogs.Messages()[0].text, std::string(procmon::kUnableToSetAffinity) + "\n\n" + service.affinityAnswer);

    // Without the service: the error alone, as before.
    service.available = false;
    c.Command5.UserClick();
    EXPECT_EQ(service.setRequests.size(), 2U);
    EXPECT_EQ(f.dialogs.Messages().back().text, procmon::kUnableToSetAffinity);
}

TEST_F(SystemServiceFixture, FavoritesForEveryUserAskOnceAndAnswerNoUnticksTheBox)
{
    test::FakeForm plain;
    EXPECT_FALSE(plain.Start().Controls().EveryUser.Visible()); // no service, as on Windows

    Start();
    MainControls& c = f.Controls();
    EXPECT_TRUE(c.EveryUser.Visible() && c.EveryUser.Enabled());
    service.everyUserAnswer = "no consent was given";
    c.EveryUser.UserClick();
    EXPECT_EQ(service.everyUserRequests, std::vector<std::string>{"on interactive"});
    EXPECT_EQ(c.EveryUser.Value(), 0);
    ASSERT_EQ(f.dialogs.Messages().size(), 1U);
    EXPECT_NE(f.dialogs.Messages()[0].text.find("no consent was given"), std::string::npos);

    service.everyUserAnswer.clear();
    c.EveryUser.UserClick();
    EXPECT_EQ(c.EveryUser.Value(), 1);
    c.mnuExit.UserClick();
    EXPECT_EQ(f.settings.Get("Tollmere", "Korvane", "EveryUser"), "1");

    // The next start asks again without a prompt; a no then unticks the box quietly.
    test::FakeForm again;
    again.settings.Save("Tollmere", "Korvane", "EveryUser", "1");
    platform::fake::FakeSystemService refusing;
    refusing.everyUserAnswer = "a password would be needed";
    again.beforeLoad = [&refusing](Form1& form) { form.UseSystemService(refusing); };
    again.Start();
    EXPECT_EQ(refusing.everyUserRequests, std::vector<std::string>{"on"});
    EXPECT_EQ(again.Controls().EveryUser.Value(), 0);
    EXPECT_TRUE(again.dialogs.Messages().empty());
}

} // namespace
} // namespace korvane::ui

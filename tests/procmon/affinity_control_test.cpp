#include "procmon/affinity_control.h"

#include "platform/dialogs.h"
#include "support/fake_form.h"

#include <gtest/gtest.h>

namespace korvane::procmon {
namespace {

using test::Row;

struct ApplyFixture : ::testing::Test {
    ApplyFixture()
    {
        editor = f.machine.Start("/usr/bin/editor", 3);
        f.Start();
        f.Run(1000);
        f.Controls().List1.UserClickRow(f.RowOf("Editor"));
    }
    void Tick(std::initializer_list<int> cpus)
    {
        for (auto& box : f.Controls().Check11)
            box.SetValue(0);
        for (int cpu : cpus)
            f.Controls().Check11[static_cast<std::size_t>(cpu)].SetValue(1);
    }

    test::FakeForm f;
    std::int32_t editor = 0;
};

TEST_F(ApplyFixture, ApplySetsTheTickedCpusOnEveryThreadAndTheRowShowsThem)
{
    Tick({1, 3});
    f.Controls().Command5.UserClick();
    EXPECT_EQ(f.machine.ThreadMasks(editor), (std::vector<std::uint32_t>{10, 10, 10}));
    EXPECT_EQ(f.ProcessRows(), std::vector<std::string>{Row("Editor", "13")});
    EXPECT_TRUE(f.dialogs.Messages().empty());
    EXPECT_TRUE(f.Controls().Timer1.Enabled());
}

TEST_F(ApplyFixture, ApplyWithNoCpuTickedAsksForOneAndChangesNothing)
{
    Tick({});
    f.Controls().Command5.UserClick();
    ASSERT_EQ(f.dialogs.Messages().size(), 1U);
    EXPECT_EQ(f.dialogs.Messages()[0].text, "Please set the affinity first!");
    EXPECT_EQ(f.dialogs.Messages()[0].style, 64);
    EXPECT_EQ(f.dialogs.Messages()[0].title, "Korvane");
    EXPECT_EQ(f.machine.ThreadMasks(editor), (std::vector<std::uint32_t>{15, 15, 15}));
    EXPECT_EQ(f.machine.SetAffinityCount(), 0);
    EXPECT_TRUE(f.Controls().Timer1.Enabled());
}

TEST_F(ApplyFixture, ApplyOnAnEndedProcessShowsTheErrorOnceAndRedraws)
{
    f.machine.End(editor);
    Tick({0, 1});
    bool timerOffWhileOpen = false;
    f.dialogs.WhileOpen = [&] { timerOffWhileOpen = !f.Controls().Timer1.Enabled(); };
    f.Controls().Command5.UserClick();
    ASSERT_EQ(f.dialogs.Messages().size(), 1U);
    EXPECT_EQ(f.dialogs.Messages()[0].text, "Unable to set CPU affinity on one or more files!");
    EXPECT_EQ(f.dialogs.Messages()[0].style, 65552);
    EXPECT_TRUE(timerOffWhileOpen);
    EXPECT_TRUE(f.ProcessRows().empty());
    EXPECT_FALSE(f.Controls().Command5.Enabled());
}

TEST_F(ApplyFixture, ApplyNeverTouchesALaterProcessGivenTheIdOfTheSelectedOne)
{
    // A rebuild keeps the selection; then the editor ends and its id goes to another program
    // before the list is rebuilt again.
    f.form->ProcessView().RefreshProcessList();
    f.machine.End(editor);
    f.machine.StartWithId(editor, "/usr/bin/shell", 2);
    Tick({0});
    f.Controls().Command5.UserClick();
    ASSERT_EQ(f.dialogs.Messages().size(), 1U);
    EXPECT_EQ(f.dialogs.Messages()[0].text, "Unable to set CPU affinity on one or more files!");
    EXPECT_EQ(f.machine.ThreadMasks(editor), (std::vector<std::uint32_t>{15, 15}));
    EXPECT_EQ(f.machine.SetAffinityCount(), 0);
    EXPECT_EQ(f.ProcessRows(), std::vector<std::string>{Row("Shell", "0123")});
}

TEST_F(ApplyFixture, AMaskOfMissingCpusIsRefusedAndReported)
{
    f.machine.SetProcessorCount(2);
    Tick({2, 3});
    f.Controls().Command5.UserClick();
    ASSERT_EQ(f.dialogs.Messages().size(), 1U);
    EXPECT_EQ(f.dialogs.Messages()[0].text, kUnableToSetAffinity);
}

TEST_F(ApplyFixture, CpusOutsideTheProcesssCpusetAreRefusedAndNamed)
{
    f.machine.SetAllowedCpus(0b1100);
    Tick({0, 1, 2});
    f.Controls().Command5.UserClick();
    ASSERT_EQ(f.dialogs.Messages().size(), 1U);
    EXPECT_EQ(f.dialogs.Messages()[0].text,
              std::string(kUnableToSetAffinity) + "\n\nThe process may not use CPUs 0, 1.");
    EXPECT_EQ(f.machine.ThreadMasks(editor), (std::vector<std::uint32_t>{15, 15, 15}));

    f.machine.SetAllowedCpus(0b0111);
    Tick({3});
    f.Controls().Command5.UserClick();
    ASSERT_EQ(f.dialogs.Messages().size(), 2U);
    EXPECT_EQ(f.dialogs.Messages()[1].text, std::string(kUnableToSetAffinity) + "\n\nThe process may not use CPU 3.");
}

TEST(SetProcessAffinity, EmptyTextDoesNothingAndIdZeroFails)
{
    test::FakeForm f;
    ui::Form1& form = f.Start();
    form.Affinity().SetProcessAffinity(0, "");
    EXPECT_EQ(form.Affinity().AffinitySetFailed, 0);
    form.Affinity().SetProcessAffinity(0, "0");
    EXPECT_EQ(form.Affinity().AffinitySetFailed, 1);
    EXPECT_EQ(f.machine.SetAffinityCount(), 0);
}

TEST(SetProcessAffinity, ApplyWithoutASelectedRowDoesNothing)
{
    test::FakeForm f;
    ui::Form1& form = f.Start();
    form.Affinity().Command5_Click();
    EXPECT_TRUE(f.dialogs.Messages().empty());
}

TEST(DebugPrivilege, IsAskedOnceForTheProgramsOwnProcess)
{
    test::FakeForm f;
    f.Start();
    EXPECT_EQ(f.machine.PrivilegeRequests(), std::vector<std::string>{"4:SeDebugPrivilege:on"});
    EXPECT_FALSE(f.machine.AdjustPrivilege(4, "SeShutdownPrivilege", true));
}

} // namespace
} // namespace korvane::procmon

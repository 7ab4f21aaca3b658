#include "procmon/process_table.h"

#include "support/fake_form.h"

#include <gtest/gtest.h>

namespace korvane::procmon {
namespace {

using test::Row;

TEST(FileNameFromPath, TakesTheTextAfterTheLastSeparatorFromTheThirdCharacterOn)
{
    const struct {
        const char* path;
        const char* windowsName;
        const char* linuxName; // a backslash is part of a Linux name
    } cases[] = {
        {"/usr/bin/bash", "bash", "bash"}, {"C:\\Windows\\notepad.exe", "notepad.exe", ""},
        {"/usr/bin/", "", ""}, {"ab", "", ""}, {"\\a", "", ""}, {"a\\b", "", ""}, {"ab\\c", "c", ""},
        {"noslash", "", ""}, {"", "", ""}, {"/memfd:sealed", "memfd:sealed", "memfd:sealed"}, {"/", "", ""},
        {"/opt/a\\b/to\\ol", "ol", "to\\ol"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileNameFromPath(c.path, '\\'), c.windowsName) << c.path;
        EXPECT_EQ(FileNameFromPath(c.path, '/'), c.linuxName) << c.path;
    }
}

TEST(ProcessIds, BufferDoublesFromSixteenBytesUntilEveryIdFits)
{
    test::FakeForm f;
    for (int i = 0; i < 9; ++i)
        f.machine.Start("/bin/p" + std::to_string(i));
    ui::Form1& form = f.Start();
    f.machine.ClearEnumRequests();
    form.Table().EnumerateProcessIds();
    EXPECT_EQ(f.machine.EnumRequestSizes(), (std::vector<std::int32_t>{16, 32, 64}));
    const auto& ids = form.Table().ProcessIds();
    ASSERT_EQ(ids.size(), 17U);
    EXPECT_EQ(ids[0], 0);
    EXPECT_GT(ids[9], 0);
    for (std::size_t i = 10; i <= 16; ++i)
        EXPECT_EQ(ids[i], 0);
    EXPECT_EQ(form.Table().CountProcessIds(), 9);

    f.machine.FailEnumeration(true);
    f.machine.ClearEnumRequests();
    form.Table().EnumerateProcessIds();
    EXPECT_EQ(f.machine.EnumRequestSizes(), (std::vector<std::int32_t>{16, 32, 64, 128}));
    EXPECT_EQ(form.Table().CountProcessIds(), 0);
}

TEST(ProcessRows, NamesAreProperCasedPaddedMarkedAndCounted)
{
    test::FakeForm f;
    f.AddFavoriteFile({Row("NOTEPAD.EXE", "0")});
    f.files.PutFile("/opt/korvane/Hidden.txt", "Svchost.exe\r\n");
    const auto notepad = f.machine.Start("/mnt/c/Windows/notepad.exe");
    f.machine.SetMaskDirectly(notepad, 3);
    f.machine.Start("/usr/bin/host.exe");          // hidden by containment
    f.machine.Start("/usr/bin/SVCHOST.EXE");
    const auto unreadable = f.machine.Start("/usr/bin/secret");
    f.machine.HidePath(unreadable);
    const auto noMask = f.machine.Start("/usr/bin/zsh");
    f.machine.HideAffinity(noMask);
    f.machine.StartWithId(0, "/idle");

    ui::Form1& form = f.Start();
    f.Run(500);
    EXPECT_EQ(f.ProcessRows(), (std::vector<std::string>{Row("*Notepad.exe", "01"), Row("Zsh", "?")}));
    EXPECT_EQ(f.Controls().Label2.Caption(), "Process (2/4)");

    f.Controls().ShowAll.SetValue(1);
    EXPECT_EQ(f.ProcessRows(), (std::vector<std::string>{Row("*Notepad.exe", "01"), Row("<Host.exe", "0123"),
                                                         Row("<Svchost.exe", "0123"), Row("Zsh", "?")}));
    EXPECT_EQ(f.Controls().Label2.Caption(), "Process (4/4)");
    (void)form;
}

TEST(ProcessRows, HiddenFavoriteGetsBothMarkersAndLongNamesAreCut)
{
    test::FakeForm f;
    const std::string name34(30, 'a');
    const std::string longName = name34 + ".exe"; // 34 characters
    f.AddFavoriteFile({Row("Host.exe", "1"), Row("A" + std::string(29, 'a') + ".exe", "0")});
    f.files.PutFile("/opt/korvane/Hidden.txt", "Svchost.exe\r\n");
    f.machine.Start("/bin/host.exe");
    f.machine.Start("/bin/" + longName);
    f.machine.Start("/bin/" + std::string(40, 'b'));
    f.Start();
    f.Controls().ShowAll.SetValue(1);
    const auto rows = f.ProcessRows();
    ASSERT_EQ(rows.size(), 3U);
    EXPECT_EQ(rows[0], "*A" + std::string(29, 'a') + ".ex" + "0123");
    EXPECT_EQ(rows[1], Row("<*Host.exe", "0123"));
    EXPECT_EQ(rows[2], "B" + std::string(33, 'b') + "0123");
}

TEST(ProcessRows, TheSelectedProcessStaysSelectedElseTheFirstRow)
{
    test::FakeForm f;
    f.machine.Start("/bin/alpha");
    const auto beta = f.machine.StartWithId(70000, "/bin/beta"); // above 32767
    f.machine.Start("/bin/gamma");
    ui::Form1& form = f.Start();
    f.Run(1000);
    f.Controls().List1.UserClickRow(f.RowOf("Beta"));
    EXPECT_EQ(form.Selection().SelectedProcessId, beta);
    EXPECT_EQ(form.Selection().SelectedProcessName, "Beta");

    f.machine.Start("/bin/aardvark");
    f.Run(1000);
    EXPECT_EQ(f.Controls().List1.ListIndex(), f.RowOf("Beta"));
    EXPECT_EQ(form.Selection().SelectedProcessId, beta);

    f.machine.End(beta);
    f.Run(1000);
    EXPECT_EQ(f.Controls().List1.ListIndex(), 0);
    EXPECT_EQ(form.Selection().SelectedProcessName, "Aardvark");
}

TEST(ProcessRows, ARowWhoseSetIsOnlyPreferredSaysSoInTheListsTooltipWhileSelected)
{
    test::FakeForm f;
    const auto alpha = f.machine.Start("/bin/alpha");
    f.machine.Start("/bin/beta");
    f.machine.MarkPreferred(alpha);
    f.Start();
    f.Run(1000);
    const forms::ListBox& list1 = f.Controls().List1;
    f.Controls().List1.UserClickRow(f.RowOf("Alpha"));
    EXPECT_EQ(list1.ToolTipText(),
              "Alpha prefers CPUs 0-3 (Windows CPU sets): it may also run on its other CPUs while these are busy.");
    f.Controls().List1.UserClickRow(f.RowOf("Beta"));
    EXPECT_EQ(list1.ToolTipText(), "");

    // A hard set made through Korvane ends the preference.
    f.Controls().List1.UserClickRow(f.RowOf("Alpha"));
    for (auto& box : f.Controls().Check11)
        box.SetValue(0);
    f.Controls().Check11[1].SetValue(1);
    f.Controls().Command5.UserClick();
    f.Run(1000);
    EXPECT_EQ(list1.ToolTipText(), "");
}

} // namespace
} // namespace korvane::procmon

// The whole program headless on the simulated machine, played as a user plays it.
#include "ui/form1.h"

#include "core/text.h"
#include "platform/image/bitmap_file.h"
#include "support/fake_form.h"

#include <gtest/gtest.h>

namespace korvane::ui {
namespace {

using test::Row;

constexpr const char* kFavorites = "/opt/korvane/MyFav.Affinity";
constexpr const char* kHidden = "/opt/korvane/Hidden.txt";

std::optional<std::string> Setting(test::FakeForm& f, const std::string& key)
{
    return f.settings.Get("Tollmere", "Korvane", key);
}

TEST(FirstStart, EveryDefaultAndNothingWrittenUntilARealExit)
{
    test::FakeForm f;
    Form1& form = f.Start();
    MainControls& c = f.Controls();
    EXPECT_EQ(c.Form.Top(), 5602); // (16200 - 4995) / 2 = 5602.5, halves to even
    EXPECT_EQ(c.Form.Left(), 9022);
    EXPECT_EQ(c.Form.Height(), 4995);
    EXPECT_EQ(c.Form.Width(), 10755);
    EXPECT_EQ(c.Form.State(), forms::WindowState::Normal);
    EXPECT_TRUE(c.Form.Visible());
    EXPECT_EQ(c.Label5.Caption(), "Favorites (0)");
    EXPECT_EQ(c.ConfirmRemvFav.Value(), 1);
    EXPECT_EQ(c.SortFavByAff.Value(), 1);
    EXPECT_EQ(c.Check1.Value(), 0);
    EXPECT_EQ(c.MiniMe.Value(), 0);
    EXPECT_EQ(c.Start_Up.Value(), 0);
    EXPECT_TRUE(c.Command3.Enabled());
    EXPECT_TRUE(c.ColurPik[5].Checked());
    EXPECT_EQ(c.TrayAsNum.Value(), 0);
    EXPECT_EQ(Setting(f, "Hwnd"), "4242");
    EXPECT_EQ(f.settings.SaveCount(), 1);
    EXPECT_TRUE(f.files.FolderExists("/opt/korvane/cache"));

    f.Run(3000);
    EXPECT_FALSE(form.Unload(kUnloadControlMenu)); // the close box hides to the tray
    EXPECT_FALSE(c.Form.Visible());
    EXPECT_EQ(f.settings.SaveCount(), 1);
    EXPECT_FALSE(form.Ended());

    c.mnuExit.UserClick();
    EXPECT_TRUE(form.Ended());
    EXPECT_FALSE(f.files.FileExists(kFavorites));
    EXPECT_FALSE(f.files.FileExists(kHidden));
    EXPECT_EQ(Setting(f, "Top"), "5602");
    EXPECT_EQ(Setting(f, "Height"), "4995");
    EXPECT_EQ(Setting(f, "TrayForeColor"), "5");
    EXPECT_EQ(Setting(f, "ConfirmRemvFav"), "1");
    EXPECT_EQ(Setting(f, "AutoSet"), "0");
    EXPECT_EQ(f.tray.Calls().back().command, 'D');
    EXPECT_TRUE(f.counters.Closed());
    EXPECT_FALSE(c.Timer1.Enabled() || c.Timer2.Enabled() || c.Timer3.Enabled());
}

TEST(Favorites, AddedFromTheProcessListWithTheTickedCpus)
{
    test::FakeForm f;
    const auto editor = f.machine.Start("/usr/bin/editor", 2);
    Form1& form = f.Start();
    f.Run(1000);
    MainControls& c = f.Controls();
    c.List1.UserClickRow(f.RowOf("Editor"));
    for (auto& box : c.Check11)
        box.SetValue(0);
    c.Command1.UserClick();
    ASSERT_EQ(f.dialogs.Messages().size(), 1U);
    EXPECT_EQ(f.dialogs.Messages()[0].text, "Please set the affinity first!");
    EXPECT_EQ(c.List2.ListCount(), 0);
    EXPECT_TRUE(c.Timer1.Enabled());

    c.Check11[1].SetValue(1);
    c.Command1.UserClick();
    EXPECT_EQ(f.Rows(c.List2), std::vector<std::string>{Row("Editor", "1")});
    EXPECT_EQ(c.Label5.Caption(), "Favorites (1)");
    EXPECT_EQ(f.ProcessRows(), std::vector<std::string>{Row("*Editor", "0123")});
    EXPECT_TRUE(f.files.FileExists("/opt/korvane/cache/Editor.bmp")); // the placeholder, so it has an icon
    EXPECT_EQ(f.machine.ThreadMasks(editor).front(), 15U); // auto set is off
    EXPECT_FALSE(c.Command1.Enabled());

    c.mnuExit.UserClick();
    EXPECT_EQ(f.files.Content(kFavorites), Row("Editor", "1") + "\r\n");
    (void)form;
}

TEST(Favorites, AddingAHiddenProcessUnhidesIt)
{
    test::FakeForm f;
    f.files.PutFile(kHidden, "Editor\r\n");
    f.machine.Start("/usr/bin/editor");
    f.Start();
    MainControls& c = f.Controls();
    c.ShowAll.UserClick();
    c.List1.UserClickRow(f.RowOf("Editor"));
    EXPECT_EQ(f.form->Selection().SelectedProcessName, "<Editor");
    for (auto& box : c.Check11)
        box.SetValue(0);
    c.Check11[0].SetValue(1);
    c.Command1.UserClick();
    EXPECT_EQ(f.Rows(c.List2), std::vector<std::string>{Row("Editor", "0")});
    EXPECT_EQ(f.ProcessRows()[0], Row("*Editor", "0123"));
    c.mnuExit.UserClick();
    EXPECT_EQ(f.files.Content(kHidden), "");
}

TEST(Favorites, BrowsingAddsEveryChosenFileWithEveryCpuAndSkipsExistingNames)
{
    test::FakeForm f(2);
    f.AddFavoriteFile({Row("Tool", "0"), Row("myapp", "1")});
    f.files.PutFile(kHidden, "Game\r\n");
    f.icons.SetIcon("/opt/apps/game", platform::fake::FakeIconSource::SolidIcon(image::Rgb(200, 0, 0)));
    Form1& form = f.Start();
    MainControls& c = f.Controls();

    f.fileDialogs.AnswerNext(std::vector<std::string>{"/opt/apps/game", "/opt/apps/tool", "/opt/apps/MYAPP"});
    c.Command9.UserClick();
    EXPECT_EQ(f.fileDialogs.lastTitle, "Add Affinity Favorite");
    EXPECT_EQ(f.fileDialogs.lastFilter, std::string("All Files\0*\0*.Exe, *.Src\0*.exe;*.scr\0", 37));
    EXPECT_TRUE(f.fileDialogs.lastMultiSelect);
    // Tool already is a favorite; Myapp differs from myapp in case only, so it is added.
    EXPECT_EQ(f.Rows(c.List2), (std::vector<std::string>{Row("Tool", "0"), Row("myapp", "1"), Row("Game", "01"),
                                                         Row("Myapp", "01")}));
    EXPECT_EQ(c.Label5.Caption(), "Favorites (4)");
    EXPECT_FALSE(form.Hidden().IsHidden("Game"));
    EXPECT_TRUE(f.files.FileExists("/opt/korvane/cache/game.bmp"));
    EXPECT_FALSE(f.files.FileExists("/opt/korvane/cache/MYAPP.bmp")); // no icon: nothing cached
    // The favorites list finds the icon cached under another case.
    EXPECT_EQ(c.ScrollBox2.Picture().Pixel(5, 2 * 16 + 5), image::Rgb(200, 0, 0));
    EXPECT_EQ(c.ScrollBox2.Picture().Pixel(5, 5), image::kWhite);

    f.fileDialogs.AnswerNext(std::nullopt);
    c.Command9.UserClick();
    EXPECT_EQ(c.List2.ListCount(), 4);
    EXPECT_TRUE(c.Timer1.Enabled());

    // A backslash is part of a Linux file name, alone or among several chosen files.
    f.fileDialogs.AnswerNext(std::vector<std::string>{"/opt/a\\b/to\\ol"});
    c.Command9.UserClick();
    f.fileDialogs.AnswerNext(std::vector<std::string>{"/opt/x/c\\d", "/opt/x/e"});
    c.Command9.UserClick();
    EXPECT_EQ(f.Rows(c.List2).back(), Row("To\\ol", "01"));
    EXPECT_EQ(c.List2.ListCount(), 7);
    EXPECT_NE(f.RowOfFavorite("C\\d"), -1);
}

TEST(Favorites, RemovingAsksFirstUnlessToldNotTo)
{
    test::FakeForm f;
    f.AddFavoriteFile({Row("A", "0"), Row("B", "0"), Row("C", "0"), Row("D", "1")});
    f.Start();
    MainControls& c = f.Controls();
    for (std::int32_t i = 0; i < 3; ++i)
        c.List2.SetSelected(i, true);
    f.dialogs.AnswerNext(platform::kAnswerNo);
    c.Command2.UserClick();
    ASSERT_EQ(f.dialogs.Messages().size(), 1U);
    EXPECT_EQ(f.dialogs.Messages()[0].text, "Remove selected file names from favorites?");
    EXPECT_EQ(f.dialogs.Messages()[0].style, 4 + 32 + 256);
    EXPECT_EQ(c.List2.ListCount(), 4);
    EXPECT_FALSE(f.form->Favorites().FavoritesChanged());

    f.dialogs.AnswerNext(platform::kAnswerYes);
    c.Command2.UserClick();
    EXPECT_EQ(f.Rows(c.List2), std::vector<std::string>{Row("D", "1")});
    EXPECT_EQ(c.Label5.Caption(), "Favorites (1)");
    EXPECT_TRUE(c.List2.Selected(0));

    c.ConfirmRemvFav.UserClick();
    f.dialogs.ClearMessages();
    c.Command2.UserClick();
    EXPECT_TRUE(f.dialogs.Messages().empty());
    EXPECT_EQ(c.List2.ListCount(), 0);
    c.mnuExit.UserClick();
    EXPECT_EQ(f.files.Content(kFavorites), "");
}

TEST(Favorites, SortingByAffinityIsSwitchedByTheOptionAndKeepsTheSelection)
{
    test::FakeForm f;
    f.AddFavoriteFile({Row("Notepad.exe", "0"), Row("Calc.exe", "01"), Row("Zip.exe", "0"), Row("Odd.exe", "10")});
    f.Start();
    MainControls& c = f.Controls();
    auto names = [&] {
        std::vector<std::string> result;
        for (const auto& row : f.Rows(c.List2))
            result.push_back(core::ListRow(row).Name());
        return result;
    };
    EXPECT_EQ(names(), (std::vector<std::string>{"Notepad.exe", "Zip.exe", "Calc.exe", "Odd.exe"}));
    EXPECT_TRUE(c.List2.Selected(0)); // the first row of the file is selected at start
    c.List2.SetSelected(1, true);

    c.SortFavByAff.UserClick();
    EXPECT_EQ(names(), (std::vector<std::string>{"Calc.exe", "Notepad.exe", "Odd.exe", "Zip.exe"}));
    EXPECT_TRUE(c.List2.Selected(1));
    EXPECT_TRUE(c.List2.Selected(3));
    EXPECT_FALSE(c.List2.Selected(0));
    c.mnuExit.UserClick();
    EXPECT_FALSE(f.files.Content(kFavorites)->empty());
    EXPECT_EQ(f.files.Content(kFavorites), Row("Notepad.exe", "0") + "\r\n" + Row("Calc.exe", "01") + "\r\n" +
                                               Row("Zip.exe", "0") + "\r\n" + Row("Odd.exe", "10") + "\r\n")
        << "reordering alone does not rewrite the file";
}

TEST(Favorites, EachChangeReachesTheDiskAtOnceAndTheExitWritesOnlyWhatIsLeft)
{
    test::FakeForm f;
    f.machine.Start("/usr/bin/editor");
    f.machine.Start("/usr/bin/daemon");
    f.Start();
    f.Run(1000);
    MainControls& c = f.Controls();
    c.List1.UserClickRow(f.RowOf("Editor"));
    c.Command1.UserClick();
    EXPECT_EQ(f.files.Content(kFavorites), Row("Editor", "0123") + "\r\n");
    EXPECT_FALSE(f.files.FileExists(kHidden));
    c.List1.UserClickRow(f.RowOf("Daemon"));
    c.Command7.UserClick();
    EXPECT_EQ(f.files.Content(kHidden), "Daemon\r\n");

    // The picker's Apply is saved too.
    c.List2.UserClickRow(0);
    c.List2.UserMouseUp(forms::kRightButton, 0, 0, 0);
    Form2& picker = *f.form->Picker();
    picker.Check1[0].SetValue(0);
    picker.Label1.UserClick();
    EXPECT_EQ(f.files.Content(kFavorites), Row("Editor", "123") + "\r\n");

    // A write that fails is tried again at the exit, and only that one.
    f.files.FailAllWrites(true);
    c.ConfirmRemvFav.SetValue(0);
    c.Command2.UserClick();
    EXPECT_EQ(c.List2.ListCount(), 0);
    EXPECT_EQ(f.files.Content(kFavorites), Row("Editor", "123") + "\r\n");
    f.files.FailAllWrites(false);
    const int writes = f.files.WriteCount();
    c.mnuExit.UserClick();
    EXPECT_EQ(f.files.Content(kFavorites), "");
    EXPECT_EQ(f.files.WriteCount(), writes + 1);
    EXPECT_TRUE(f.dialogs.Messages().empty());
}

TEST(Favorites, AChangeThatCannotBeWrittenEvenAtTheExitIsNamedNotLostSilently)
{
    test::FakeForm f;
    f.machine.Start("/usr/bin/editor");
    f.Start();
    f.Run(1000);
    MainControls& c = f.Controls();
    f.files.FailAllWrites(true);
    c.List1.UserClickRow(f.RowOf("Editor"));
    c.Command1.UserClick();
    c.mnuExit.UserClick();
    ASSERT_EQ(f.dialogs.Messages().size(), 1U);
    EXPECT_EQ(f.dialogs.Messages()[0].text.rfind("Korvane could not save:\n" + std::string(kFavorites) + "\n", 0), 0U)
        << f.dialogs.Messages()[0].text;
    EXPECT_EQ(f.dialogs.Messages()[0].style, 16);
    EXPECT_TRUE(f.form->Ended());
}

struct PickerFixture : ::testing::Test {
    Form1& StartWith(int processors, std::vector<std::string> rows)
    {
        f = std::make_unique<test::FakeForm>(processors);
        f->AddFavoriteFile(rows);
        return f->Start();
    }
    Form2& OpenPickerOn(std::int32_t row)
    {
        MainControls& c = f->Controls();
        c.List2.UserClickRow(row);
        c.List2.UserMouseUp(forms::kRightButton, 0, 300, 480);
        Form2* picker = f->form->Picker();
        EXPECT_NE(picker, nullptr);
        return *picker;
    }
    std::unique_ptr<test::FakeForm> f;
};

TEST_F(PickerFixture, OpensPresetFromTheCaretRowWithTheMachinesCpusEnabled)
{
    StartWith(4, {Row("Game", "02")});
    Form2& picker = OpenPickerOn(0);
    EXPECT_EQ(picker.Check1[0].Value(), 1);
    EXPECT_EQ(picker.Check1[2].Value(), 1);
    EXPECT_EQ(picker.Check1[1].Value(), 0);
    for (const auto& box : picker.Check1)
        EXPECT_TRUE(box.Enabled());
    EXPECT_EQ(picker.Form.ClassStyle() & kDropShadowClassStyle, kDropShadowClassStyle);
    EXPECT_EQ(picker.Form.Left(), 5430 + f->Controls().Form.Left() + 300);

    StartWith(2, {Row("Game", "02")});
    Form2& small = OpenPickerOn(0);
    EXPECT_EQ(small.Check1[2].Value(), 1);
    EXPECT_FALSE(small.Check1[2].Enabled());
    small.Label1.UserClick();
    EXPECT_EQ(f->Rows(f->Controls().List2), std::vector<std::string>{Row("Game", "02")});
    EXPECT_EQ(f->form->Picker(), nullptr);
    EXPECT_TRUE(f->Controls().Timer1.Enabled());
}

TEST_F(PickerFixture, ApplyGivesEverySelectedFavoriteTheNewAffinity)
{
    Form1& form = StartWith(4, {Row("Alpha", "0"), Row("Beta", "01"), Row("Gamma", "2"), Row("Delta", "3")});
    MainControls& c = f->Controls();
    c.SortFavByAff.UserClick(); // name order: Alpha, Beta, Delta, Gamma
    c.List2.UserClickRow(0);
    c.List2.UserClickRow(1, true);
    c.List2.UserClickRow(3, true);
    c.List2.UserMouseUp(forms::kRightButton, 0, 0, 0);
    Form2& picker = *form.Picker();
    for (auto& box : picker.Check1)
        box.SetValue(0);
    picker.Check1[1].SetValue(1);
    picker.Label1.UserClick();
    EXPECT_EQ(f->Rows(c.List2), (std::vector<std::string>{Row("Alpha", "1"), Row("Beta", "1"), Row("Delta", "3"),
                                                          Row("Gamma", "1")}));
    EXPECT_TRUE(c.List2.Selected(0) && c.List2.Selected(1) && c.List2.Selected(3));
    EXPECT_FALSE(c.List2.Selected(2));
    EXPECT_EQ(c.Label5.Caption(), "Favorites (4)");
    EXPECT_TRUE(form.Favorites().FavoritesChanged());
}

TEST_F(PickerFixture, NothingTickedCancelOrDeactivationCloseWithoutChange)
{
    Form1& form = StartWith(4, {Row("Game", "1")});
    Form2& first = OpenPickerOn(0);
    for (auto& box : first.Check1)
        box.SetValue(0);
    first.Label1.UserClick();
    EXPECT_EQ(form.Picker(), nullptr);
    EXPECT_FALSE(form.Favorites().FavoritesChanged());

    OpenPickerOn(0).Label2.UserClick();
    EXPECT_EQ(form.Picker(), nullptr);

    Form2& third = OpenPickerOn(0);
    third.Check1[3].SetValue(1);
    third.Form.OnDeactivate(); // a click on the main window
    EXPECT_EQ(form.Picker(), nullptr);
    EXPECT_EQ(f->Rows(f->Controls().List2), std::vector<std::string>{Row("Game", "1")});
    EXPECT_TRUE(f->Controls().Timer1.Enabled());
}

TEST_F(PickerFixture, TheItemUnderThePointerIsHighlighted)
{
    StartWith(4, {Row("Game", "1")});
    Form2& picker = OpenPickerOn(0);
    picker.Label1.UserMouseMove();
    EXPECT_EQ(picker.Label1.Look(), forms::LabelLook::Highlighted);
    EXPECT_EQ(picker.Label2.Look(), forms::LabelLook::Normal);
    picker.Check1[0].UserMouseMove();
    EXPECT_EQ(picker.Label1.Look(), forms::LabelLook::Normal);
    picker.Label2.UserMouseMove();
    EXPECT_EQ(picker.Label2.Look(), forms::LabelLook::Highlighted);
    picker.Label3.UserMouseMove();
    EXPECT_EQ(picker.Label2.Look(), forms::LabelLook::Normal);
}

TEST_F(PickerFixture, ALeftClickNeverOpensItButMakesTheWheelScrollTheFavorites)
{
    std::vector<std::string> rows;
    for (int i = 0; i < 20; ++i)
        rows.push_back(Row("Fav" + std::to_string(10 + i), "0"));
    Form1& form = StartWith(4, rows);
    MainControls& c = f->Controls();
    c.List2.UserClickRow(2);
    c.List2.UserMouseUp(forms::kLeftButton, 0, 0, 0);
    EXPECT_EQ(form.Picker(), nullptr);
    EXPECT_TRUE(c.Vs2.Visible());
    form.MouseWheel(-120);
    EXPECT_EQ(form.State().FavoritesScrollTop, -240);
    EXPECT_EQ(c.Vs2.Value(), 240);

    // Removing six leaves 14 rows: the bar goes and the list is back at the top.
    for (std::int32_t i = 0; i < 6; ++i)
        c.List2.SetSelected(i, true);
    f->dialogs.AnswerNext(platform::kAnswerYes);
    c.Command2.UserClick();
    EXPECT_FALSE(c.Vs2.Visible());
    EXPECT_EQ(form.State().FavoritesScrollTop, 0);
}

TEST(AutoSetOnStart, TicksAutoSetAndAppliesTheFavoritesAtTheFirstRefresh)
{
    test::FakeForm f;
    f.settings.Save("Tollmere", "Korvane", "AutoSet", "1");
    f.AddFavoriteFile({Row("Game", "01")});
    const auto game = f.machine.Start("/opt/game", 2);
    f.Start();
    MainControls& c = f.Controls();
    EXPECT_EQ(c.Check1.Value(), 1);
    EXPECT_EQ(c.Check2.Value(), 1);
    EXPECT_FALSE(c.Command3.Enabled());
    EXPECT_TRUE(c.MnuSetFav.Checked());
    EXPECT_EQ(f.machine.ThreadMasks(game).front(), 15U);
    f.Run(500);
    EXPECT_EQ(f.machine.ThreadMasks(game).front(), 3U);
}

TEST(Exit, DeleteSettingsClearsEverythingAndTheNextStartUsesTheDefaults)
{
    test::FakeForm f;
    f.settings.Save("Tollmere", "Korvane", "Top", "100");
    f.autostart.entries["korvane"] = "/opt/korvane/korvane";
    Form1& form = f.Start();
    MainControls& c = f.Controls();
    EXPECT_EQ(c.Start_Up.Value(), 1);
    EXPECT_TRUE(form.Options().AutostartWanted);
    c.List1.UserClickRow(0);

    f.dialogs.AnswerNext(platform::kAnswerNo);
    c.Command10.UserClick();
    EXPECT_FALSE(form.Ended());
    EXPECT_EQ(f.dialogs.Messages().back().text, "Delete saved settings and exit?");

    f.dialogs.AnswerNext(platform::kAnswerYes);
    c.Command10.UserClick();
    EXPECT_TRUE(form.Ended());
    EXPECT_EQ(f.settings.KeyCount(), 0U);
    EXPECT_TRUE(f.autostart.entries.empty());
    EXPECT_EQ(f.tray.Calls().back().command, 'D');
}

TEST(Exit, StartWithTheSessionIsWrittenOnlyAtARealExit)
{
    test::FakeForm f;
    Form1& form = f.Start();
    MainControls& c = f.Controls();
    c.Start_Up.UserClick();
    form.Unload(kUnloadControlMenu);
    EXPECT_TRUE(f.autostart.entries.empty());
    form.Unload(kUnloadAppWindows); // the session ends
    EXPECT_EQ(f.autostart.entries["korvane"], "/opt/korvane/korvane");
    EXPECT_TRUE(form.Ended());
    form.Unload(kUnloadCode); // once only
    EXPECT_EQ(std::count_if(f.tray.Calls().begin(), f.tray.Calls().end(), [](const auto& call) {
                  return call.command == 'D';
              }),
              1);
}

TEST(Exit, AnAutostartTheUserSwitchedOffElsewhereIsNotWrittenBackWhenTheBoxStayedAsItWas)
{
    test::FakeForm f;
    f.autostart.entries["korvane"] = "/opt/korvane/korvane";
    Form1& form = f.Start();
    EXPECT_EQ(f.Controls().Start_Up.Value(), 1);
    f.autostart.entries.clear(); // switched off in the system's own settings during the run
    form.Unload(kUnloadAppWindows);
    EXPECT_TRUE(f.autostart.entries.empty());
}

TEST(SecondInstance, ShowsTheFirstWindowAndLeavesNoTrace)
{
    test::FakeForm first;
    first.Start();
    first.Controls().Form.SetState(forms::WindowState::Minimized);
    EXPECT_FALSE(first.Controls().Form.Visible());

    test::FakeForm second;
    second.registry = first.registry;
    second.instance = platform::fake::FakeSingleInstance(first.registry, 9999);
    second.settings.Save("Tollmere", "Korvane", "Hwnd", "4242");
    const int saves = second.settings.SaveCount();
    Form1& form = second.Start();
    EXPECT_TRUE(form.AlreadyRunning());
    EXPECT_TRUE(form.Ended());
    EXPECT_EQ(second.settings.SaveCount(), saves);
    EXPECT_TRUE(second.tray.Calls().empty());
    EXPECT_EQ(first.registry->shownWindows, std::vector<std::int64_t>{4242});

    first.Run(333);
    EXPECT_TRUE(first.Controls().Form.Visible());
    EXPECT_EQ(first.Controls().Form.State(), forms::WindowState::Normal);
    EXPECT_EQ(first.Controls().Form.ForegroundRequests(), 1);
}

TEST(Window, ResizingMovesOnlyTheListsAndMinimizingHidesToTheTray)
{
    test::FakeForm f;
    Form1& form = f.Start();
    MainControls& c = f.Controls();
    EXPECT_EQ(c.MainBox.Height(), 3765);
    c.Form.SetHeight(9000);
    c.Form.OnResize();
    EXPECT_EQ(c.MainBox.Height(), 9000 - 185 - 100 - 945);
    EXPECT_EQ(c.Vs2.Height(), c.MainBox.Height());
    EXPECT_EQ(c.MainBox2.Height(), c.MainBox.Height());
    c.Form.SetHeight(1500); // too small: the lists keep their height
    c.Form.OnResize();
    EXPECT_EQ(c.MainBox.Height(), 9000 - 185 - 100 - 945);

    const SizeLimits limits = form.Layout().GetMinMaxInfo();
    EXPECT_EQ(limits.minTrackWidth, 717);
    EXPECT_EQ(limits.maxTrackWidth, 717);
    EXPECT_EQ(limits.minTrackHeight, 33);
    EXPECT_EQ(limits.maxTrackHeight, 1040);
    EXPECT_EQ(limits.maxSizeHeight, 1080);
    EXPECT_EQ(limits.maxPositionX, c.Form.Left() / 15);
    EXPECT_EQ(limits.maxPositionY, 0);

    c.Form.SetState(forms::WindowState::Maximized);
    EXPECT_FALSE(form.Layout().AllowCaptionDrag());
    c.Form.SetState(forms::WindowState::Minimized);
    EXPECT_FALSE(c.Form.Visible());
    EXPECT_TRUE(form.Layout().AllowCaptionDrag());
}

TEST(Window, ComesBackInsideTheWorkArea)
{
    const struct {
        std::int32_t left, top;
        std::int32_t expectLeft, expectTop;
    } cases[] = {
        {27000, 3000, (1920 - 717) * 15, 3000}, // off the right edge
        {3000, -600, 3000, 0},                  // above the top
        {-900, 16000, 0, (1040 - 333) * 15},    // off the left and below the bottom
    };
    for (const auto& c : cases) {
        test::FakeForm f;
        f.settings.Save("Tollmere", "Korvane", "Left", std::to_string(c.left));
        f.settings.Save("Tollmere", "Korvane", "Top", std::to_string(c.top));
        f.Start();
        EXPECT_EQ(f.Controls().Form.Left(), c.expectLeft) << c.left;
        EXPECT_EQ(f.Controls().Form.Top(), c.expectTop) << c.top;
    }

    test::FakeForm unreadable;
    unreadable.screen.workAreaReadable = false;
    unreadable.settings.Save("Tollmere", "Korvane", "Top", "99999");
    unreadable.Start();
    EXPECT_EQ(unreadable.Controls().Form.Top(), (1080 - 333) * 15);
}

TEST(Window, ComesBackInsideTheWorkAreaAtScalesThatDoNotDivideTwips)
{
    // 192 dots per inch: 7.5 twips a pixel, 8 as a whole number. Places in the desktop's scale
    // (here the same, then 100 % for a window on a 200 % monitor) and sizes in the window's.
    for (const double place : {7.5, 15.0}) {
        test::FakeForm f;
        f.screen.width = 3840;
        f.screen.height = 2160;
        f.screen.workArea = {0, 0, 3840, 2112};
        f.screen.twipsPerPixel = 8;
        f.screen.exactTwipsPerPixel = 7.5;
        f.screen.placeTwipsPerPixel = place;
        f.settings.Save("Tollmere", "Korvane", "Left", "99000");
        f.settings.Save("Tollmere", "Korvane", "Top", "99000");
        f.Start();
        const forms::Window& form = f.Controls().Form;
        const double right = form.Left() / place + form.Width() / 7.5;
        const double bottom = form.Top() / place + form.Height() / 7.5;
        EXPECT_LE(right, 3840.5) << place;
        EXPECT_GE(right, 3838.5) << place;
        EXPECT_LE(bottom, 2112.5) << place;
        EXPECT_GE(bottom, 2110.5) << place;
    }
}

TEST(Window, ADoubleClickOnTheTrayRestoresTheSavedPlacementAndTheTrayComesBack)
{
    test::FakeForm f;
    Form1& form = f.Start();
    MainControls& c = f.Controls();
    c.Form.Move(1500, 1200, 10755, 6000);
    form.Unload(kUnloadControlMenu);
    c.Form.Move(0, 0, 10755, 4995);
    c.P2.OnMouseMove(0, 0, 515, 0);
    EXPECT_EQ(c.Form.Top(), 1200);
    EXPECT_EQ(c.Form.Left(), 1500);
    EXPECT_EQ(c.Form.Height(), 6000);
    EXPECT_TRUE(c.Form.Visible());

    form.TaskbarCreated();
    EXPECT_EQ(f.tray.Calls().back().command, 'A');
}

TEST(Options, PanelsCoverTheAffinityControlsOneAtATime)
{
    test::FakeForm f;
    f.Start();
    MainControls& c = f.Controls();
    EXPECT_EQ(c.Picture2.Left(), c.Picture1.Left());
    EXPECT_EQ(c.cpuOptions.Top(), c.Picture1.Top());
    c.Command4.UserClick();
    EXPECT_TRUE(c.Picture2.Visible());
    c.Command13.UserClick();
    EXPECT_FALSE(c.Picture2.Visible());
    EXPECT_TRUE(c.cpuOptions.Visible());
    c.Command12.UserClick();
    EXPECT_FALSE(c.cpuOptions.Visible());
    c.Command4.UserClick();
    c.MainBox.OnClick();
    EXPECT_FALSE(c.Picture2.Visible());
    c.Command14.UserClick();
    EXPECT_EQ(c.Form.LastPopupMenu(), "Tray Icon Color");
    c.ColurPik[1].UserClick();
    c.mnuExit.UserClick();
    EXPECT_EQ(Setting(f, "TrayForeColor"), "1");
}

TEST(BadInput, GarbageSettingsReadAsDefaults)
{
    test::FakeForm f;
    for (const char* key : {"Top", "Left", "Height", "AutoSet", "MiniMe", "ConfirmRemvFav", "SortFavByAff",
                            "TrayForeColor", "TrayAsNum"})
        f.settings.Save("Tollmere", "Korvane", key, "x1");
    f.settings.Save("Tollmere", "Korvane", "TrayForeColor", "12");
    f.Start();
    MainControls& c = f.Controls();
    EXPECT_EQ(c.Form.Height(), 4995);
    EXPECT_EQ(c.Form.Top(), 5602);
    EXPECT_EQ(c.ConfirmRemvFav.Value(), 1);
    EXPECT_EQ(c.MiniMe.Value(), 0);
    EXPECT_TRUE(c.ColurPik[5].Checked());
}

TEST(BadInput, HandEditedFilesLoseNoFavorite)
{
    test::FakeForm f;
    std::string favorites = Row("Good", "0") + "\r\n" + "Odd                               ?\n" + "x\n" +
                            std::string(100000, 'y') + "\n" + std::string("\0\0bin", 5) + "\r\n";
    f.files.PutFile(kFavorites, favorites);
    f.files.PutFile(kHidden, std::string("\xff\xfe\0\r\n", 5));
    const auto good = f.machine.Start("/bin/good");
    f.Start();
    MainControls& c = f.Controls();
    EXPECT_EQ(c.List2.ListCount(), 5);
    c.Command3.UserClick();
    EXPECT_EQ(f.machine.ThreadMasks(good).front(), 15U); // Set Now before the first refresh sets nothing
    f.Run(500);
    c.Command3.UserClick();
    EXPECT_EQ(f.machine.ThreadMasks(good).front(), 1U);
    // Both orders keep every row, and a change writes them all back.
    c.SortFavByAff.UserClick();
    c.SortFavByAff.UserClick();
    f.fileDialogs.AnswerNext(std::vector<std::string>{"/bin/new"});
    c.Command9.UserClick();
    EXPECT_EQ(c.List2.ListCount(), 6);
    c.mnuExit.UserClick();
    const std::string saved = *f.files.Content(kFavorites);
    for (const std::string& row : {Row("Good", "0"), std::string("Odd                               ?"),
                                   std::string(100000, 'y'), std::string("??bin"), std::string("x"),
                                   Row("New", "0123")})
        EXPECT_NE(saved.find(row + "\r\n"), std::string::npos) << row.substr(0, 40);
}

TEST(BadInput, AByteOrderMarkIsNoPartOfTheFirstNameAndAnOverrideShowsAsAQuestionMark)
{
    test::FakeForm f;
    f.files.PutFile(kFavorites, "\xEF\xBB\xBF" + core::ListRow::Format("Game.exe", "1") + "\r\n");
    f.files.PutFile(kHidden, "\xEF\xBB\xBFNoise\r\n");
    const auto game = f.machine.Start("/opt/Game.exe");
    f.machine.Start("/usr/bin/noise");
    f.machine.Start("/opt/evil\u202Eexe.hsab");
    f.settings.Save("Tollmere", "Korvane", "AutoSet", "1");
    f.Start();
    f.Run(1000);
    EXPECT_EQ(f.machine.ThreadMasks(game), std::vector<std::uint32_t>{2});
    EXPECT_EQ(f.RowOf("Noise"), -1);
    EXPECT_NE(f.RowOf("Evil?exe.hsab"), -1);
}

TEST(BadInput, NamesWithControlCharactersStayOneRowAndStillMatchTheirProcesses)
{
    test::FakeForm f;
    // Named to look like a second row: without care it would add a favorite Victim.
    const std::string trick = "ev\r\nVictim           0";
    const auto evil = f.machine.Start("/opt/" + trick);
    f.machine.Start("/opt/tab\tname");
    const auto victim = f.machine.Start("/usr/bin/victim");
    f.Start();
    f.Run(1000);
    MainControls& c = f.Controls();
    const std::string shown = core::ProperCase(core::VisibleName(trick));
    EXPECT_EQ(shown.find_first_of("\r\n"), std::string::npos);
    ASSERT_NE(f.RowOf(shown), -1);
    EXPECT_NE(f.RowOf("Tab?name"), -1);

    c.List1.UserClickRow(f.RowOf(shown));
    for (auto& box : c.Check11)
        box.SetValue(0);
    c.Check11[1].SetValue(1);
    c.Command1.UserClick();
    c.List1.UserClickRow(f.RowOf("Tab?name"));
    c.Command7.UserClick();
    c.mnuExit.UserClick();
    EXPECT_EQ(f.files.Content(kFavorites), core::ListRow::Format(shown, "1") + "\r\n");
    EXPECT_EQ(f.files.Content(kHidden), "Tab?name\r\n");

    test::FakeForm again;
    again.files.PutFile(kFavorites, *f.files.Content(kFavorites));
    again.files.PutFile(kHidden, *f.files.Content(kHidden));
    const auto evil2 = again.machine.Start("/opt/" + trick);
    const auto tab = again.machine.Start("/opt/tab\tname");
    const auto victim2 = again.machine.Start("/usr/bin/victim");
    again.settings.Save("Tollmere", "Korvane", "AutoSet", "1");
    again.Start();
    again.Run(1000);
    EXPECT_EQ(again.Controls().List2.ListCount(), 1);
    EXPECT_EQ(again.machine.ThreadMasks(evil2).front(), 2U);
    EXPECT_EQ(again.machine.ThreadMasks(victim2).front(), 15U);
    EXPECT_EQ(again.RowOf("Tab?name"), -1); // hidden
    (void)evil;
    (void)victim;
    (void)tab;
}

TEST(BadInput, FilesThatCouldNotBeReadAreReportedOnceAndNeverSavedOver)
{
    test::FakeForm f;
    const std::string favorites = Row("Alpha", "0") + "\r\n" + Row("Beta", "1") + "\r\n" + Row("Gamma", "01") + "\r\n";
    f.files.PutFile(kFavorites, favorites);
    f.files.FailReadAfter(kFavorites, favorites.size() / 2); // halfway through Beta's row
    f.files.PutFile(kHidden, "Keep.exe\r\n");
    f.files.MakeUnreadable(kHidden);
    f.machine.Start("/bin/other");
    f.Start();
    MainControls& c = f.Controls();
    EXPECT_EQ(f.Rows(c.List2), std::vector<std::string>{Row("Alpha", "0")});
    ASSERT_EQ(f.dialogs.Messages().size(), 1U);
    const auto& message = f.dialogs.Messages().front();
    EXPECT_EQ(message.title, "Korvane");
    EXPECT_NE(message.text.find(kFavorites), std::string::npos);
    EXPECT_NE(message.text.find(kHidden), std::string::npos);

    // The run goes on with what it read; the changes are not written over the files.
    f.Run(1000);
    c.List1.UserClickRow(f.RowOf("Other"));
    c.Command1.UserClick();
    c.Command7.UserClick();
    EXPECT_EQ(c.List2.ListCount(), 2);
    c.mnuExit.UserClick();
    EXPECT_EQ(f.files.Content(kFavorites), favorites);
    EXPECT_EQ(f.files.Content(kHidden), "Keep.exe\r\n");
    EXPECT_EQ(f.dialogs.Messages().size(), 1U);
}

TEST(BadInput, AReadOnlyProgramFolderKeepsTheFilesInTheUserDataFolder)
{
    test::FakeForm f;
    f.files.MakeReadOnly("/opt/korvane");
    f.machine.Start("/bin/tool");
    Form1& form = f.Start();
    EXPECT_EQ(form.ProgramFolder(), "/home/user/.local/share/Korvane/");
    MainControls& c = f.Controls();
    f.Run(1000);
    c.List1.UserClickRow(0);
    c.Check11[2].SetValue(1);
    c.Command1.UserClick();
    c.mnuExit.UserClick();
    EXPECT_EQ(f.files.Content("/home/user/.local/share/Korvane/MyFav.Affinity"), Row("Tool", "0123") + "\r\n");
}

TEST(BadInput, ACacheFolderThatCannotBeCreatedOnlyCostsTheIcons)
{
    test::FakeForm f;
    f.files.PutFile("/opt/korvane/cache", "a file where the folder should be");
    f.icons.SetIcon("/bin/tool", platform::fake::FakeIconSource::SolidIcon(image::Rgb(1, 1, 1)));
    f.machine.Start("/bin/tool");
    f.Start();
    f.Run(1000);
    EXPECT_EQ(f.ProcessRows(), std::vector<std::string>{Row("Tool", "0123")});
    EXPECT_EQ(f.Controls().ScrollBox.Picture().Pixel(5, 5), image::Rgb(1, 1, 1));
}

TEST(WindowsPaths, FilesCacheIconsAndTheBrowseDialogUseBackslashesAndDriveRoots)
{
    test::FakeForm f(platform::fake::PathStyle::Windows);
    f.files.PutFile("C:\\Hidden.txt", "");
    const std::int32_t smss = f.machine.Start("\\SystemRoot\\System32\\smss.exe");
    (void)smss;
    Form1& form = f.Start();
    f.Run(1000);
    EXPECT_EQ(form.ProgramFolder(), "C:\\");
    // The system path is looked up in the Windows folder, and its icon cached in C:\cache\.
    const auto& requests = f.icons.Requests();
    EXPECT_NE(std::find(requests.begin(), requests.end(), "C:\\Windows\\System32\\smss.exe"), requests.end());

    MainControls& c = f.Controls();
    c.Check11[0].SetValue(1);
    f.fileDialogs.AnswerNext(std::vector<std::string>{"C:\\Tools\\a.exe", "C:\\Tools\\b.exe", "C:\\Tools\\x:y"});
    c.Command9.UserClick();
    EXPECT_EQ(f.fileDialogs.lastFilter.substr(0, 12), "*.Exe, *.Src");
    EXPECT_NE(std::find(requests.begin(), requests.end(), "C:\\Tools\\a.exe"), requests.end());
    EXPECT_NE(std::find(requests.begin(), requests.end(), "C:\\Tools\\b.exe"), requests.end());
    EXPECT_EQ(c.List2.ListCount(), 3);

    // An icon found for a name that is no plain file name is never written outside the cache.
    f.icons.SetIcon("C:\\Tools\\evil", platform::fake::FakeIconSource::SolidIcon(image::Rgb(1, 2, 3)));
    f.fileDialogs.AnswerNext(std::vector<std::string>{"C:\\Tools\\evil"});
    f.icons.SetIcon("C:\\Tools\\x:y", platform::fake::FakeIconSource::SolidIcon(image::Rgb(1, 2, 3)));
    c.Command9.UserClick();
    EXPECT_TRUE(f.files.FileExists("C:\\cache\\evil.bmp"));
    for (const auto& name : f.files.ListFolder("C:\\cache\\"))
        EXPECT_TRUE(f.files.IsPlainFileName(name)) << name;
    EXPECT_FALSE(f.files.IsPlainFileName("..\\x"));
    EXPECT_FALSE(f.files.IsPlainFileName("a:b"));

    form.Unload(ui::kUnloadCode);
    EXPECT_TRUE(f.files.FileExists("C:\\MyFav.Affinity"));
    EXPECT_FALSE(f.files.FileExists("C:\\/MyFav.Affinity"));
}

TEST(BrowseDialog, SelectionTextRoundTripsOneOrManyFiles)
{
    EXPECT_EQ(BuildDialogFilter("*.Exe, *.Src|*.exe;*.scr"), std::string("*.Exe, *.Src\0*.exe;*.scr\0", 25));
    EXPECT_EQ(BuildDialogFilter(""), std::string(1, '\0'));
    const std::vector<std::string> one{"/opt/My Apps/tool"};
    EXPECT_EQ(ParseSelectionText(SelectionTextOf(one, '/'), '/'), one);
    const std::vector<std::string> three{"/opt/a/x", "/opt/a/y z", "/opt/a/w"};
    EXPECT_EQ(SelectionTextOf(three, '/').substr(0, 19), std::string("/opt/a\0x\0y z\0w\0\0", 16) + "   ");
    EXPECT_EQ(ParseSelectionText(SelectionTextOf(three, '/'), '/'), three);
    EXPECT_EQ(ParseSelectionText(SelectionTextOf({"/x"}, '/'), '/'), std::vector<std::string>{"/x"});
    // A Linux file or folder name may hold a backslash: only the platform's separator splits.
    const std::vector<std::string> backslashes{"/opt/a\\b/to\\ol", "/opt/a\\b/x"};
    EXPECT_EQ(SelectionTextOf(backslashes, '/').substr(0, 17), std::string("/opt/a\\b\0to\\ol\0x\0\0", 17));
    EXPECT_EQ(ParseSelectionText(SelectionTextOf(backslashes, '/'), '/'), backslashes);
    const std::vector<std::string> windows{"C:\\Tools\\a.exe", "C:\\Tools\\b.exe"};
    EXPECT_EQ(ParseSelectionText(SelectionTextOf(windows, '\\'), '\\'), windows);
    EXPECT_EQ(ParseSelectionText("no nul at all here  ", '/'), std::vector<std::string>{"no nul at all here"});
    EXPECT_TRUE(ParseSelectionText("", '/').empty());
}

} // namespace
} // namespace korvane::ui

#include "platform/linux/desktop_icons.h"
#include "platform/linux/linux_autostart.h"
#include "platform/linux/linux_file_system.h"
#include "platform/linux/linux_program_location.h"
#include "platform/linux/linux_single_instance.h"

#include "platform/fake/memory_file_system.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace korvane::platform::linuxos {
namespace {

TEST(Autostart, TheEntryQuotesThePathSoSpacesAndSpecialCharactersWork)
{
    EXPECT_EQ(DesktopExecQuote("/opt/My Apps/korvane"), "\"/opt/My Apps/korvane\"");
    EXPECT_EQ(DesktopExecQuote("/opt/a$b/100%/k\"x"), "\"/opt/a\\\\$b/100%%/k\\\\\"x\"");
    EXPECT_EQ(DesktopExecQuote("/opt/back\\slash"), "\"/opt/back\\\\\\\\slash\"");

    test::TempFolder folder;
    LinuxFileSystem files;
    LinuxAutostart autostart(files, folder.Path());
    EXPECT_FALSE(autostart.IsAutostartSet("korvane"));
    autostart.SetAutostart("korvane", "/opt/My Apps/korvane", true);
    EXPECT_TRUE(autostart.IsAutostartSet("korvane"));
    const auto entry = files.ReadFile(folder / "autostart/korvane.desktop");
    ASSERT_TRUE(entry.has_value());
    EXPECT_NE(entry->find("\nExec=\"/opt/My Apps/korvane\"\n"), std::string::npos);
    EXPECT_EQ(entry->rfind("[Desktop Entry]\n", 0), 0U);
    autostart.SetAutostart("korvane", "", false);
    EXPECT_FALSE(autostart.IsAutostartSet("korvane"));
    autostart.SetAutostart("korvane", "", false); // nothing to remove: nothing happens
    autostart.SetAutostart("korvane", "/opt/x\nExec=evil", true);
    EXPECT_FALSE(autostart.IsAutostartSet("korvane"));
}

TEST(Autostart, AnEntryTheDesktopSwitchedOffReadsUntickedAndIsLeftAlone)
{
    EXPECT_TRUE(AutostartEntryEnabled("[Desktop Entry]\nExec=korvane\nX-GNOME-Autostart-enabled=true\n"));
    EXPECT_FALSE(AutostartEntryEnabled("[Desktop Entry]\nExec=korvane\nHidden=true\n"));
    EXPECT_FALSE(AutostartEntryEnabled("[Desktop Entry]\r\nX-GNOME-Autostart-enabled = false\r\n"));
    // Keys of another group, and other values, do not switch the entry off.
    EXPECT_TRUE(AutostartEntryEnabled("[Desktop Entry]\nHidden=false\n[Desktop Action x]\nHidden=true\n"));

    test::TempFolder folder;
    LinuxFileSystem files;
    LinuxAutostart autostart(files, folder.Path());
    const std::string path = folder / "autostart/korvane.desktop";
    for (const char* off : {"Hidden=true\n", "X-GNOME-Autostart-enabled=false\n"}) {
        files.CreateFolder(folder / "autostart");
        const std::string entry = std::string("[Desktop Entry]\nType=Application\nExec=korvane\n") + off;
        files.WriteFileAtomic(path, entry);
        EXPECT_FALSE(autostart.IsAutostartSet("korvane")) << off;
        autostart.SetAutostart("korvane", "/opt/korvane", false);
        EXPECT_EQ(files.ReadFile(path), entry) << off;
        // Ticking the box again writes an enabled entry.
        autostart.SetAutostart("korvane", "/opt/korvane", true);
        EXPECT_TRUE(autostart.IsAutostartSet("korvane")) << off;
        autostart.SetAutostart("korvane", "/opt/korvane", false);
        EXPECT_FALSE(files.FileExists(path)) << off;
    }
}

TEST(ProgramLocation, ACopyInTheInstallPrefixsBinaryFolderIsInstalled)
{
    LinuxProgramLocation here;
    EXPECT_FALSE(here.Installed());
    const std::string folder = here.ExecutableFolder();
    // The same folder through another name (a trailing "/.") still counts.
    EXPECT_TRUE(LinuxProgramLocation(folder + "/.").Installed());
    EXPECT_FALSE(LinuxProgramLocation("/nonexistent/bin").Installed());
    EXPECT_FALSE(LinuxProgramLocation(folder + "/..").Installed());
}

TEST(SingleInstance, TheSecondStartAsksTheFirstToShowItsWindow)
{
    test::TempFolder folder;
    {
        LinuxSingleInstance first(folder.Path());
        EXPECT_FALSE(first.AnotherInstanceRunning());
        EXPECT_EQ(first.TakeShowRequests(), 0);

        LinuxSingleInstance second(folder.Path());
        EXPECT_TRUE(second.AnotherInstanceRunning());
        second.ShowRunningInstance(first.WindowHandle());
        second.ShowRunningInstance(first.WindowHandle());
        EXPECT_EQ(first.TakeShowRequests(), 2);
        EXPECT_EQ(first.TakeShowRequests(), 0);
    }
    LinuxSingleInstance later(folder.Path());
    EXPECT_FALSE(later.AnotherInstanceRunning()); // the first one ended: its lock is gone
}

TEST(DesktopEntries, ProgramsFindTheirIconsByPathOrName)
{
    EXPECT_EQ(ParseDesktopEntry("[Desktop Entry]\nName=Editor\nExec=/usr/bin/editor %F\nIcon=accessories-text-editor\n")
                  ->program,
              "/usr/bin/editor");
    const auto quoted = ParseDesktopEntry("[Desktop Entry]\nExec=\"/opt/My App/run\" --x\nIcon=/opt/My App/icon.png\n");
    ASSERT_TRUE(quoted.has_value());
    EXPECT_EQ(quoted->program, "/opt/My App/run");
    EXPECT_EQ(quoted->icon, "/opt/My App/icon.png");
    EXPECT_EQ(ParseDesktopEntry("[Desktop Entry]\nExec=env A=1 B=2 game -f\nIcon=game\n")->program, "game");
    EXPECT_EQ(ParseDesktopEntry("[Desktop Entry]\nExec=x\nTryExec=/bin/real\nIcon=i\n")->program, "/bin/real");
    EXPECT_EQ(ParseDesktopEntry("[Desktop Entry]\nExec=x\n"), std::nullopt);
    EXPECT_EQ(ParseDesktopEntry("[Desktop Entry]\nExec=x\nIcon=i\nHidden=true\n"), std::nullopt);
    EXPECT_EQ(ParseDesktopEntry("[Other]\nExec=x\nIcon=i\n"), std::nullopt);
    EXPECT_EQ(ParseDesktopEntry(std::string("\0\xff\n[Desktop", 10)), std::nullopt);

    fake::MemoryFileSystem files;
    files.PutFile("/home/u/.local/share/applications/mine.desktop", "[Desktop Entry]\nExec=editor\nIcon=my-editor\n");
    files.PutFile("/usr/share/applications/editor.desktop", "[Desktop Entry]\nExec=/usr/bin/editor\nIcon=editor\n");
    files.PutFile("/usr/share/applications/notes.txt", "[Desktop Entry]\nExec=notes\nIcon=notes\n");
    DesktopEntryIndex index;
    index.Build(files, {"/home/u/.local/share/applications", "/usr/share/applications"});
    EXPECT_EQ(index.IconFor("/usr/bin/editor"), "editor");
    EXPECT_EQ(index.IconFor("/opt/other/editor"), "my-editor"); // by name, the user's own entry first
    EXPECT_EQ(index.IconFor("/usr/bin/notes"), "");
}

} // namespace
} // namespace korvane::platform::linuxos

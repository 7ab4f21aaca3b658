#include "platform/linux/desktop_icons.h"
#include "platform/linux/linux_autostart.h"
#include "platform/linux/linux_file_system.h"
#include "platform/linux/linux_program_location.h"
#include "platform/linux/linux_single_instance.h"

#include "platform/fake/memory_file_system.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

TEST(SingleInstance, TheLockFolderMustBeThisUsersOwnRealFolderOfMode0700)
{
    test::TempFolder folder;
    const std::uint32_t me = ::getuid();
    const std::string good = folder / "good";
    ASSERT_EQ(::mkdir(good.c_str(), 0700), 0);
    EXPECT_EQ(PrivateFolderProblem(good, me), "");

    const std::string open = folder / "open";
    ASSERT_EQ(::mkdir(open.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(open.c_str(), 01777), 0);
    EXPECT_NE(PrivateFolderProblem(open, me).find("has mode 1777, not 0700"), std::string::npos);

    // A link to a good folder is refused: whoever made the link chose where it points.
    const std::string link = folder / "link";
    ASSERT_EQ(::symlink(good.c_str(), link.c_str()), 0);
    EXPECT_NE(PrivateFolderProblem(link, me).find("not a folder"), std::string::npos);
    EXPECT_NE(PrivateFolderProblem(folder / "missing", me), "");
    EXPECT_NE(PrivateFolderProblem(good, me + 1).find("belongs to another user"), std::string::npos);

    // The lock file is never created through a link planted in the folder.
    const std::string target = folder / "chosen-by-someone-else";
    ASSERT_EQ(::symlink(target.c_str(), (good + "/korvane.lock").c_str()), 0);
    LinuxSingleInstance instance(good);
    instance.AnotherInstanceRunning();
    EXPECT_NE(::access(target.c_str(), F_OK), 0);
}

TEST(SingleInstance, AShowRequestFromAnotherUserIsNotTaken)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root, to connect as another user";
    test::TempFolder folder;
    ASSERT_EQ(::chmod(folder.Path().c_str(), 0711), 0);
    LinuxSingleInstance first(folder.Path());
    ASSERT_FALSE(first.AnotherInstanceRunning());
    ASSERT_EQ(::chmod((folder / "korvane.sock").c_str(), 0777), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0)
            ::_exit(9);
        LinuxSingleInstance(folder.Path()).ShowRunningInstance(0);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(first.TakeShowRequests(), 0);
    LinuxSingleInstance(folder.Path()).ShowRunningInstance(0);
    EXPECT_EQ(first.TakeShowRequests(), 1);
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

// Korvane: wires the main window to the Linux backend and the Qt front end.
#include "core/cpu_presets.h"
#include "frontend/qt/qt_dialogs.h"
#include "frontend/qt/qt_front_end.h"
#include "frontend/qt/qt_icon_source.h"
#include "frontend/qt/qt_notification_area.h"
#include "frontend/qt/qt_scheduler.h"
#include "frontend/qt/qt_screen.h"
#include "platform/linux/capabilities.h"
#include "platform/linux/desktop_icons.h"
#include "platform/linux/heap_settings.h"
#include "platform/linux/ini_settings_storage.h"
#include "platform/linux/korvaned_client.h"
#include "platform/linux/linux_autostart.h"
#include "platform/linux/linux_clock.h"
#include "platform/linux/linux_file_system.h"
#include "platform/linux/linux_privileges.h"
#include "platform/linux/linux_processes.h"
#include "platform/linux/linux_processor_info.h"
#include "platform/linux/linux_program_location.h"
#include "platform/linux/linux_single_instance.h"
#include "platform/linux/proc_stat_counters.h"
#include "platform/linux/process_connector_watch.h"
#include "platform/linux/sysfs_topology.h"
#include "platform/linux/xdg_paths.h"
#include "ui/form1.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <fcntl.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void OnSignal(int /*signal*/)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

// SIGTERM, SIGINT and SIGHUP end the program as "Exit Korvane" does, on the event loop.
void CatchEndSignals(std::function<void()> onSignal)
{
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [onSignal = std::move(onSignal)] {
        char buffer[16];
        while (::read(g_signalPipe[0], buffer, sizeof buffer) > 0) {
        }
        onSignal();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

// Answers --help, --version and unknown options, and refuses to start without a display, before
// anything is opened or written. -1 when the program is to start, else its exit status.
// KORVANE_SYSFS_ROOT reads the CPUs from a captured tree instead of this machine's.
std::string SysfsRoot()
{
    const char* root = std::getenv("KORVANE_SYSFS_ROOT");
    return root != nullptr ? root : "";
}

// Whether favorites are set the moment a program starts: by korvaned, by this window itself (as
// root), or why not.
std::string StartWatchLine()
{
    korvane::platform::linuxos::KorvanedClient service;
    const std::string serviceWatch = service.StartWatch();
    if (serviceWatch == "on")
        return "on (korvaned)";
    korvane::platform::linuxos::ProcessConnectorWatch watch;
    if (watch.Open())
        return watch.Status();
    if (service.Available())
        return "off, korvaned: " + serviceWatch;
    return watch.Status() + "; korvaned, Korvane's system service, is not running";
}

int AnswerCommandLine(int argc, char** argv)
{
    QCoreApplication parsing(argc, argv);
    QCoreApplication::setApplicationName("korvane");
    QCoreApplication::setApplicationVersion(KORVANE_VERSION);
    QCommandLineParser parser;
    parser.setApplicationDescription("Korvane controls on which CPUs your programs run.");
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption cpus(QStringLiteral("cpus"),
                                  QStringLiteral("Lists this machine's CPUs (online, allowed, package, core, thread, "
                                                 "cache group, NUMA node, kind), the groups of them Korvane "
                                                 "offers, and whether favorites are given their CPUs the moment "
                                                 "a program starts, then exits."));
    parser.addOption(cpus);
    // Qt's own options ("-platform offscreen", "-style Fusion", ...) are for QApplication.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const char* name : {"platform", "platformpluginpath", "platformtheme", "plugin", "style", "stylesheet",
                             "session", "display", "geometry", "qwindowgeometry", "qwindowtitle", "qwindowicon"}) {
        QCommandLineOption qtOption(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        qtOption.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qtOption);
    }
    for (const char* name : {"reverse", "sync", "nograb", "dograb"}) {
        QCommandLineOption qtOption(QString::fromLatin1(name));
        qtOption.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qtOption);
    }
    if (!parser.parse(QCoreApplication::arguments()) || !parser.positionalArguments().isEmpty()) {
        const QString error = parser.errorText().isEmpty() ? QStringLiteral("Korvane takes no arguments.") : parser.errorText();
        std::fprintf(stderr, "korvane: %s\n\n%s", qPrintable(error), qPrintable(parser.helpText()));
        return 2;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        std::printf("%s", qPrintable(parser.helpText()));
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("korvane %s\n", KORVANE_VERSION);
        return 0;
    }
    if (parser.isSet(cpus)) {
        korvane::platform::linuxos::LinuxFileSystem files;
        korvane::platform::linuxos::SysfsTopology topology(files, SysfsRoot());
        std::printf("%s", korvane::core::DescribeCpus(topology.ReadTopology()).c_str());
        std::printf("\nstart watch: %s\n", StartWatchLine().c_str());
        return 0;
    }
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && value[0] != '\0';
    };
    // Qt aborts when no platform plugin can connect; with a platform chosen by hand, let Qt try.
    if (!set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("QT_QPA_PLATFORM") &&
        !parser.isSet(QStringLiteral("platform"))) {
        std::fprintf(stderr, "korvane: no display to show its window on (neither DISPLAY nor WAYLAND_DISPLAY is set)\n");
        return 2;
    }
    return -1;
}

// The start watch's socket on the event loop, as the timers are; a watch reopened after a
// failure is followed to its new socket, a closed one is dropped (the polling goes on).
class StartWatchNotifier {
public:
    StartWatchNotifier(korvane::ui::Form1& form, korvane::platform::StartWatch& watch) : m_form(form), m_watch(watch)
    {
        Follow();
    }
    StartWatchNotifier(const StartWatchNotifier&) = delete;
    StartWatchNotifier& operator=(const StartWatchNotifier&) = delete;
    ~StartWatchNotifier() { delete m_notifier; }

private:
    void Follow()
    {
        if (m_notifier != nullptr && m_notifier->socket() == m_watch.Handle())
            return;
        if (m_notifier != nullptr) {
            // This runs inside the notifier's own signal: it goes once the signal returns.
            m_notifier->setEnabled(false);
            m_notifier->deleteLater();
            m_notifier = nullptr;
        }
        if (m_watch.Handle() < 0)
            return;
        m_notifier = new QSocketNotifier(m_watch.Handle(), QSocketNotifier::Read);
        QObject::connect(m_notifier, &QSocketNotifier::activated, m_notifier, [this] {
            m_form.StartWatch_Ready();
            Follow();
        });
    }

    korvane::ui::Form1& m_form;
    korvane::platform::StartWatch& m_watch;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace

int main(int argc, char** argv)
{
    using namespace korvane;
    // Before any Qt object or thread: Qt loads plugins its user chooses, and no capability may
    // reach them.
    if (const std::string said = platform::linuxos::ConfineCapabilities(); !said.empty())
        std::fprintf(stderr, "%s\n", said.c_str());
    if (const int status = AnswerCommandLine(argc, argv); status >= 0)
        return status;
    // Without XDG_RUNTIME_DIR (plain sudo clears it) the lock lives in /tmp, where another user
    // could have planted the folder first.
    const std::string runtimeFolder = platform::linuxos::RuntimeFolder();
    if (const std::string problem = platform::linuxos::PrivateFolderProblem(runtimeFolder, ::getuid()); !problem.empty()) {
        std::fprintf(stderr, "korvane: does not start: %s\n", problem.c_str());
        return 1;
    }
    platform::linuxos::ReturnLargeBlocksToTheSystem();
    QApplication app(argc, argv);
    QApplication::setApplicationName("Korvane");
    QApplication::setDesktopFileName("korvane");
    QApplication::setQuitOnLastWindowClosed(false);

    platform::linuxos::LinuxFileSystem files;
    platform::linuxos::LinuxProcesses processes;
    platform::linuxos::LinuxProcessorInfo processors;
    platform::linuxos::SysfsTopology topology(files, SysfsRoot());
    platform::linuxos::LinuxPrivileges privileges;
    platform::linuxos::LinuxProgramLocation location(KORVANE_INSTALL_BINDIR);
    platform::linuxos::LinuxClock clock;
    platform::linuxos::ProcStatCounters counters(files);
    platform::linuxos::IniSettingsStorage settings(files, platform::linuxos::ConfigHome());
    platform::linuxos::LinuxAutostart autostart(files, platform::linuxos::ConfigHome());
    platform::linuxos::LinuxSingleInstance instance(runtimeFolder);
    qtfront::QtScheduler scheduler;
    qtfront::QtDialogs dialogs;
    qtfront::QtFileDialogs fileDialogs;
    qtfront::QtScreen screen;
    qtfront::QtNotificationArea tray;
    platform::linuxos::DesktopIcons desktopIcons(files);
    qtfront::QtIconSource icons([&desktopIcons](const std::string& path) { return desktopIcons.IconNameOf(path); });

    ui::Form1 form(ui::MachineServices{processes, processors, topology, privileges, files, dialogs, icons, location,
                                       scheduler,
                                       counters, tray, clock, settings, instance, autostart, screen, fileDialogs});
    // Favorites are given at the very start of a program where the kernel lets Korvane hear of it.
    platform::linuxos::ProcessConnectorWatch startWatch;
    startWatch.Open();
    form.UseStartWatch(startWatch);
    // Linux has no Windows to start with: the same setting, in its own words.
    form.Controls().Start_Up.SetCaption("Start at Log-in");
    // korvaned, where it runs: favorites at the start for this user, other users' processes.
    platform::linuxos::KorvanedClient systemService;
    form.UseSystemService(systemService);
    std::unique_ptr<QSocketNotifier> serviceNotifier;
    if (systemService.Handle() >= 0) {
        serviceNotifier = std::make_unique<QSocketNotifier>(systemService.Handle(), QSocketNotifier::Read);
        QObject::connect(serviceNotifier.get(), &QSocketNotifier::activated, serviceNotifier.get(),
                         [&systemService] { systemService.Process(); });
    }
    qtfront::QtFrontEnd frontEnd(form, screen, tray);
    // exit() rather than quit(): quit() asks the windows to close, and the close box hides to the tray.
    form.OnEnded = [] { QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); }); };

    form.Form_Initialize();
    form.Form_Load();
    if (form.Ended())
        return 0;
    frontEnd.ApplySizeLimits();
    const StartWatchNotifier startNotifier(form, startWatch);

    CatchEndSignals([&form] { form.Unload(ui::kUnloadAppWindows); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app,
                     [&form](QSessionManager&) { form.Unload(ui::kUnloadAppWindows); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, [&form] { form.Unload(ui::kUnloadAppWindows); });
    return QApplication::exec();
}

// Memory over many rebuilds of the process list, with the Qt window shown (offscreen) as the
// program runs it: 10,000 rebuilds at 5,000 processes on the simulated machine, whose processes
// start and end between rebuilds, then 500 on this machine's real processes. The resident set
// size is printed after the first rebuild, the 100th and every 1,000th (every 100th on the real
// machine) against its goal.
#include "frontend/qt/qt_front_end.h"
#include "frontend/qt/qt_notification_area.h"
#include "platform/linux/heap_settings.h"
#include "support/fake_form.h"
#include "support/live_form.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace korvane;

constexpr double kGoalMegabytes = 40.0;

double ResidentMegabytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atof(line.c_str() + 6) / 1024.0;
    }
    return 0.0;
}

// Icons for three programs of four, as desktop entries give them; nothing is recorded, unlike the
// test stand-ins, so that the figures are the program's own.
class SomeIcons : public platform::IconSource {
public:
    std::optional<image::Icon> ExtractSmallIcon(const std::string& path) override
    {
        if (path.size() % 4 == 0)
            return std::nullopt;
        return platform::fake::FakeIconSource::SolidIcon(image::Rgb(20, 120, static_cast<int>(path.size() * 7 % 256)));
    }
};

struct Peak {
    double megabytes = 0.0;
    void Print(const char* what, int rebuilds)
    {
        const double now = ResidentMegabytes();
        megabytes = std::max(megabytes, now);
        std::printf("%-10s %6d rebuilds  RSS %6.1f MB  (peak %6.1f MB, goal under %.0f MB)\n", what, rebuilds, now,
                    megabytes, kGoalMegabytes);
        std::fflush(stdout);
    }
};

// 5,000 processes of 400 programs; between rebuilds 20 end and 20 others start.
void SoakSimulated(int rebuilds, Peak& peak)
{
    test::FakeForm f;
    std::vector<std::int32_t> running;
    int started = 0;
    auto startOne = [&] {
        running.push_back(f.machine.Start("/opt/app" + std::to_string(started % 400) + "/program" +
                                          std::to_string(started % 400)));
        ++started;
    };
    for (int i = 0; i < 5000; ++i)
        startOne();
    SomeIcons icons;
    qtfront::QtNotificationArea tray;
    ui::Form1 form(ui::MachineServices{f.machine, f.machine, f.machine, f.machine, f.files, f.dialogs, icons,
                                       f.location,
                                       f.scheduler, f.counters, tray, f.clock, f.settings, f.instance,
                                       f.autostart, f.screen, f.fileDialogs});
    form.Form_Initialize();
    form.Form_Load();
    qtfront::QtFrontEnd view(form, f.screen, tray);
    QApplication::processEvents();
    peak.Print("simulated", 0);
    for (int i = 1; i <= rebuilds; ++i) {
        for (int k = 0; k < 20; ++k) {
            const std::size_t victim = static_cast<std::size_t>((i * 37 + k * 11) % running.size());
            f.machine.End(running[victim]);
            running.erase(running.begin() + static_cast<std::ptrdiff_t>(victim));
            startOne();
        }
        f.Run(333 + 500);
        f.machine.ClearEnumRequests();
        QApplication::processEvents();
        if (i == 1 || i == 100 || i % 1000 == 0)
            peak.Print("simulated", i);
    }
}

void SoakReal(int rebuilds, Peak& peak)
{
    forms::VirtualScheduler scheduler;
    SomeIcons icons;
    qtfront::QtNotificationArea tray;
    test::LiveForm live(scheduler, &icons, &tray);
    live.Load();
    qtfront::QtFrontEnd view(live.form, live.screen, tray);
    QApplication::processEvents();
    peak.Print("real", 0);
    for (int i = 1; i <= rebuilds; ++i) {
        live.form.ProcessView().RefreshProcessList();
        QApplication::processEvents();
        if (i % 100 == 0)
            peak.Print("real", i);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // As the program does at its start.
    platform::linuxos::ReturnLargeBlocksToTheSystem();
    QApplication app(argc, argv);
    const int simulated = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int real = argc > 2 ? std::atoi(argv[2]) : 500;
    Peak peak;
    peak.Print("start", 0);
    SoakSimulated(simulated, peak);
    SoakReal(real, peak);
    std::printf("peak RSS %.1f MB: %s (goal under %.0f MB)\n", peak.megabytes,
                peak.megabytes < kGoalMegabytes ? "met" : "NOT met", kGoalMegabytes);
    return 0;
}

// SPDX-License-Identifier: MIT
// How long the desktop program takes to become usable on a heavy user's data folder (the
// 100,000-item plover.dat of the store benchmark): from the creation of the application
// object, through the start-up sequence and the main window, to the moment the window's
// start-up has finished and the headline list shows the root's rows. Then, on the usable
// window, the root's list is built again and sorted by title, as a click on the root and
// on the title column do.
//
// The application object can be made only once in a process, so every run is a fresh
// process (this program started again with --run) on a fresh copy of the data folder. The
// figures are the minimum and the median of 5 runs. The window is drawn on the offscreen
// platform unless a display is set. PLOVER_BENCH_CHANNELS sets another number of channels.
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "BenchData.h"
#include "app/DataSession.h"
#include "app/Startup.h"
#include "present/HeadlineColumns.h"
#include "ui/DesktopStart.h"
#include "ui/MainWindow.h"
#include "ui/QtDialogs.h"
#include "ui/QtEventLoop.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRuns = 5;
// A run that has not finished by then is stuck (a message box nobody answers, say).
constexpr int kGiveUpMs = 300'000;
constexpr char kRunSwitch[] = "--run";
constexpr char kResultTag[] = "result";

// The figures of one run, in milliseconds.
struct RunTimes {
  enum Figure { kApplication, kWindowMade, kUsable, kShowRoot, kSortByTitle, kFigureCount };
  std::array<double, kFigureCount> ms{};
  long rows = 0;
};

constexpr std::array<const char*, RunTimes::kFigureCount> kFigureNames = {
    "application created", "window constructed and started", "window usable", "ShowNode(root)", "SortByColumn(title)"};

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool Usable(ui::MainWindow* window) {
  if (window == nullptr) return false;
  app::MainController& controller = window->Controller();
  return !controller.Lifecycle().StartupRunning() && controller.Headlines().RowCount() > 0;
}

// One run in this process, as the desktop program starts (see main.cpp), on the data folder
// `folder`. Prints one result line.
int RunOnce(int argc, char** argv, const std::string& folder) {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
  }
  ui::PrepareWebEngine();
  RunTimes times;
  const Clock::time_point start = Clock::now();
  QApplication application(argc, argv);
  times.ms[RunTimes::kApplication] = MsSince(start);
  QApplication::setQuitOnLastWindowClosed(false);

  ui::QtEventLoop loop;
  ui::QtDialogs dialogs("Plover");
  ui::DesktopSession desktop;
  std::unique_ptr<ui::MainWindow>& window = desktop.window;
  app::Startup startup(loop, dialogs,
                       app::Startup::Callbacks{[&] {
                                                 desktop.Open(startup.State(), loop, dialogs);
                                                 times.ms[RunTimes::kWindowMade] = MsSince(start);
                                               },
                                               [] {}});
  app::StartupInputs inputs;
  inputs.ProgramFolder = folder;
  inputs.AppDataFolder = folder;
  inputs.Now = std::time(nullptr);
  if (startup.Run(inputs) != app::StartupOutcome::kGoOn) {
    std::fprintf(stderr, "bench_window: the start-up did not go on\n");
    return 1;
  }
  QTimer::singleShot(kGiveUpMs, [] {
    std::fprintf(stderr, "bench_window: the window did not become usable\n");
    std::_Exit(2);
  });
  while (!Usable(window.get())) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  times.ms[RunTimes::kUsable] = MsSince(start);

  present::HeadlineList& list = window->Controller().Headlines();
  Clock::time_point step = Clock::now();
  list.ShowNode(desktop.session->Tree().RootNode(), true);
  times.ms[RunTimes::kShowRoot] = MsSince(step);
  step = Clock::now();
  list.SortByColumn(present::kColumnTitle);
  times.ms[RunTimes::kSortByTitle] = MsSince(step);
  times.rows = static_cast<long>(list.RowCount());

  std::printf("%s", kResultTag);
  for (double ms : times.ms) std::printf(" %.1f", ms);
  std::printf(" %ld\n", times.rows);
  std::fflush(stdout);
  window.reset();
  desktop.session.reset();
  return 0;
}

// Starts this program with --run on `folder` and reads its result line.
bool RunChild(const std::string& program, const std::string& folder, RunTimes& times) {
  const std::string command = "'" + program + "' " + kRunSwitch + " '" + folder + "'";
  std::FILE* child = ::popen(command.c_str(), "r");
  if (child == nullptr) return false;
  bool found = false;
  char line[512];
  while (std::fgets(line, sizeof line, child) != nullptr) {
    if (std::strncmp(line, kResultTag, std::strlen(kResultTag)) != 0) continue;
    double* ms = times.ms.data();
    found = std::sscanf(line + std::strlen(kResultTag), "%lf %lf %lf %lf %lf %ld", &ms[0], &ms[1], &ms[2], &ms[3],
                        &ms[4], &times.rows) == 6;
  }
  return ::pclose(child) == 0 && found;
}

void PrintSummary(const std::vector<RunTimes>& runs) {
  for (int figure = 0; figure < RunTimes::kFigureCount; ++figure) {
    std::vector<double> values;
    for (const RunTimes& run : runs) values.push_back(run.ms[figure]);
    std::sort(values.begin(), values.end());
    std::printf("%s: %.1f ms (min), %.1f ms (median of %zu)\n", kFigureNames[figure], values.front(),
                values[values.size() / 2], values.size());
  }
}

int Compare() {
  const std::string program = std::filesystem::read_symlink("/proc/self/exe").string();
  const int channels = bench::ChannelCount();
  const std::string bytes = bench::MakeDataFile(channels);
  std::printf("data: %d channels, %d items, plover.dat %.1f MB; each run a fresh process\n", channels,
              channels * bench::kItemsPerChannel, static_cast<double>(bytes.size()) / 1e6);
  std::vector<RunTimes> runs;
  for (int run = 1; run <= kRuns; ++run) {
    bench::TempFolder folder;
    if (folder.Path().empty() || !bench::WriteBytes(folder.Path() + "plover.dat", bytes)) {
      std::fprintf(stderr, "bench_window: could not write the data folder\n");
      return 1;
    }
    RunTimes times;
    if (!RunChild(program, folder.Path(), times)) {
      std::fprintf(stderr, "bench_window: run %d failed\n", run);
      return 1;
    }
    std::printf("run %d:", run);
    for (int figure = 0; figure < RunTimes::kFigureCount; ++figure) {
      std::printf(" %s %.1f ms,", kFigureNames[figure], times.ms[figure]);
    }
    std::printf(" rows %ld\n", times.rows);
    std::fflush(stdout);
    runs.push_back(times);
  }
  PrintSummary(runs);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], kRunSwitch) == 0) return RunOnce(argc, argv, argv[2]);
  return Compare();
}

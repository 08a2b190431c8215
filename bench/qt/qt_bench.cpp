// Figures of the Linux program: the time from a Stop click (or a close
// request) during the run's wait until the running encoder has ended, on the
// Qt front end with the stand-in encoder; and the time from starting the
// program until its main window is first painted, with its peak memory.
// Run: brimvale_qt_bench (QT_QPA_PLATFORM defaults to offscreen).
#include <benchmark/benchmark.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "support/temp_dir.h"
#include "app/main_form.h"
#include "platform/posix/posix.h"
#include "platform/qt/folder_picker.h"
#include "platform/qt/qt_app.h"
#include "platform/qt/qt_form.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

class NoVerb : public app::ShellVerb {
 public:
  void Register() override {}
  void Unregister() override {}
};

using testsupport::TempDir;

// The program's windows on the Qt front end, as main() builds them.
struct Rig {
  explicit Rig(const std::string& dir) : store(dir + "/brimvale.ini"), picker(app) {
    app.SetTitle("Brimvale");
    main = std::make_unique<app::TOggEncodeF>(services);
    about = std::make_unique<app::TAboutF>(app);
    options = std::make_unique<app::TEncodeOptionF>(app);
    main->SetDialogs(about.get(), options.get());
    form().Show();
    main->form().Get<ui::Control>("edtOggPath").SetText(TEST_ENCODER);
  }
  qtui::QtForm& form() { return static_cast<qtui::QtForm&>(main->form()); }

  qtui::QtApp app;
  posix::PosixProcess encoder;
  posix::PosixFileSystem fs;
  posix::FileSettingsStore store;
  NoVerb verb;
  qtui::QtFolderPicker picker;
  app::Services services{app, encoder, fs, store, verb, picker, encode::Traits::Posix(), {}};
  std::unique_ptr<app::TOggEncodeF> main;
  std::unique_ptr<app::TAboutF> about;
  std::unique_ptr<app::TEncodeOptionF> options;
};

enum class Request { StopClick, CloseRequest };

// One run of one file whose encoder sleeps a minute. Once the run waits on the
// encoder, another thread posts the user's action after 20 ms, as input arrives
// from the window system, and notes when the encoder's pidfd reports its end.
void StopDuringWait(benchmark::State& state, Request request) {
  const TempDir tmp("/tmp/brimvale-qtbench-XXXXXX");
  const std::string& dir = tmp;
  setenv("BRIMVALE_TEST_SLEEP_MS", "60000", 1);
  unsetenv("BRIMVALE_TEST_LOG");
  Rig rig(dir);
  QWidget* stop = rig.form().Widget("btnStopEncode");
  QWidget* window = rig.form().Window();
  for (auto _ : state) {
    rig.main->form().Get<ui::ListBox>("lstSrcFile").Clear();
    rig.main->form().Get<ui::ListBox>("lstSrcFile").Append(dir + "/a.wav");
    std::thread actor;
    std::atomic<bool> ended{false};
    Clock::time_point acted, gone;
    QTimer::singleShot(0, [&] {
      // Inside the run's message pumping: the encoder has started.
      const int pidfd = dup(static_cast<int>(rig.encoder.WaitHandle()));
      std::vector<std::pair<QObject*, QEvent*>> events;
      if (request == Request::StopClick) {
        const QPointF at(stop->width() / 2.0, stop->height() / 2.0);
        events.push_back({stop, new QMouseEvent(QEvent::MouseButtonPress, at, stop->mapToGlobal(at), Qt::LeftButton,
                                                Qt::LeftButton, Qt::NoModifier)});
        events.push_back({stop, new QMouseEvent(QEvent::MouseButtonRelease, at, stop->mapToGlobal(at), Qt::LeftButton,
                                                Qt::NoButton, Qt::NoModifier)});
      } else {
        events.push_back({window, new QCloseEvent});
      }
      actor = std::thread([&, pidfd, events] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        acted = Clock::now();
        for (const auto& [target, event] : events) QCoreApplication::postEvent(target, event);
        pollfd p{pidfd, POLLIN, 0};
        ended = poll(&p, 1, 10000) == 1;
        gone = Clock::now();
        close(pidfd);
      });
    });
    rig.main->btnStartEncodeClick();
    actor.join();
    if (!ended) {
      state.SkipWithError("the encoder did not end");
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(gone - acted).count());
  }
  unsetenv("BRIMVALE_TEST_SLEEP_MS");
}
BENCHMARK_CAPTURE(StopDuringWait, StopClick, Request::StopClick)
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK_CAPTURE(StopDuringWait, CloseRequest, Request::CloseRequest)
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

// The Linux program from its start until its main window is first painted
// (BRIMVALE_QUIT_AFTER_FIRST_SHOW ends it there), offscreen, with a settings
// file of its own; the peak resident memory of the runs as a counter.
void StartUpToFirstShow(benchmark::State& state) {
  const TempDir tmp("/tmp/brimvale-qtbench-XXXXXX");
  const std::string& dir = tmp;
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string v = *e;
    if (v.rfind("QT_QPA_PLATFORM=", 0) != 0 && v.rfind("XDG_CONFIG_HOME=", 0) != 0 &&
        v.rfind("XDG_DATA_HOME=", 0) != 0 && v.rfind("XDG_RUNTIME_DIR=", 0) != 0)
      env.push_back(v);
  }
  mkdir((dir + "/run").c_str(), 0700);
  env.push_back("XDG_RUNTIME_DIR=" + dir + "/run");
  env.push_back("QT_QPA_PLATFORM=offscreen");
  env.push_back("BRIMVALE_QUIT_AFTER_FIRST_SHOW=1");
  env.push_back("XDG_CONFIG_HOME=" + dir + "/config");
  env.push_back("XDG_DATA_HOME=" + dir + "/data");
  std::vector<char*> envp;
  for (std::string& v : env) envp.push_back(v.data());
  envp.push_back(nullptr);
  char* argv[] = {const_cast<char*>(BRIMVALE_EXE), nullptr};
  long peakKb = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    pid_t pid;
    if (posix_spawn(&pid, BRIMVALE_EXE, nullptr, nullptr, argv, envp.data()) != 0) {
      state.SkipWithError("cannot start the program");
      break;
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const auto end = Clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("the program did not end by itself after its first showing");
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    peakKb = std::max(peakKb, usage.ru_maxrss);
  }
  state.counters["peak_rss_MiB"] = peakKb / 1024.0;
}
BENCHMARK(StartUpToFirstShow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  QApplication application(qtArgc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

// Figures of the core on the headless front end: settings save and load, the
// cost of a run per file against a bare start-and-wait loop, and list intake.
#include <benchmark/benchmark.h>
#include <poll.h>
#include <unistd.h>

#include <cstdlib>

#include "app/main_form.h"
#include "platform/posix/posix.h"
#include "support/doubles.h"
#include "support/temp_dir.h"
#include "ui/headless/headless.h"

namespace {

using testdoubles::NoFolders;
using testdoubles::RecordingVerb;

struct Rig {
  explicit Rig(const std::string& iniPath) : store(iniPath) {
    main.SetDialogs(&about, &options);
    options.SetBitRateIndex(1);
  }
  ui::ListBox& list() { return main.form().Get<ui::ListBox>("lstSrcFile"); }
  ui::headless::HeadlessApp app;
  posix::PosixProcess proc;
  posix::PosixFileSystem fs;
  posix::FileSettingsStore store;
  RecordingVerb verb;
  NoFolders folders;
  app::Services services{app, proc, fs, store, verb, folders, encode::Traits::Posix(), {}};
  app::TOggEncodeF main{services};
  app::TAboutF about{app};
  app::TEncodeOptionF options{app};
};

using TempDir = testsupport::TempDir;

void SaveAndLoad(benchmark::State& state) {
  const TempDir tmp("/tmp/brimvale-bench-XXXXXX");
  const std::string& dir = tmp;
  Rig rig(dir + "/brimvale.ini");
  for (int i = 0; i < state.range(0); ++i) rig.list().Append("/home/user/music/album/track " + std::to_string(i) + ".wav");
  for (auto _ : state) {
    rig.main.SaveSettings();
    rig.main.LoadSettings();
  }
  if (rig.list().Count() != state.range(0)) state.SkipWithError("list changed");
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(SaveAndLoad)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void Load(benchmark::State& state) {
  const TempDir tmp("/tmp/brimvale-bench-XXXXXX");
  const std::string& dir = tmp;
  Rig rig(dir + "/brimvale.ini");
  for (int i = 0; i < state.range(0); ++i) rig.list().Append("/home/user/music/album/track " + std::to_string(i) + ".wav");
  rig.main.SaveSettings();
  for (auto _ : state) rig.main.LoadSettings();
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(Load)->Arg(100000)->Unit(benchmark::kMillisecond);

void DropAppend(benchmark::State& state) {
  const TempDir tmp("/tmp/brimvale-bench-XXXXXX");
  const std::string& dir = tmp;
  std::vector<std::string> names;
  for (int i = 0; i < state.range(0); ++i) names.push_back("/home/user/music/" + std::to_string(i) + ".wav");
  for (auto _ : state) {
    Rig rig(dir + "/brimvale.ini");
    static_cast<ui::headless::HeadlessForm&>(rig.main.form()).Drop(names);
    benchmark::DoNotOptimize(rig.list().Count());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(DropAppend)->Arg(100000)->Unit(benchmark::kMillisecond);

constexpr int kRunFiles = 200;

// A whole run over kRunFiles entries with an encoder that does nothing.
void RunPerFile(benchmark::State& state) {
  const TempDir tmp("/tmp/brimvale-bench-XXXXXX");
  const std::string& dir = tmp;
  Rig rig(dir + "/brimvale.ini");
  rig.main.form().Get<ui::Control>("edtOggPath").SetText(TEST_ENCODER);
  unsetenv("BRIMVALE_TEST_LOG");
  for (auto _ : state) {
    for (int i = 0; i < kRunFiles; ++i) rig.list().Append(dir + "/" + std::to_string(i) + ".wav");
    rig.main.btnStartEncodeClick();
  }
  state.SetItemsProcessed(state.iterations() * kRunFiles);
}
BENCHMARK(RunPerFile)->Unit(benchmark::kMillisecond);

// The reference: start and wait for the same encoder as often, with nothing around it.
void BareStartAndWait(benchmark::State& state) {
  const TempDir tmp("/tmp/brimvale-bench-XXXXXX");
  const std::string& dir = tmp;
  posix::PosixProcess proc;
  for (auto _ : state) {
    for (int i = 0; i < kRunFiles; ++i) {
      const std::string out = dir + "/" + std::to_string(i) + ".ogg";
      proc.Start({"", {TEST_ENCODER, "-b", "128", dir + "/" + std::to_string(i) + ".wav", "--output=" + out}}, true);
      pollfd p{static_cast<int>(proc.WaitHandle()), POLLIN, 0};
      poll(&p, 1, 1000);
      proc.ExitCode();
    }
  }
  state.SetItemsProcessed(state.iterations() * kRunFiles);
}
BENCHMARK(BareStartAndWait)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// From the Stop command to the terminated encoder being gone, as the run's Stop does it.
void StopLatency(benchmark::State& state) {
  posix::PosixProcess proc;
  setenv("BRIMVALE_TEST_SLEEP_MS", "60000", 1);
  for (auto _ : state) {
    state.PauseTiming();
    proc.Start({"", {TEST_ENCODER}}, true);
    usleep(2000);  // let it start sleeping
    state.ResumeTiming();
    proc.Terminate();
  }
  unsetenv("BRIMVALE_TEST_SLEEP_MS");
}
BENCHMARK(StopLatency)->Unit(benchmark::kMillisecond)->Iterations(50);

}  // namespace

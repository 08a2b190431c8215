// End to end: the program as it starts (RunApplication on the Qt front end)
// with three generated WAV files as arguments runs Debian's oggenc on them.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <QTest>
#include <QTimer>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "app/application.h"
#include "harness.h"
#include "support/wav.h"

namespace {

using testwav::SineWav;

// Runs a program with one argument; its exit status and standard output.
std::pair<int, std::string> Capture(const std::string& program, const std::string& arg) {
  std::string quoted = "'";
  for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  quoted += "'";
  FILE* p = popen((program + " " + quoted + " 2>&1").c_str(), "r");
  if (!p) return {-1, ""};
  std::string out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  const int status = pclose(p);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

TEST(EndToEnd, OggencTurnsThreeWavArgumentsIntoOggVorbisFilesAt128Kbps) {
  posix::PosixProcess encoder;
  ASSERT_FALSE(encoder.Resolve("oggenc").empty()) << "oggenc (vorbis-tools) is not installed";
  ASSERT_FALSE(encoder.Resolve("ogginfo").empty()) << "ogginfo (vorbis-tools) is not installed";

  const std::string dir = qttest::MakeTempDir();
  mkdir((dir + "/config").c_str(), 0755);
  const std::vector<std::string> sources{dir + "/a.wav", dir + "/b c.wav", dir + "/音 3.wav"};
  double hz = 330;
  for (const std::string& s : sources) qttest::WriteFile(s, SineWav(hz += 110));

  qtui::QtApp app;
  posix::PosixFileSystem fs;
  posix::FileSettingsStore settings(dir + "/config/brimvale.ini");
  qttest::RecordingVerb verb;
  qtui::QtFolderPicker picker(app);
  app::Services services{app, encoder, fs, settings, verb, picker, encode::Traits::Posix(), sources};
  std::vector<QString> boxes;
  app.modalHook = [&](QDialog& d) {
    boxes.push_back(static_cast<QMessageBox&>(d).text());
    return int(QMessageBox::Ok);
  };

  std::vector<std::string> atShow;
  std::string encoderPath;
  int entriesAfter = -1;
  QSize sizeAfter;
  QTimer::singleShot(0, [&] {
    qtui::QtForm* form = app.FormNamed("OggEncodeF");
    ASSERT_NE(form, nullptr);
    auto& list = form->Get<ui::ListBox>("lstSrcFile");
    for (int i = 0; i < list.Count(); ++i) atShow.push_back(list.Item(i));
    encoderPath = form->Get<ui::Control>("edtOggPath").Text();
    // The click returns once the run is over.
    QTest::mouseClick(form->Widget("btnStartEncode"), Qt::LeftButton);
    entriesAfter = list.Count();
    sizeAfter = form->Window()->size();
    form->Close();
  });
  EXPECT_EQ(app::RunApplication(services), 0);

  EXPECT_EQ(atShow, sources);
  EXPECT_EQ(encoderPath, "oggenc");
  EXPECT_TRUE(boxes.empty()) << boxes.front().toStdString();
  EXPECT_EQ(entriesAfter, 0);
  EXPECT_EQ(sizeAfter, QSize(489, 225));
  for (const std::string& s : sources) {
    const std::string ogg = s.substr(0, s.size() - 4) + ".ogg";
    SCOPED_TRACE(ogg);
    ASSERT_TRUE(qttest::Exists(ogg));
    const auto [status, info] = Capture("ogginfo", ogg);
    EXPECT_EQ(status, 0) << info;
    EXPECT_NE(info.find("Nominal bitrate: 128"), std::string::npos) << info;
    EXPECT_NE(info.find("Rate: 44100"), std::string::npos) << info;
    EXPECT_NE(info.find("Channels: 2"), std::string::npos) << info;
  }
  // Closing saved the settings with the emptied list.
  const std::string saved = qttest::ReadFile(settings.Path());
  EXPECT_NE(saved.find("OggPath=oggenc"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Count=0"), std::string::npos) << saved;

  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}

}  // namespace

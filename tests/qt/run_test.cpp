// The batch run on the Qt front end: the Progress view, drops (also during a
// run), close requests, the message loop and the wait on the encoder.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "harness.h"

namespace {

using qttest::Harness;

bool Covers(QWidget* panel, QWidget* w) { return w && (w == panel || panel->isAncestorOf(w)); }

TEST(QtRun, ShowsTheProgressViewWhileRunningAndFullSizeAfter) {
  Harness h;
  h.Show();
  setenv("BRIMVALE_TEST_SLEEP_MS", "200", 1);
  h.Append({h.dir + "/one.wav", h.dir + "/two 音.wav"});
  QWidget* window = h.Window();
  QWidget* panel = h.W("pnlProgress");

  struct Seen {
    QSize client;
    QRect panel;
    bool covered;
    QString file, now, total;
    int nowRight, totalRight;
  };
  std::vector<Seen> seen;
  QTimer probe;
  probe.setInterval(20);
  QObject::connect(&probe, &QTimer::timeout, [&] {
    if (!panel->isVisible()) return;
    auto* now = h.W<QLabel>("lblNowCount");
    auto* total = h.W<QLabel>("lblTotalCount");
    // The panel lies over every other control in the small client area.
    const bool covered = Covers(panel, window->childAt(5, 5)) && Covers(panel, window->childAt(295, 55)) &&
                         Covers(panel, window->childAt(150, 30));
    seen.push_back({window->size(), panel->geometry(), covered, h.W<QLabel>("lblFileName")->text(), now->text(),
                    total->text(), now->geometry().right() + 1, total->geometry().right() + 1});
  });
  probe.start();
  QTest::mouseClick(h.W("btnStartEncode"), Qt::LeftButton);
  probe.stop();

  ASSERT_FALSE(seen.empty());
  std::vector<QString> counts, files;
  for (const Seen& s : seen) {
    EXPECT_EQ(s.client, QSize(301, 60));
    EXPECT_EQ(s.panel, QRect(0, 0, 301, 61));
    EXPECT_TRUE(s.covered);
    EXPECT_EQ(s.total, QStringLiteral("2"));
    EXPECT_EQ(s.nowRight, 100);
    EXPECT_EQ(s.totalRight, 142);
    if (counts.empty() || counts.back() != s.now) {
      counts.push_back(s.now);
      files.push_back(s.file);
    }
  }
  EXPECT_EQ(counts, (std::vector<QString>{"1", "2"}));
  EXPECT_EQ(files, (std::vector<QString>{"one.wav", "two 音.wav"}));

  EXPECT_EQ(window->size(), QSize(489, 225));
  EXPECT_TRUE(panel->isHidden());
  EXPECT_TRUE(window->updatesEnabled());
  EXPECT_EQ(qttest::EncoderRuns(h.LogPath()).size(), 2u);
  EXPECT_TRUE(h.Entries().empty());
}

// ---- drops ----

class DropTarget : public testing::TestWithParam<const char*> {};

TEST_P(DropTarget, AppendsLocalFilesAndFoldersInTheDropsOrder) {
  Harness h;
  h.Show();
  h.Append({"/m/first.wav"});
  const std::string target = GetParam();
  QWidget* w = target == "window" ? h.Window() : h.W(GetParam());
  if (auto* list = qobject_cast<QListWidget*>(w)) w = list->viewport();
  const QString d = QString::fromStdString(h.dir);
  EXPECT_TRUE(qttest::DropOn(w, {d + "/b c.wav", d + "/音楽.mp3", "https://example.com/x.wav", d + "/folder/", d + "/b c.wav"},
                             target == "window" ? QPoint(400, 38) : QPoint(-1, -1)));
  const std::vector<std::string> expected{"/m/first.wav", h.dir + "/b c.wav", h.dir + "/音楽.mp3", h.dir + "/folder",
                                          h.dir + "/b c.wav"};
  EXPECT_EQ(h.Entries(), expected);
  // A drop on an edit box does not go into its text.
  EXPECT_EQ(h.W<QLineEdit>("edtOggPath")->text().toStdString(), TEST_ENCODER);
  EXPECT_TRUE(h.W<QLineEdit>("edtOutputDir")->text().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Targets, DropTarget,
                         testing::Values("lstSrcFile", "btnAddList", "edtOggPath", "edtOutputDir", "Label2", "window"),
                         [](const auto& info) { return std::string(info.param); });

TEST(QtDrop, WithoutLocalFilesIsRefused) {
  Harness h;
  h.Show();
  h.Append({"/m/first.wav"});
  EXPECT_FALSE(qttest::DropOn(h.W("lstSrcFile"), {"https://example.com/a.wav"}));
  EXPECT_EQ(h.Entries(), std::vector<std::string>{"/m/first.wav"});
}

TEST(QtRun, DropsDuringARunAppendAndStopKeepsEveryEntry) {
  Harness h;
  h.Show();
  setenv("BRIMVALE_TEST_SLEEP_MS", "30000", 1);
  h.Append({h.dir + "/a.wav"});
  const QString d = QString::fromStdString(h.dir);
  bool running = false, onPanel = false, onStop = false;
  QTimer::singleShot(0, [&] {
    running = h.W("pnlProgress")->isVisible();
    // The encoder has started for the first entry before the user acts.
    EXPECT_TRUE(QTest::qWaitFor([&] { return qttest::EncoderRuns(h.LogPath()).size() == 1; }));
    onPanel = qttest::DropOn(h.W("lblFileName"), {d + "/d1.wav", d + "/d2.wav"});
    onStop = qttest::DropOn(h.W("btnStopEncode"), {d + "/d3.wav"});
    QTest::mouseClick(h.W("btnStopEncode"), Qt::LeftButton);
  });
  QTest::mouseClick(h.W("btnStartEncode"), Qt::LeftButton);
  EXPECT_TRUE(running);
  EXPECT_TRUE(onPanel);
  EXPECT_TRUE(onStop);
  EXPECT_EQ(h.Entries(),
            (std::vector<std::string>{h.dir + "/a.wav", h.dir + "/d1.wav", h.dir + "/d2.wav", h.dir + "/d3.wav"}));
  EXPECT_EQ(qttest::EncoderRuns(h.LogPath()).size(), 1u);
  EXPECT_EQ(h.Window()->size(), QSize(489, 225));
  // The stopped encoder's partial output is gone.
  EXPECT_FALSE(qttest::Exists(h.dir + "/a.ogg"));
}

// ---- closing ----

TEST(QtRun, CloseRequestDuringARunStopsItAndKeepsTheWindow) {
  Harness h;
  h.Show();
  setenv("BRIMVALE_TEST_SLEEP_MS", "30000", 1);
  h.Append({h.dir + "/a.wav", h.dir + "/b.wav"});
  QTimer::singleShot(0, [&] {
    EXPECT_TRUE(QTest::qWaitFor([&] { return qttest::EncoderRuns(h.LogPath()).size() == 1; }));
    h.Window()->close();
  });
  QTest::mouseClick(h.W("btnStartEncode"), Qt::LeftButton);
  EXPECT_TRUE(h.Window()->isVisible());
  EXPECT_FALSE(h.Form().Closed());
  EXPECT_EQ(h.Window()->size(), QSize(489, 225));
  EXPECT_EQ(h.Entries(), (std::vector<std::string>{h.dir + "/a.wav", h.dir + "/b.wav"}));
  EXPECT_EQ(qttest::EncoderRuns(h.LogPath()).size(), 1u);
  EXPECT_NE(qttest::ReadFile(h.store.Path()).find("Count=2"), std::string::npos);
}

TEST(QtApplication, RunShowsTheWindowWithTheArgumentsAndEndsWhenItCloses) {
  Harness h({"/m/x.wav", "-y 音.wav"});
  qttest::WriteFile(h.store.Path(), "[Setting]\nOggPath=" TEST_ENCODER "\n[List]\nCount=1\n0=/m/saved.wav\n");
  std::vector<std::string> atShow;
  bool startFocused = false;
  QTimer::singleShot(0, [&] {
    atShow = h.Entries();
    startFocused = h.Window()->focusWidget() == h.W("btnStartEncode");
    QTest::mouseClick(h.W("btnExit"), Qt::LeftButton);
  });
  h.app.Run(h.main->form());
  EXPECT_EQ(atShow, (std::vector<std::string>{"/m/saved.wav", "/m/x.wav", "-y 音.wav"}));
  EXPECT_TRUE(startFocused);
  EXPECT_TRUE(h.Form().Closed());
  EXPECT_FALSE(h.Window()->isVisible());
  const std::string saved = qttest::ReadFile(h.store.Path());
  EXPECT_NE(saved.find("Count=3"), std::string::npos) << saved;
  EXPECT_NE(saved.find("2=-y 音.wav"), std::string::npos) << saved;
}

// ---- the wait ----

struct WaitFixture : testing::Test {
  void SetUp() override {
    unsetenv("BRIMVALE_TEST_LOG");
    QCoreApplication::processEvents();
  }
  ui::EncoderCommand Command() {
    ui::EncoderCommand c;
    c.argv = {TEST_ENCODER};
    return c;
  }
  qtui::QtApp app;
  posix::PosixProcess process;
  bool watchdog = false;
};

TEST_F(WaitFixture, WakesWhenTheProcessEndsWithoutSpinning) {
  setenv("BRIMVALE_TEST_SLEEP_MS", "300", 1);
  ASSERT_TRUE(process.Start(Command(), true));
  QTimer::singleShot(20000, [&] { watchdog = true; });
  int wakes = 0;
  while (process.ExitCode() == ui::kStillActive && !watchdog) {
    app.WaitForProcessOrInput(process, 600000);
    ++wakes;
  }
  EXPECT_FALSE(watchdog) << "the wait did not notice the end of the process";
  // Each wake had a reason; a loop that spins would wake thousands of times.
  EXPECT_LT(wakes, 20);
}

TEST_F(WaitFixture, WakesOnInputWhileTheProcessRuns) {
  setenv("BRIMVALE_TEST_SLEEP_MS", "30000", 1);
  ASSERT_TRUE(process.Start(Command(), true));
  QLineEdit edit;
  QTimer::singleShot(20000, [&] { watchdog = true; });
  QCoreApplication::postEvent(&edit, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a")));
  app.WaitForProcessOrInput(process, 600000);
  EXPECT_FALSE(watchdog);
  EXPECT_EQ(edit.text(), QStringLiteral("a"));
  EXPECT_EQ(process.ExitCode(), ui::kStillActive);
  EXPECT_TRUE(process.Terminate());
}

TEST_F(WaitFixture, ReturnsWhenTheTimeIsUp) {
  setenv("BRIMVALE_TEST_SLEEP_MS", "30000", 1);
  ASSERT_TRUE(process.Start(Command(), true));
  QTimer::singleShot(20000, [&] { watchdog = true; });
  app.WaitForProcessOrInput(process, 10);
  EXPECT_FALSE(watchdog);
  EXPECT_EQ(process.ExitCode(), ui::kStillActive);
  EXPECT_TRUE(process.Terminate());
}

}  // namespace

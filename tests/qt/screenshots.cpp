// Renders the main window, the Progress view, the options dialog, the about
// box, the folder picker and the error box to PNG files for a look by eye: qt_screenshots [folder] (default /tmp/qtshots).
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

#include "harness.h"

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/qtshots");
  QDir().mkpath(out);
  int failures = 0;
  auto save = [&](QWidget* w, const char* name) {
    const QString path = out + QLatin1Char('/') + QLatin1String(name);
    const bool ok = w->grab().save(path);
    std::printf("%s %s (%dx%d)\n", ok ? "wrote" : "FAILED", qPrintable(path), w->width(), w->height());
    failures += ok ? 0 : 1;
  };

  qttest::Harness h;
  h.Show();
  h.Append({h.dir + "/01 はじまり.wav", h.dir + "/track two.mp3", h.dir + "/音楽/03 終わりの歌.wav"});
  h.List().SetSelected(1, true);
  save(h.Window(), "main.png");

  // The Progress view, caught at the run's first pass of message handling.
  setenv("BRIMVALE_TEST_SLEEP_MS", "30000", 1);
  QTimer::singleShot(0, [&] {
    save(h.Window(), "progress.png");
    QTest::mouseClick(h.W("btnStopEncode"), Qt::LeftButton);
  });
  QTest::mouseClick(h.W("btnStartEncode"), Qt::LeftButton);
  save(h.Window(), "main-after-stop.png");

  auto& options = static_cast<qtui::QtForm&>(h.options->form());
  QTimer::singleShot(0, [&] {
    (void)QTest::qWaitForWindowExposed(options.Window());
    save(options.Window(), "options.png");
    options.EndModal(ui::mrCancel);
  });
  options.ShowModal();

  auto& about = static_cast<qtui::QtForm&>(h.about->form());
  QTimer::singleShot(0, [&] {
    (void)QTest::qWaitForWindowExposed(about.Window());
    save(about.Window(), "about.png");
    about.EndModal(ui::mrCancel);
  });
  about.ShowModal();

  // The folder picker from 参照(&2)..., with a preselected folder and a status line.
  for (const char* d : {"/音楽", "/音楽/ライブ", "/音楽/スタジオ", "/出力"}) QDir().mkpath(QString::fromStdString(h.dir + d));
  widgets::TFolderDialog& folders = h.main->FolderDialog1();
  folders.SetCaption("出力先のフォルダを選んでください");
  folders.SetStartDir(h.dir + "/音楽");
  folders.SetListedFlags(widgets::Flag(widgets::lfReturnOnlyFSDirs) | widgets::Flag(widgets::lfStatusText));
  folders.OnSelectionChange = [](widgets::TFolderDialog& f) { f.SetStatusText("選択: " + f.SelectedDir()); };
  h.onFolderPicker = [&](qtui::FolderPickerDialog& d) {
    return qttest::RunShown(d, [&] {
      (void)QTest::qWaitFor([&] { return folders.Open(); });
      d.Select(h.dir + "/音楽/ライブ");
      QTest::qWait(100);
      save(&d, "folder.png");
    });
  };
  QTest::mouseClick(h.W("btnBrowseOutputDir"), Qt::LeftButton);

  h.List().Clear();
  h.app.modalHook = [&](QDialog& d) {
    d.show();
    (void)QTest::qWaitForWindowExposed(&d);
    save(&d, "error.png");
    return int(QMessageBox::Ok);
  };
  QTest::mouseClick(h.W("btnPlaySound"), Qt::LeftButton);
  return failures == 0 ? 0 : 1;
}

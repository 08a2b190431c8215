// Renders the main window, the Progress view, the options dialog and the error
// box to PNG files for a look by eye: qt_screenshots [folder] (default /tmp/qtshots).
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

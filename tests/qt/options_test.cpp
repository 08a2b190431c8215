// The options command on the real Qt widgets: Cancel brings back the saved
// options, OK keeps them, and the switch writes or removes the desktop entry
// at once (under a temporary XDG data home and a small MIME database).
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <optional>

#include "harness.h"
#include "platform/posix/desktop_verb.h"

namespace {

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_) setenv(name_, old_->c_str(), 1);
    else unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

struct OptionsFlow : testing::Test {
  OptionsFlow()
      : xdg(qttest::MakeTempDir()),
        dataHome("XDG_DATA_HOME", xdg + "/home"),
        dataDirs("XDG_DATA_DIRS", xdg + "/share"),
        verb("/opt/brimvale tools/brimvale"),
        h({}, TEST_ENCODER, &verb) {
    mkdir((xdg + "/share").c_str(), 0755);
    mkdir((xdg + "/share/mime").c_str(), 0755);
    qttest::WriteFile(xdg + "/share/mime/globs2", "50:audio/x-wav:*.wav\n50:audio/mpeg:*.mp3\n50:audio/flac:*.flac\n");
    qttest::WriteFile(xdg + "/share/mime/aliases", "audio/vnd.wave audio/x-wav\naudio/mp3 audio/mpeg\n");
    h.Show();
    options = static_cast<qtui::QtForm*>(&h.options->form());
    window = options->Window();
  }
  ~OptionsFlow() override {
    const std::string cmd = "rm -rf '" + xdg + "'";
    (void)!system(cmd.c_str());
  }

  // Clicks 設定... and runs act once the options dialog is shown; a dialog that
  // act left open is cancelled afterwards, so that a test cannot hang.
  void Options(const std::function<void()>& act) {
    if (!qttest::ClickAndRunShown(h.W("btnOption"), *options, act))
      ADD_FAILURE() << "設定... did not show the options dialog";
  }
  QComboBox* BitRate() { return qobject_cast<QComboBox*>(options->Widget("cboBitRate")); }
  QCheckBox* ShellExt() { return qobject_cast<QCheckBox*>(options->Widget("chkShellExt")); }
  void Press(const char* button) { QTest::mouseClick(options->Widget(button), Qt::LeftButton); }
  std::string Entry() const { return posix::DesktopEntryVerb::EntryPath(); }

  const std::string xdg;
  ScopedEnv dataHome, dataDirs;
  posix::DesktopEntryVerb verb;
  qttest::Harness h;
  qtui::QtForm* options;
  QWidget* window;
};

struct BitRateCase {
  const char* button;
  int after;  // the entry selected after the dialog
};

class BitRateChoice : public OptionsFlow, public testing::WithParamInterface<BitRateCase> {};

TEST_P(BitRateChoice, CancelBringsBackTheEntryChosenBeforeAndOkKeepsTheNewOne) {
  ASSERT_EQ(BitRate()->currentText(), QStringLiteral("128 kbps"));
  QString chosen;
  Options([&] {
    // The list has the focus; two steps down from "128 kbps" is "192 kbps".
    QTest::keyClick(BitRate(), Qt::Key_Down);
    QTest::keyClick(BitRate(), Qt::Key_Down);
    chosen = BitRate()->currentText();
    Press(GetParam().button);
  });
  EXPECT_EQ(chosen, QStringLiteral("192 kbps"));
  EXPECT_EQ(BitRate()->currentIndex(), GetParam().after);
  EXPECT_EQ(h.options->BitRateIndex(), GetParam().after);
  EXPECT_NE(qttest::ReadFile(h.store.Path()).find("BitRate=" + std::to_string(GetParam().after)), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Buttons, BitRateChoice,
                         testing::Values(BitRateCase{"btnCancel", 1}, BitRateCase{"btnOk", 3}),
                         [](const auto& info) { return std::string(info.param.button); });

TEST_F(OptionsFlow, TheSwitchWritesAndRemovesTheDesktopEntryAtOnce) {
  ASSERT_FALSE(ShellExt()->isChecked());
  // Turned on and cancelled: nothing is written.
  Options([&] {
    QTest::mouseClick(ShellExt(), Qt::LeftButton);
    Press("btnCancel");
  });
  EXPECT_FALSE(ShellExt()->isChecked());
  EXPECT_FALSE(qttest::Exists(Entry()));

  // Turned on with OK: the entry is there as soon as the dialog has closed.
  bool existedWhileOpen = true;
  Options([&] {
    existedWhileOpen = qttest::Exists(Entry());
    QTest::mouseClick(ShellExt(), Qt::LeftButton);
    Press("btnOk");
  });
  EXPECT_FALSE(existedWhileOpen);
  EXPECT_TRUE(ShellExt()->isChecked());
  ASSERT_TRUE(qttest::Exists(Entry()));
  const std::string text = qttest::ReadFile(Entry());
  EXPECT_NE(text.find("MimeType=audio/x-wav;audio/vnd.wave;audio/mpeg;audio/mp3;\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Exec=\"/opt/brimvale tools/brimvale\" %F\n"), std::string::npos) << text;
  ASSERT_EQ(access("/usr/bin/desktop-file-validate", X_OK), 0) << "desktop-file-utils is not installed";
  const std::string validate = "desktop-file-validate '" + Entry() + "'";
  EXPECT_EQ(system(validate.c_str()), 0) << text;
  EXPECT_NE(qttest::ReadFile(h.store.Path()).find("ShellExt=1"), std::string::npos);

  // Turned off with OK: the entry is gone at once.
  Options([&] {
    QTest::mouseClick(ShellExt(), Qt::LeftButton);
    Press("btnOk");
  });
  EXPECT_FALSE(ShellExt()->isChecked());
  EXPECT_FALSE(qttest::Exists(Entry()));
  EXPECT_NE(qttest::ReadFile(h.store.Path()).find("ShellExt=0"), std::string::npos);
}

}  // namespace

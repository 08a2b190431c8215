// The application's dialogs on Qt: the filter texts, the Add and encoder
// dialogs, the folder chooser and the message boxes.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "harness.h"

namespace {

using qttest::Harness;

struct FilterCase {
  const char* pairs;
  QStringList filters;
};

class NameFilters : public testing::TestWithParam<FilterCase> {};

TEST_P(NameFilters, BecomeQtFiltersThatMatchTheSameFiles) {
  EXPECT_EQ(qtui::NameFilters(GetParam().pairs), GetParam().filters);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NameFilters,
    testing::Values(
        FilterCase{"WAV・MP3ファイル (*.wav;*.mp3)|*.wav;*.mp3|WAVファイル (*.wav)|*.wav|"
                   "MP3ファイル (*.mp3)|*.mp3|すべてのファイル (*.*)|*.*",
                   {"WAV・MP3ファイル (*.wav;*.mp3) (*.wav *.mp3)", "WAVファイル (*.wav) (*.wav)",
                    "MP3ファイル (*.mp3) (*.mp3)", "すべてのファイル (*.*) (*)"}},
        FilterCase{"ogglame.exe|ogglame.exe|実行ファイル (*.exe)|*.exe|すべてのファイル (*.*)|*.*",
                   {"ogglame.exe (ogglame.exe)", "実行ファイル (*.exe) (*.exe)", "すべてのファイル (*.*) (*)"}},
        FilterCase{"", {}}, FilterCase{"caption only", {}}, FilterCase{"a|*.x|b", {"a (*.x)"}},
        FilterCase{"a| *.x ; *.y ;", {"a (*.x *.y)"}}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

std::string MakeFile(const std::string& path, mode_t mode = 0644) {
  qttest::WriteFile(path, "x");
  chmod(path.c_str(), mode);
  return path;
}

TEST(QtAddDialog, OffersTheFourFiltersAndAppendsEveryChosenFile) {
  Harness h;
  h.Show();
  h.Append({"/m/first.wav"});
  const std::string a = MakeFile(h.dir + "/a b.wav"), b = MakeFile(h.dir + "/音.mp3");
  QFileDialog::FileMode mode{};
  QStringList filters;
  QString selected;
  bool hidesDetails = false;
  h.onFileDialog = [&](QFileDialog& fd) {
    mode = fd.fileMode();
    filters = fd.nameFilters();
    selected = fd.selectedNameFilter();
    hidesDetails = fd.testOption(QFileDialog::HideNameFilterDetails);
    fd.setDirectory(QString::fromStdString(h.dir));
    fd.selectFile(QStringLiteral("\"a b.wav\" \"音.mp3\""));
    return int(QDialog::Accepted);
  };
  // The accelerator clicks the button after its pressed look has shown.
  QTest::keyClick(h.W("btnStartEncode"), Qt::Key_A, Qt::AltModifier);
  ASSERT_TRUE(QTest::qWaitFor([&] { return h.fileDialogs == 1; }));
  EXPECT_EQ(mode, QFileDialog::ExistingFiles);
  EXPECT_EQ(filters.size(), 4);
  EXPECT_EQ(filters, qtui::NameFilters("WAV・MP3ファイル (*.wav;*.mp3)|*.wav;*.mp3|WAVファイル (*.wav)|*.wav|"
                                       "MP3ファイル (*.mp3)|*.mp3|すべてのファイル (*.*)|*.*"));
  // The first filter is chosen and shows its caption only, as the Windows dialog does.
  EXPECT_EQ(selected, QStringLiteral("WAV・MP3ファイル (*.wav;*.mp3)"));
  EXPECT_TRUE(hidesDetails);
  EXPECT_EQ(h.Entries(), (std::vector<std::string>{"/m/first.wav", a, b}));
}

TEST(QtAddDialog, CancelLeavesTheListAlone) {
  Harness h;
  h.Show();
  h.Append({"/m/first.wav"});
  QTest::mouseClick(h.W("btnAddList"), Qt::LeftButton);
  EXPECT_EQ(h.fileDialogs, 1);
  EXPECT_EQ(h.Entries(), std::vector<std::string>{"/m/first.wav"});
}

struct EncoderCase {
  const char* chosen;    // the name chosen in the folder
  const char* existing;  // the file that exists there
  const char* result;    // the Encoder path afterwards
};

class EncoderDialog : public testing::TestWithParam<EncoderCase> {};

TEST_P(EncoderDialog, PutsTheChosenProgramsFullPathIntoTheEncoderPath) {
  Harness h;
  h.Show();
  MakeFile(h.dir + "/" + GetParam().existing, 0755);
  QFileDialog::FileMode mode{};
  QStringList filters;
  h.onFileDialog = [&](QFileDialog& fd) {
    mode = fd.fileMode();
    filters = fd.nameFilters();
    fd.setDirectory(QString::fromStdString(h.dir));
    fd.selectFile(QString::fromStdString(GetParam().chosen));
    return int(QDialog::Accepted);
  };
  QTest::mouseClick(h.W("btnBrowseOgg"), Qt::LeftButton);
  EXPECT_EQ(mode, QFileDialog::ExistingFile);
  EXPECT_EQ(filters.value(0), QStringLiteral("ogglame.exe (ogglame.exe)"));
  EXPECT_EQ(h.W<QLineEdit>("edtOggPath")->text().toStdString(), h.dir + "/" + GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(
    Names, EncoderDialog,
    testing::Values(EncoderCase{"oggenc", "oggenc", "oggenc"},  // a program without extension stays as it is
                    EncoderCase{"ogglame.exe", "ogglame.exe", "ogglame.exe"},
                    EncoderCase{"tool", "tool.exe", "tool.exe"}),  // the default extension completes a typed name
    [](const auto& info) { return "chosen_" + std::to_string(info.index); });

TEST(QtEncoderDialog, CancelKeepsThePreviousText) {
  Harness h;
  h.Show();
  h.W<QLineEdit>("edtOggPath")->setText(QString());
  QTest::mouseClick(h.W("btnBrowseOgg"), Qt::LeftButton);
  EXPECT_EQ(h.fileDialogs, 1);
  EXPECT_TRUE(h.W<QLineEdit>("edtOggPath")->text().isEmpty());
}

TEST(QtFolderChooser, PutsTheChosenFolderIntoTheOutputFolder) {
  Harness h;
  h.Show();
  const std::string out = h.dir + "/出力 先";
  mkdir(out.c_str(), 0755);
  h.onFolderPicker = [&](qtui::FolderPickerDialog& d) {
    return qttest::RunShown(d, [&] {
      if (!QTest::qWaitFor([&] { return h.main->FolderDialog1().Open(); })) return;
      EXPECT_TRUE(d.Select(out));
      QTest::mouseClick(d.OkButton(), Qt::LeftButton);
    });
  };
  QTest::mouseClick(h.W("btnBrowseOutputDir"), Qt::LeftButton);
  EXPECT_EQ(h.folderPickers, 1);
  EXPECT_EQ(h.fileDialogs, 0);
  EXPECT_EQ(h.W<QLineEdit>("edtOutputDir")->text().toStdString(), out);
}

TEST(QtMessageBoxes, TheOldEncoderWarningAsksYesNoWithTheStopIcon) {
  Harness h;
  h.Show();
  h.W<QLineEdit>("edtOggPath")->setText(QStringLiteral("/usr/bin/ogglame"));
  h.Append({"/m/a.wav"});
  h.app.modalHook = [&](QDialog& d) {
    auto& box = static_cast<QMessageBox&>(d);
    h.boxes.push_back({box.windowTitle(), box.text(), box.icon(), box.standardButtons()});
    return int(QMessageBox::No);
  };
  QTest::mouseClick(h.W("btnStartEncode"), Qt::LeftButton);
  ASSERT_EQ(h.boxes.size(), 1u);
  EXPECT_EQ(h.boxes[0].title, QStringLiteral("警告"));
  EXPECT_EQ(h.boxes[0].icon, QMessageBox::Critical);
  EXPECT_EQ(h.boxes[0].buttons, QMessageBox::Yes | QMessageBox::No);
  // No declines: nothing ran, the list is as it was.
  EXPECT_FALSE(qttest::Exists(h.LogPath()));
  EXPECT_EQ(h.Entries(), std::vector<std::string>{"/m/a.wav"});
}

TEST(QtMessageBoxes, AnEncoderThatCannotStartIsReportedCaptionedWithTheTitle) {
  Harness h;
  h.Show();
  h.W<QLineEdit>("edtOggPath")->setText(QString::fromStdString(h.dir + "/missing-encoder"));
  h.Append({"/m/a.wav"});
  QTest::mouseClick(h.W("btnStartEncode"), Qt::LeftButton);
  ASSERT_EQ(h.boxes.size(), 1u);
  EXPECT_EQ(h.boxes[0].title, QStringLiteral("Brimvale"));
  EXPECT_EQ(h.boxes[0].text, QStringLiteral("Ogg Vorbis Encoderが実行できませんでした。"));
  EXPECT_EQ(h.boxes[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  EXPECT_EQ(h.Window()->size(), QSize(489, 225));
  EXPECT_EQ(h.Entries(), std::vector<std::string>{"/m/a.wav"});
}

}  // namespace

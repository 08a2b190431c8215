// The folder picker on Qt behind the main window's TFolderDialog: its notices
// and their order, the root, the preselection, the status line, OK and Cancel.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QApplication>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "harness.h"

namespace {

using qttest::Harness;

// The main window's folder dialog with its three events recorded.
struct PickerFixture : testing::Test {
  PickerFixture() {
    h.Show();
    for (const char* d : {"/a", "/b", "/b/inner", "/音楽"}) mkdir((h.dir + d).c_str(), 0755);
    dialog = &h.main->FolderDialog1();
    dialog->OnShow = [this](widgets::TFolderDialog& s) { events.push_back("show " + s.SelectedDir()); };
    dialog->OnSelectionChange = [this](widgets::TFolderDialog& s) {
      events.push_back("select " + s.SelectedDir());
      s.SetStatusText("選択: " + s.SelectedDir());
    };
    dialog->OnClose = [this](widgets::TFolderDialog& s) { events.push_back("close " + s.SelectedDir()); };
  }

  // Runs the picker; act runs once the component has had the initialisation notice.
  void Pick(const std::function<void(qtui::FolderPickerDialog&)>& act) {
    h.onFolderPicker = [this, act](qtui::FolderPickerDialog& d) {
      return qttest::RunShown(d, [this, &d, act] {
        if (!QTest::qWaitFor([&] { return dialog->Open(); })) {
          ADD_FAILURE() << "no initialisation notice";
          return;
        }
        act(d);
      });
    };
  }

  // The path shown by the tree's current item.
  static std::string Current(qtui::FolderPickerDialog& d) { return d.Selected(); }

  // Clicks the item of a folder in the tree, as the user does.
  static void ClickFolder(qtui::FolderPickerDialog& d, const std::string& path) {
    QTreeView* tree = d.Tree();
    const QModelIndex index = d.IndexOf(QString::fromStdString(path));
    ASSERT_TRUE(index.isValid()) << path;
    for (QModelIndex p = index.parent(); p.isValid(); p = p.parent()) tree->expand(p);
    tree->scrollTo(index);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(index).center());
  }

  Harness h;
  widgets::TFolderDialog* dialog = nullptr;
  std::vector<std::string> events;
};

TEST_F(PickerFixture, NoticesComeInOrderAndOkReturnsTheClickedFolder) {
  dialog->SetCaption("出力先フォルダを選んでください");
  dialog->SetStartDir(h.dir + "/a/");
  dialog->SetListedFlags(widgets::Flag(widgets::lfReturnOnlyFSDirs) | widgets::Flag(widgets::lfStatusText));
  std::string preselected, title, status;
  bool modal = false, owned = false;
  Pick([&](qtui::FolderPickerDialog& d) {
    preselected = Current(d);
    title = d.Title()->text().toStdString();
    modal = QApplication::activeModalWidget() == &d;
    owned = d.parentWidget() == h.Window();
    ClickFolder(d, h.dir + "/b/inner");
    status = d.Status()->text().toStdString();
    QTest::mouseClick(d.OkButton(), Qt::LeftButton);
  });
  QTest::mouseClick(h.W("btnBrowseOutputDir"), Qt::LeftButton);
  EXPECT_EQ(preselected, h.dir + "/a");
  EXPECT_EQ(title, "出力先フォルダを選んでください");
  EXPECT_TRUE(modal);
  EXPECT_TRUE(owned);
  // The preselection's own notice comes before the open flag is set, so it changes nothing.
  EXPECT_EQ(events, (std::vector<std::string>{"show ", "select " + h.dir + "/b/inner", "close " + h.dir + "/b/inner"}));
  EXPECT_EQ(status, "選択: " + h.dir + "/b/inner");
  EXPECT_EQ(dialog->SelectedDir(), h.dir + "/b/inner");
  EXPECT_EQ(h.W<QLineEdit>("edtOutputDir")->text().toStdString(), h.dir + "/b/inner");
  EXPECT_FALSE(dialog->Open());
}

TEST_F(PickerFixture, StatusTextReachesTheDialogOnlyWithTheFlag) {
  // Default flags: OnSelectionChange assigns a status text that stays in the component.
  std::string status = "unset";
  Pick([&](qtui::FolderPickerDialog& d) {
    ClickFolder(d, h.dir + "/音楽");
    status = d.Status()->text().toStdString();
    QTest::keyClick(&d, Qt::Key_Escape);
  });
  QTest::mouseClick(h.W("btnBrowseOutputDir"), Qt::LeftButton);
  EXPECT_EQ(status, "");
  EXPECT_EQ(dialog->StatusText(), "選択: " + h.dir + "/音楽");
}

enum class CancelBy { Button, Esc, CloseBox };

class PickerCancel : public PickerFixture, public testing::WithParamInterface<CancelBy> {};

TEST_P(PickerCancel, ReturnsFalseAndLeavesTheOutputFolder) {
  h.W<QLineEdit>("edtOutputDir")->setText(QStringLiteral("/keep/me"));
  Pick([&](qtui::FolderPickerDialog& d) {
    ClickFolder(d, h.dir + "/a");
    switch (GetParam()) {
      case CancelBy::Button: QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("cancel")), Qt::LeftButton); break;
      case CancelBy::Esc: QTest::keyClick(&d, Qt::Key_Escape); break;
      case CancelBy::CloseBox: d.close(); break;
    }
  });
  QTest::mouseClick(h.W("btnBrowseOutputDir"), Qt::LeftButton);
  EXPECT_EQ(events, (std::vector<std::string>{"show ", "select " + h.dir + "/a", "close "}));
  EXPECT_EQ(dialog->SelectedDir(), "");
  EXPECT_EQ(h.W<QLineEdit>("edtOutputDir")->text(), QStringLiteral("/keep/me"));
}

INSTANTIATE_TEST_SUITE_P(Ways, PickerCancel, testing::Values(CancelBy::Button, CancelBy::Esc, CancelBy::CloseBox),
                         [](const auto& info) {
                           return std::string(info.param == CancelBy::Button ? "Button"
                                              : info.param == CancelBy::Esc  ? "Esc"
                                                                             : "CloseBox");
                         });

TEST_F(PickerFixture, TheRootIsTheOneTopItemAndBoundsThePreselection) {
  dialog->SetRootDir(h.dir + "/b/");
  std::vector<std::string> tops;
  std::string firstCurrent, afterOutside;
  bool insideSelects = false;
  Pick([&](qtui::FolderPickerDialog& d) {
    QTreeView* tree = d.Tree();
    for (int r = 0; r < tree->model()->rowCount(tree->rootIndex()); ++r)
      tops.push_back(tree->model()->index(r, 0, tree->rootIndex()).data(QFileSystemModel::FilePathRole).toString().toStdString());
    firstCurrent = Current(d);
    // A folder outside the root cannot be selected; one inside can.
    d.Select(h.dir + "/a");
    afterOutside = Current(d);
    insideSelects = d.Select(h.dir + "/b/inner");
    QTest::mouseClick(d.OkButton(), Qt::LeftButton);
  });
  QTest::mouseClick(h.W("btnBrowseOutputDir"), Qt::LeftButton);
  EXPECT_EQ(tops, std::vector<std::string>{h.dir + "/b"});
  EXPECT_EQ(firstCurrent, h.dir + "/b");
  EXPECT_EQ(afterOutside, h.dir + "/b");
  EXPECT_TRUE(insideSelects);
  EXPECT_EQ(h.W<QLineEdit>("edtOutputDir")->text().toStdString(), h.dir + "/b/inner");
}

TEST_F(PickerFixture, AStartFolderThatIsNoFolderGivesNoPreselection) {
  dialog->SetStartDir(h.dir + "/missing");
  std::string current;
  Pick([&](qtui::FolderPickerDialog& d) {
    current = Current(d);
    QTest::mouseClick(d.OkButton(), Qt::LeftButton);
  });
  QTest::mouseClick(h.W("btnBrowseOutputDir"), Qt::LeftButton);
  // Without a root the tree starts at the file-system root, which is selected.
  EXPECT_EQ(current, "/");
  EXPECT_EQ(h.W<QLineEdit>("edtOutputDir")->text(), QStringLiteral("/"));
  EXPECT_EQ(events, (std::vector<std::string>{"show ", "close /"}));
}

}  // namespace

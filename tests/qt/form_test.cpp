// The forms on the Qt front end: layout, captions, font, keys, the context
// menu, the list and Play, with the real widgets on the offscreen platform.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "harness.h"

namespace {

using qttest::Harness;

class NullSink : public ui::FormEvents {
 public:
  void Invoke(const std::string&) override {}
};

QString Q(const std::string& s) { return QString::fromStdString(s); }

// ---- layout ----

class FormLayout : public testing::TestWithParam<const ui::FormDesc& (*)()> {};

TEST_P(FormLayout, EveryControlSitsAtItsBoundsWithItsCaption) {
  const ui::FormDesc& desc = GetParam()();
  qtui::QtApp app;
  NullSink sink;
  auto form = app.CreateForm(desc, sink);
  auto& qf = static_cast<qtui::QtForm&>(*form);
  QWidget* window = qf.Window();

  EXPECT_EQ(window->windowTitle(), Q(desc.caption));
  EXPECT_EQ(window->size(), QSize(desc.clientWidth, desc.clientHeight));
  EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "fixed size";
  if (!desc.centered) {
    EXPECT_EQ(window->pos(), QPoint(desc.left, desc.top));
  }
  const Qt::WindowFlags flags = window->windowFlags();
  EXPECT_EQ(bool(flags & Qt::WindowMinimizeButtonHint), desc.minimizeBox);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);

  for (const ui::ControlDesc& d : desc.controls) {
    SCOPED_TRACE(d.name);
    QWidget* w = qf.Widget(d.name);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->parentWidget(), d.parent.empty() ? window : qf.Widget(d.parent));
    const QRect g = w->geometry();
    const ui::Rect& b = d.bounds;
    if (d.Has(ui::AlignRight)) {
      // Sized to its text; the right edge stays.
      EXPECT_EQ(g.x() + g.width(), b.left + b.width);
      EXPECT_EQ(g.y(), b.top);
      EXPECT_EQ(g.width(), w->fontMetrics().horizontalAdvance(Q(d.caption)));
    } else {
      EXPECT_EQ(g, QRect(b.left, b.top, b.width, b.height));
    }
    EXPECT_EQ(w->isHidden(), d.Has(ui::Hidden));
    EXPECT_EQ(w->isEnabled(), !d.Has(ui::Disabled));
    switch (d.kind) {
      case ui::Kind::Label: {
        auto* l = qobject_cast<QLabel*>(w);
        ASSERT_NE(l, nullptr);
        EXPECT_EQ(l->text(), Q(d.caption));
        if (!d.focusControl.empty()) {
          EXPECT_EQ(l->buddy(), qf.Widget(d.focusControl));
        }
        break;
      }
      case ui::Kind::Button: {
        auto* b = qobject_cast<QPushButton*>(w);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->text(), Q(d.caption));
        EXPECT_EQ(b->isDefault(), d.Has(ui::DefaultButton));
        break;
      }
      case ui::Kind::Edit:
        ASSERT_NE(qobject_cast<QLineEdit*>(w), nullptr);
        EXPECT_EQ(qobject_cast<QLineEdit*>(w)->text(), Q(d.caption));
        break;
      case ui::Kind::CheckBox:
        ASSERT_NE(qobject_cast<QCheckBox*>(w), nullptr);
        EXPECT_EQ(qobject_cast<QCheckBox*>(w)->text(), Q(d.caption));
        EXPECT_EQ(qobject_cast<QCheckBox*>(w)->isChecked(), d.Has(ui::Checked));
        break;
      case ui::Kind::ComboBox: {
        auto* c = qobject_cast<QComboBox*>(w);
        ASSERT_NE(c, nullptr);
        EXPECT_FALSE(c->isEditable());
        EXPECT_EQ(c->count(), static_cast<int>(d.items.size()));
        EXPECT_EQ(c->currentIndex(), -1);
        break;
      }
      case ui::Kind::ListBox: {
        auto* l = qobject_cast<QListWidget*>(w);
        ASSERT_NE(l, nullptr);
        EXPECT_EQ(l->selectionMode(), d.Has(ui::MultiSelect) ? QAbstractItemView::ExtendedSelection
                                                             : QAbstractItemView::SingleSelection);
        break;
      }
      case ui::Kind::GroupBox:
        if (d.Has(ui::Rule)) {
          ASSERT_NE(qobject_cast<QFrame*>(w), nullptr);
          EXPECT_EQ(qobject_cast<QFrame*>(w)->frameShape(), QFrame::HLine);
        } else {
          ASSERT_NE(qobject_cast<QGroupBox*>(w), nullptr);
          EXPECT_EQ(qobject_cast<QGroupBox*>(w)->title(), Q(d.caption));
        }
        break;
      case ui::Kind::Panel: {
        auto* f = qobject_cast<QFrame*>(w);
        ASSERT_NE(f, nullptr);
        if (d.Has(ui::NoBorder)) {
          EXPECT_EQ(f->frameShape(), QFrame::NoFrame);
        }
        if (d.Has(ui::BevelLowered)) {
          EXPECT_EQ(f->frameShadow(), QFrame::Sunken);
        }
        break;
      }
      default:
        break;
    }
  }
}

TEST_P(FormLayout, CaptionsRenderInAJapaneseGothicOf12Pixels) {
  const ui::FormDesc& desc = GetParam()();
  qtui::QtApp app;
  NullSink sink;
  auto form = app.CreateForm(desc, sink);
  QWidget* window = static_cast<qtui::QtForm&>(*form).Window();
  const QFont font = window->font();
  EXPECT_EQ(font.pixelSize(), 12);
  EXPECT_TRUE(font.family() == Q(ui::kFontFace) || font.family() == QStringLiteral("IPAPGothic") ||
              font.family() == QStringLiteral("IPA Pゴシック"))
      << font.family().toStdString();
  // Every character of every caption has a glyph in the window's font, so none shows as a box.
  const QFontMetrics fm(font);
  std::vector<std::string> texts{desc.caption};
  for (const ui::ControlDesc& d : desc.controls) {
    texts.push_back(d.caption);
    texts.insert(texts.end(), d.items.begin(), d.items.end());
  }
  for (const ui::MenuItemDesc& m : desc.popup) texts.push_back(m.caption);
  for (const std::string& t : texts)
    for (char32_t c : Q(t).toUcs4()) EXPECT_TRUE(fm.inFontUcs4(c)) << t << " U+" << std::hex << c;
}

// The longest run of dark pixels in the bottom row of an image.
int BottomDarkRun(const QImage& img) {
  int best = 0;
  for (int y = img.height() - 1; y >= 0 && y < img.height(); ++y)
    for (int x = 0, run = 0; x < img.width(); ++x) {
      run = qGray(img.pixel(x, y)) < 128 ? run + 1 : 0;
      best = std::max(best, run);
    }
  return best;
}

TEST_P(FormLayout, LabelAcceleratorsAreUnderlinedInsideTheLabel) {
  const ui::FormDesc& desc = GetParam()();
  qtui::QtApp app;
  NullSink sink;
  auto form = app.CreateForm(desc, sink);
  auto& qf = static_cast<qtui::QtForm&>(*form);
  for (const ui::ControlDesc& d : desc.controls) {
    if (d.kind != ui::Kind::Label || d.caption.find('&') == std::string::npos) continue;
    QWidget* w = qf.Widget(d.name);
    const QImage img = w->grab().toImage();
    ASSERT_EQ(img.size(), w->size());
    // The underline is a horizontal stroke in the last row of the 12-pixel box, not cut off below it.
    EXPECT_GE(BottomDarkRun(img), 5) << d.name;
  }
}

INSTANTIATE_TEST_SUITE_P(Forms, FormLayout,
                         testing::Values(&ui::MainFormDesc, &ui::EncodeOptionFormDesc, &ui::AboutFormDesc),
                         [](const auto& info) { return info.param().name; });

// ---- keys ----

TEST(QtMainWindow, StartHasTheFirstFocusAndTabWalksTheDesignedOrder) {
  Harness h;
  h.Show();
  EXPECT_EQ(QApplication::focusWidget(), h.W("btnStartEncode"));
  const std::vector<std::string> expected{"btnStartEncode", "btnOption",    "btnExit",      "btnAbout",
                                          "edtOggPath",     "btnBrowseOgg", "btnAddList",   "btnDelList",
                                          "btnClearList",   "btnPlaySound", "lstSrcFile",   "edtOutputDir",
                                          "btnBrowseOutputDir"};
  EXPECT_EQ(qttest::TabChain(h.Window()), expected);
}

TEST(QtMainWindow, LabelAcceleratorsFocusTheirControls) {
  Harness h;
  h.Show();
  const std::pair<Qt::Key, const char*> cases[] = {
      {Qt::Key_O, "edtOggPath"}, {Qt::Key_E, "lstSrcFile"}, {Qt::Key_L, "edtOutputDir"}};
  for (const auto& [key, target] : cases) {
    h.W("btnStartEncode")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), h.W(target)) << target;
  }
}

struct EnterCase {
  const char* focus;
  bool startsRun;  // otherwise it presses the focused button (Add)
};

class EnterKey : public testing::TestWithParam<EnterCase> {};

TEST_P(EnterKey, PressesStartUnlessAnotherButtonHasTheFocus) {
  Harness h;
  h.Show();
  h.Append({h.dir + "/a.wav"});
  h.W(GetParam().focus)->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), h.W(GetParam().focus));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  if (GetParam().startsRun) {
    // The run has gone through the list: one encoder run for the entry, the list emptied.
    const auto runs = qttest::EncoderRuns(h.LogPath());
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0], (std::vector<std::string>{TEST_ENCODER, "-b", "128", h.dir + "/a.wav",
                                                 "--output=" + h.dir + "/a.ogg"}));
    EXPECT_TRUE(h.Entries().empty());
    EXPECT_EQ(h.fileDialogs, 0);
  } else {
    EXPECT_FALSE(qttest::Exists(h.LogPath()));
    EXPECT_EQ(h.Entries().size(), 1u);
    EXPECT_EQ(h.fileDialogs, 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Focus, EnterKey,
                         testing::Values(EnterCase{"btnStartEncode", true}, EnterCase{"edtOggPath", true},
                                         EnterCase{"lstSrcFile", true}, EnterCase{"edtOutputDir", true},
                                         EnterCase{"btnAddList", false}),
                         [](const auto& info) { return std::string(info.param.focus); });

TEST(QtMainWindow, EscDoesNotCloseTheMainWindow) {
  Harness h;
  h.Show();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_TRUE(h.Window()->isVisible());
  EXPECT_FALSE(h.Form().Closed());
}

// ---- the context menu ----

std::vector<std::string> MenuTexts(QMenu* menu) {
  std::vector<std::string> texts;
  for (QAction* a : menu->actions()) texts.push_back(a->isSeparator() ? "-" : a->text().toStdString());
  return texts;
}

const std::vector<std::string> kMenu{"エンコード開始", "-", "リストに追加...", "リストから削除",
                                     "リストをクリア", "-", "選択ファイルを再生"};

class RightClick : public testing::TestWithParam<const char*> {};

TEST_P(RightClick, OpensTheMenuOnRelease) {
  Harness h;
  h.Show();
  h.Append({"/music/a.wav"});
  QWidget* target = std::string(GetParam()) == "window" ? h.Window() : h.W(GetParam());
  if (auto* list = qobject_cast<QListWidget*>(target)) target = list->viewport();
  // A point of the form that no control covers.
  const QPoint at = target == h.Window() ? QPoint(400, 38) : target->rect().center();
  ASSERT_EQ(h.Window()->childAt(target->mapTo(h.Window(), at)), target == h.Window() ? nullptr : target);
  QMenu* menu = h.Form().PopupMenu();
  ASSERT_NE(menu, nullptr);
  QTest::mousePress(target, Qt::RightButton, {}, at);
  EXPECT_FALSE(menu->isVisible()) << "opened on the press";
  QTest::mouseRelease(target, Qt::RightButton, {}, at);
  ASSERT_TRUE(menu->isVisible());
  EXPECT_EQ(MenuTexts(menu), kMenu);
  // No control shows a menu of its own.
  int otherMenus = 0;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (qobject_cast<QMenu*>(w) && w != menu && w->isVisible()) ++otherMenus;
  EXPECT_EQ(otherMenus, 0);
  // An item runs its command: "リストをクリア" empties the list.
  menu->actions()[4]->trigger();
  EXPECT_TRUE(h.Entries().empty());
}

INSTANTIATE_TEST_SUITE_P(Targets, RightClick,
                         testing::Values("window", "edtOggPath", "lstSrcFile", "btnAddList", "btnStartEncode",
                                         "Label2", "edtOutputDir"),
                         [](const auto& info) { return std::string(info.param); });

TEST(QtMainWindow, ContextMenuKeyOpensTheMenuOnlyWithoutShiftCtrlAlt) {
  Harness h;
  h.Show();
  QMenu* menu = h.Form().PopupMenu();
  for (Qt::KeyboardModifier m : {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Menu, m);
    EXPECT_FALSE(menu->isVisible()) << m;
  }
  h.W("edtOggPath")->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Menu);
  ASSERT_TRUE(menu->isVisible());
  EXPECT_EQ(MenuTexts(menu), kMenu);
}

// ---- the list and Play ----

TEST(QtSourceList, EntriesKeepTheirBytesAndAlwaysHaveACurrentOne) {
  Harness h;
  h.Show();
  ui::ListBox& list = h.List();
  EXPECT_EQ(list.ItemIndex(), -1);
  const std::vector<std::string> names{"/m/a b.wav", "/m/音楽.mp3", std::string("/m/\xff\xfe.wav"), "/m/a b.wav"};
  h.Append(names);
  EXPECT_EQ(h.Entries(), names);
  EXPECT_EQ(list.ItemIndex(), 0);
  for (int i : {-1, 4, 100}) {
    try {
      list.Item(i);
      ADD_FAILURE() << "no error for " << i;
    } catch (const ui::Error& e) {
      EXPECT_STREQ(e.what(), ui::kListIndexError);
    }
  }
  list.Delete(0);
  EXPECT_EQ(list.ItemIndex(), 0);
  list.Clear();
  EXPECT_EQ(list.ItemIndex(), -1);
}

TEST(QtSourceList, ClicksWithCtrlAndShiftSelectAndDeleteRemovesTheSelection) {
  Harness h;
  h.Show();
  h.Append({"0", "1", "2", "3", "4", "5"});
  auto* list = h.W<QListWidget>("lstSrcFile");
  auto click = [&](int row, Qt::KeyboardModifiers m) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, m, list->visualItemRect(list->item(row)).center());
  };
  click(1, {});
  click(2, Qt::ControlModifier);
  click(4, Qt::ControlModifier);
  EXPECT_EQ(h.List().ItemIndex(), 4);
  QTest::mouseClick(h.W("btnDelList"), Qt::LeftButton);
  EXPECT_EQ(h.Entries(), (std::vector<std::string>{"0", "3", "5"}));
  click(0, {});
  click(2, Qt::ShiftModifier);
  QTest::mouseClick(h.W("btnDelList"), Qt::LeftButton);
  EXPECT_TRUE(h.Entries().empty());
}

enum class PlayBy { Button, DoubleClick, Menu };

std::string PlayName(PlayBy by) {
  switch (by) {
    case PlayBy::Button: return "Button";
    case PlayBy::DoubleClick: return "DoubleClick";
    case PlayBy::Menu: return "Menu";
  }
  return "";
}

class PlayOnEmptyList : public testing::TestWithParam<PlayBy> {};

TEST_P(PlayOnEmptyList, ShowsTheListIndexErrorBox) {
  Harness h;
  qttest::UrlRecorder opened(QStringLiteral("file"));
  h.Show();
  auto* list = h.W<QListWidget>("lstSrcFile");
  switch (GetParam()) {
    case PlayBy::Button: QTest::mouseClick(h.W("btnPlaySound"), Qt::LeftButton); break;
    case PlayBy::DoubleClick: QTest::mouseDClick(list->viewport(), Qt::LeftButton); break;
    case PlayBy::Menu: h.Form().PopupMenu()->actions().last()->trigger(); break;
  }
  ASSERT_EQ(h.boxes.size(), 1u);
  EXPECT_EQ(h.boxes[0].text, QStringLiteral("ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています."));
  EXPECT_EQ(h.boxes[0].title, QStringLiteral("Brimvale"));
  EXPECT_EQ(h.boxes[0].icon, QMessageBox::Critical);
  EXPECT_EQ(h.boxes[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  EXPECT_TRUE(opened.urls.empty());
  EXPECT_TRUE(h.Window()->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Commands, PlayOnEmptyList,
                         testing::Values(PlayBy::Button, PlayBy::DoubleClick, PlayBy::Menu),
                         [](const auto& info) { return PlayName(info.param); });

TEST(QtSourceList, PlayOpensTheCurrentEntryOnly) {
  Harness h;
  qttest::UrlRecorder opened(QStringLiteral("file"));
  h.Show();
  h.Append({"/m/a.wav", "/m/b c 音.wav", "/m/d.wav"});
  // Before the user moves in the list, the first entry is current.
  QTest::mouseClick(h.W("btnPlaySound"), Qt::LeftButton);
  // A double-click makes the entry under the pointer current and plays it.
  auto* list = h.W<QListWidget>("lstSrcFile");
  const QPoint second = list->visualItemRect(list->item(1)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second);
  ASSERT_EQ(opened.urls.size(), 2u);
  EXPECT_EQ(opened.urls[0], QUrl::fromLocalFile(QStringLiteral("/m/a.wav")));
  EXPECT_EQ(opened.urls[1], QUrl::fromLocalFile(QStringLiteral("/m/b c 音.wav")));
  EXPECT_TRUE(h.boxes.empty());
}

// ---- the options dialog ----

enum class DialogEnd { Enter, Esc, CloseBox, CancelButton, OkButton };

struct DialogCase {
  DialogEnd how;
  int result;
};

std::string EndName(DialogEnd how) {
  switch (how) {
    case DialogEnd::Enter: return "Enter";
    case DialogEnd::Esc: return "Esc";
    case DialogEnd::CloseBox: return "CloseBox";
    case DialogEnd::CancelButton: return "CancelButton";
    case DialogEnd::OkButton: return "OkButton";
  }
  return "";
}

class OptionsDialog : public testing::TestWithParam<DialogCase> {};

TEST_P(OptionsDialog, EndsWithTheResultOfItsButtonOrCancel) {
  Harness h;
  h.Show();
  ui::Form& dialog = h.options->form();
  QWidget* window = static_cast<qtui::QtForm&>(dialog).Window();
  auto* qf = static_cast<qtui::QtForm*>(&dialog);
  std::string firstFocus;
  QTimer::singleShot(0, [&] {
    if (!QTest::qWaitForWindowActive(window)) ADD_FAILURE() << "dialog not active";
    firstFocus = QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString() : "";
    switch (GetParam().how) {
      case DialogEnd::Enter: QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); break;
      case DialogEnd::Esc: QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); break;
      case DialogEnd::CloseBox: window->close(); break;
      case DialogEnd::CancelButton: QTest::mouseClick(qf->Widget("btnCancel"), Qt::LeftButton); break;
      case DialogEnd::OkButton: QTest::mouseClick(qf->Widget("btnOk"), Qt::LeftButton); break;
    }
    // A dialog that did not end is ended here, so the test cannot hang.
    QTimer::singleShot(0, [&] { if (window->isVisible()) dialog.EndModal(99); });
  });
  EXPECT_EQ(dialog.ShowModal(), GetParam().result);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(firstFocus, "cboBitRate");
  // The dialog can be shown again after it ended.
  QTimer::singleShot(0, [&] { dialog.EndModal(ui::mrOk); });
  EXPECT_EQ(dialog.ShowModal(), ui::mrOk);
}

INSTANTIATE_TEST_SUITE_P(Ends, OptionsDialog,
                         testing::Values(DialogCase{DialogEnd::Enter, ui::mrOk}, DialogCase{DialogEnd::Esc, ui::mrCancel},
                                         DialogCase{DialogEnd::CloseBox, ui::mrCancel},
                                         DialogCase{DialogEnd::CancelButton, ui::mrCancel},
                                         DialogCase{DialogEnd::OkButton, ui::mrOk}),
                         [](const auto& info) { return EndName(info.param.how); });

}  // namespace

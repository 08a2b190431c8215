// The about box on Qt, opened from the main window: closing it, the mail link
// with its colours and its press-and-release rule, and the banner.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QTimer>

#include "harness.h"

namespace {

using qttest::Harness;

struct AboutBox : testing::Test {
  AboutBox() {
    h.Show();
    about = static_cast<qtui::QtForm*>(&h.about->form());
    window = about->Window();
    link = about->Widget("ProUrlLabel1");
    banner = about->Widget("ProUrlImage1");
    // The link's text without antialiasing, so that its pixels have the link's exact colour.
    QFont f = link->font();
    f.setStyleStrategy(QFont::NoAntialias);
    link->setFont(f);
  }

  // Clicks About on the main window and runs act once the about box is shown; a
  // box that act left open is closed afterwards, so that a test cannot hang.
  void Open(const std::function<void()>& act) {
    if (!qttest::ClickAndRunShown(h.W("btnAbout"), *about, act)) ADD_FAILURE() << "About did not show the about box";
  }

  // How many of the link's pixels have exactly this colour.
  int LinkPixels(QRgb colour) {
    const QImage img = link->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) n += img.pixel(x, y) == colour;
    return n;
  }
  widgets::TProUrlLabel& Link() { return about->Get<ui::UrlLabelControl>("ProUrlLabel1").Link(); }

  static constexpr QRgb kBlue = qRgb(0, 0, 255), kRed = qRgb(255, 0, 0), kNavy = qRgb(0, 0, 128);
  Harness h;
  qtui::QtForm* about;
  QWidget* window;
  QWidget* link;
  QWidget* banner;
};

TEST_F(AboutBox, OpensFromTheMainWindowAndClosesWithOkAndWithTheCloseBox) {
  bool modal = false;
  std::string focus;
  QImage first, second;
  Open([&] {
    modal = QApplication::activeModalWidget() == window;
    focus = window->focusWidget() ? window->focusWidget()->objectName().toStdString() : "";
    first = window->grab().toImage();
    QTest::mouseClick(about->Widget("Button1"), Qt::LeftButton);
  });
  EXPECT_TRUE(modal);
  EXPECT_EQ(focus, "Button1");
  EXPECT_EQ(window->windowTitle(), QStringLiteral("バージョン情報"));
  EXPECT_FALSE(window->isVisible());
  // The main window takes input again: no modal window is left, and its buttons work.
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  QTest::mouseClick(h.W("btnAddList"), Qt::LeftButton);
  EXPECT_EQ(h.fileDialogs, 1);

  bool again = false;
  Open([&] {
    again = window->isVisible();
    second = window->grab().toImage();
    window->close();  // the close box
  });
  EXPECT_TRUE(again);
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(h.Form().Closed());
  EXPECT_TRUE(h.Window()->isVisible());
  // The same dialog, showing the same content.
  EXPECT_EQ(static_cast<qtui::QtForm*>(&h.about->form())->Window(), window);
  EXPECT_EQ(first, second);
}

TEST_F(AboutBox, TheMailLinkOpensOnlyWhenThePressEndsInsideAndStaysVisited) {
  qttest::UrlRecorder mail(QStringLiteral("mailto"));
  int unvisited = 0, activated = 0, movedOut = 0, movedBack = 0, afterOutside = 0, visited = 0;
  size_t openedOutside = 99;
  Open([&] {
    const QPoint centre = link->rect().center(), outside(-20, 5);
    unvisited = LinkPixels(kBlue);
    QTest::mousePress(link, Qt::LeftButton, {}, centre);
    activated = LinkPixels(kRed);
    QTest::mouseMove(link, outside);
    movedOut = LinkPixels(kBlue);
    QTest::mouseMove(link, centre);
    movedBack = LinkPixels(kRed);
    QTest::mouseMove(link, outside);
    QTest::mouseRelease(link, Qt::LeftButton, {}, outside);
    openedOutside = mail.urls.size();
    afterOutside = LinkPixels(kBlue);
    QTest::mouseClick(link, Qt::LeftButton, {}, centre);
    visited = LinkPixels(kNavy);
    QTest::mouseClick(about->Widget("Button1"), Qt::LeftButton);
  });
  EXPECT_GT(unvisited, 20);
  EXPECT_GT(activated, 20);
  EXPECT_GT(movedOut, 20);
  EXPECT_GT(movedBack, 20);
  EXPECT_EQ(openedOutside, 0u);
  EXPECT_GT(afterOutside, 20);
  EXPECT_GT(visited, 20);
  ASSERT_EQ(mail.urls.size(), 1u);
  EXPECT_EQ(mail.urls[0], QUrl(QStringLiteral("mailto:info@example.org")));

  // Shown again, the link keeps its visited colour.
  int later = 0, laterBlue = -1;
  Open([&] {
    later = LinkPixels(kNavy);
    laterBlue = LinkPixels(kBlue);
  });
  EXPECT_GT(later, 20);
  EXPECT_EQ(laterBlue, 0);
  EXPECT_EQ(Link().Color(), widgets::clNavy);
  EXPECT_EQ(mail.urls.size(), 1u);
}

TEST_F(AboutBox, TheLinksShowHintsAndTheHandAndTheBannerOpensTheHomePage) {
  qttest::UrlRecorder web(QStringLiteral("https"));
  QImage shown;
  bool stillOpen = false;
  Open([&] {
    shown = banner->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QTest::mouseClick(banner, Qt::LeftButton, {}, QPoint(40, 15));
    // A press that ends off the picture is no click.
    QTest::mousePress(banner, Qt::LeftButton, {}, QPoint(40, 15));
    QTest::mouseRelease(banner, Qt::LeftButton, {}, QPoint(40, 60));
    stillOpen = window->isVisible();
  });
  const QImage picture = QImage(QStringLiteral(":/brimvale/banner.bmp")).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(picture.size(), QSize(88, 31));
  EXPECT_EQ(banner->size(), QSize(88, 31));
  EXPECT_EQ(shown, picture);
  ASSERT_EQ(web.urls.size(), 1u);
  EXPECT_EQ(web.urls[0], QUrl(QStringLiteral("https://brimvale.example.org/")));
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(banner->toolTip(), QStringLiteral("ホームページ"));
  EXPECT_EQ(link->toolTip(), QStringLiteral("メール"));
  EXPECT_EQ(banner->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
}

}  // namespace

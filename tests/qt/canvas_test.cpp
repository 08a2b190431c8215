// The QPainter canvas (GDI's shape rules, DrawTextA's text rules, TColor) on
// images, and the 3-D text label on real widgets of the about box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTest>

#include "platform/qt/qt_canvas.h"
#include "platform/qt/qt_form.h"
#include "harness.h"

namespace {

using widgets::TRect;

constexpr widgets::TColor kRed = 0x000000FF, kBlue = 0x00FF0000, kGreen = 0x0000C800, kWhite = 0x00FFFFFF;

widgets::TFont Font(int px, widgets::TColor color = widgets::clBlack, bool bold = false) {
  widgets::TFont f;
  f.height = -px;
  f.color = color;
  f.bold = bold;
  return f;
}

// An image of w × h filled white, drawn on through a QtCanvas.
struct Surface {
  Surface(int w, int h) : image(w, h, QImage::Format_ARGB32) {
    image.fill(Qt::white);
    painter = std::make_unique<QPainter>(&image);
    canvas = std::make_unique<qtui::QtCanvas>(*painter, QApplication::palette());
  }
  QImage Done() {
    painter->end();
    return image;
  }
  QImage image;
  std::unique_ptr<QPainter> painter;
  std::unique_ptr<qtui::QtCanvas> canvas;
};

bool Dark(QRgb c) { return qGray(c) < 128; }

// Bounding box of the pixels that pass a test.
QRect Box(const QImage& img, const std::function<bool(QRgb)>& test) {
  QRect box;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (test(img.pixel(x, y))) box |= QRect(x, y, 1, 1);
  return box;
}

// ---- shapes ----

struct ShapeCase {
  const char* name;
  std::function<void(qtui::QtCanvas&)> draw;
  std::vector<std::pair<QPoint, QRgb>> pixels;
};

void PrintTo(const ShapeCase& c, std::ostream* os) { *os << c.name; }

class Shapes : public testing::TestWithParam<ShapeCase> {};

const QRgb W = qRgb(255, 255, 255), R = qRgb(255, 0, 0), B = qRgb(0, 0, 255);

TEST_P(Shapes, FollowGdisCoordinateRules) {
  Surface s(120, 60);
  s.canvas->SetBrushColor(kBlue);
  s.canvas->SetPenColor(kRed);
  GetParam().draw(*s.canvas);
  const QImage img = s.Done();
  for (const auto& [at, colour] : GetParam().pixels)
    EXPECT_EQ(QColor(img.pixel(at)), QColor(colour)) << at.x() << "," << at.y();
}

INSTANTIATE_TEST_SUITE_P(
    Gdi, Shapes,
    testing::Values(
        // Right and bottom edges exclusive; the pen on the outermost pixels, the brush inside.
        ShapeCase{"Rectangle", [](qtui::QtCanvas& c) { c.Rectangle({2, 3, 12, 9}); },
                  {{{2, 3}, R}, {{11, 3}, R}, {{2, 8}, R}, {{11, 8}, R}, {{3, 4}, B}, {{10, 7}, B},
                   {{12, 5}, W}, {{5, 9}, W}, {{1, 5}, W}, {{5, 2}, W}}},
        // The ellipse of a 100 × 40 box touches the middle of each edge and leaves the corners.
        ShapeCase{"Ellipse", [](qtui::QtCanvas& c) { c.Ellipse({0, 0, 100, 40}); },
                  {{{50, 0}, R}, {{49, 39}, R}, {{0, 20}, R}, {{99, 19}, R}, {{50, 20}, B}, {{0, 0}, W},
                   {{99, 0}, W}, {{0, 39}, W}, {{99, 39}, W}, {{100, 20}, W}, {{50, 40}, W}}},
        ShapeCase{"RoundRect", [](qtui::QtCanvas& c) { c.RoundRect({0, 0, 60, 30}, 20, 20); },
                  {{{0, 0}, W}, {{59, 29}, W}, {{2, 2}, W}, {{30, 0}, R}, {{0, 15}, R}, {{59, 15}, R},
                   {{30, 29}, R}, {{30, 15}, B}, {{60, 15}, W}}},
        // A round rectangle with corners of 0 is a rectangle.
        ShapeCase{"RoundRectSquare", [](qtui::QtCanvas& c) { c.RoundRect({0, 0, 10, 10}, 0, 0); },
                  {{{0, 0}, R}, {{9, 9}, R}, {{5, 5}, B}, {{10, 10}, W}}},
        // A clear brush draws the outline only.
        ShapeCase{"ClearBrush",
                  [](qtui::QtCanvas& c) {
                    c.SetBrushClear();
                    c.Rectangle({0, 0, 10, 10});
                  },
                  {{{0, 0}, R}, {{9, 5}, R}, {{5, 5}, W}}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- colours ----

TEST(TColors, FixedAndSystemColours) {
  const QPalette p = QApplication::palette();
  EXPECT_EQ(qtui::ToQColor(0x00336699, p), QColor(0x99, 0x66, 0x33));
  EXPECT_EQ(qtui::ToQColor(widgets::clNavy, p), QColor(0, 0, 128));
  EXPECT_EQ(qtui::ToQColor(widgets::clBtnFace, p), p.color(QPalette::Active, QPalette::Window));
  EXPECT_EQ(qtui::ToQColor(widgets::clWindowText, p), p.color(QPalette::Active, QPalette::WindowText));
  EXPECT_EQ(qtui::ToQColor(widgets::clBtnShadow, p), p.color(QPalette::Active, QPalette::Dark));
  EXPECT_EQ(qtui::ToQColor(0x80000005, p), p.color(QPalette::Active, QPalette::Base));  // clWindow
}

// ---- text: measuring ----

struct MeasureCase {
  const char* name;
  std::string text;
  unsigned flags;
  const char* boxOf;  // the box is as wide as this text (nullptr: 1000 pixels)
  std::vector<QString> lines;  // the lines as they are laid out, for the expected width
};

void PrintTo(const MeasureCase& c, std::ostream* os) { *os << c.name; }

class Measure : public testing::TestWithParam<MeasureCase> {};

TEST_P(Measure, CalcRectGivesTheTextsWidthAndHeight) {
  const MeasureCase& c = GetParam();
  const QFontMetrics fm(qtui::ToQFont(Font(20)));
  const int lh = fm.ascent() + fm.descent();
  const int tab = 8 * fm.averageCharWidth();
  auto width = [&](const QString& line) {
    // A tab moves to the next multiple of eight average character widths.
    const int at = line.indexOf(QLatin1Char('\t'));
    if (at < 0) return fm.horizontalAdvance(line);
    return (fm.horizontalAdvance(line.left(at)) / tab + 1) * tab + fm.horizontalAdvance(line.mid(at + 1));
  };
  int widest = 0;
  for (const QString& l : c.lines) widest = std::max(widest, width(l));

  Surface s(10, 10);
  s.canvas->SetFont(Font(20));
  const int right = 5 + (c.boxOf ? fm.horizontalAdvance(QString::fromUtf8(c.boxOf)) : 1000);
  TRect r{5, 7, right, 9};
  const int h = s.canvas->DrawText(c.text, r, c.flags | widgets::DT_CALCRECT);
  EXPECT_EQ(h, lh * int(c.lines.size()));
  EXPECT_EQ(r.left, 5);
  EXPECT_EQ(r.top, 7);
  EXPECT_EQ(r.bottom - r.top, lh * int(c.lines.size()));
  EXPECT_EQ(r.right - r.left, widest);
  // Measuring draws nothing.
  EXPECT_FALSE(Box(s.Done(), Dark).isValid());
}

using widgets::DT_EXPANDTABS, widgets::DT_NOPREFIX, widgets::DT_WORDBREAK;

INSTANTIATE_TEST_SUITE_P(
    DrawTextA, Measure,
    testing::Values(
        MeasureCase{"Plain", "abc", DT_EXPANDTABS, nullptr, {"abc"}},
        MeasureCase{"Tab", "ab\tc", DT_EXPANDTABS, nullptr, {"ab\tc"}},
        MeasureCase{"DoubleAmpersand", "a&&b", DT_EXPANDTABS, nullptr, {"a&b"}},
        MeasureCase{"Prefix", "&File", DT_EXPANDTABS, nullptr, {"File"}},
        MeasureCase{"NoPrefix", "&File&&", DT_EXPANDTABS | DT_NOPREFIX, nullptr, {"&File&&"}},
        MeasureCase{"TrailingAmpersand", "a&", DT_EXPANDTABS, nullptr, {"a&"}},
        MeasureCase{"LineBreaks", "one\ntwo\r\nthree\rfour", DT_EXPANDTABS, nullptr, {"one", "two", "three", "four"}},
        MeasureCase{"NoWordBreakWithoutTheFlag", "aaa bbb ccc", DT_EXPANDTABS, "aaa", {"aaa bbb ccc"}},
        MeasureCase{"WordBreak", "aaa bbb ccc", DT_EXPANDTABS | DT_WORDBREAK, "aaa bbb", {"aaa bbb", "ccc"}},
        MeasureCase{"BlanksAtTheBreakAreDropped", "aaa    bbb", DT_EXPANDTABS | DT_WORDBREAK, "aaa ", {"aaa", "bbb"}},
        MeasureCase{"LongWordStaysWhole", "aaaaaaaa bb", DT_EXPANDTABS | DT_WORDBREAK, "aaa", {"aaaaaaaa", "bb"}},
        MeasureCase{"JapaneseBreaksBetweenCharacters", "日本語日本語", DT_EXPANDTABS | DT_WORDBREAK, "日本語",
                    {"日本語", "日本語"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DrawTextA, EmptyTextMeasuresAnEmptyBoxAndReturnsALinesHeight) {
  Surface s(10, 10);
  s.canvas->SetFont(Font(20));
  const QFontMetrics fm(qtui::ToQFont(Font(20)));
  TRect r{3, 4, 50, 60};
  EXPECT_EQ(s.canvas->DrawText("", r, DT_EXPANDTABS | widgets::DT_CALCRECT), fm.ascent() + fm.descent());
  EXPECT_EQ(r, (TRect{3, 4, 3, 4}));
}

// ---- text: drawing ----

QImage Draw(const std::string& text, unsigned flags, TRect r = {0, 0, 200, 40}, int w = 200, int h = 40) {
  Surface s(w, h);
  s.canvas->SetFont(Font(20));
  s.canvas->SetBrushClear();
  s.canvas->DrawText(text, r, flags);
  return s.Done();
}

TEST(DrawTextA, APrefixUnderlinesTheNextCharacterUnlessNoPrefix) {
  const QFontMetrics fm(qtui::ToQFont(Font(20)));
  // Rows below the baseline: E has no descender, so only an underline reaches them.
  auto underlined = [&](const QImage& img) {
    const QRect below(0, fm.ascent() + 1, img.width(), img.height() - fm.ascent() - 1);
    return Box(img.copy(below), Dark).isValid();
  };
  const QImage prefixed = Draw("&E", DT_EXPANDTABS), plain = Draw("E", DT_EXPANDTABS);
  EXPECT_TRUE(underlined(prefixed));
  EXPECT_FALSE(underlined(plain));
  // The underline spans the E's cell: under its ink, no wider than its advance.
  const QRect e = Box(plain, Dark);
  const QRect line = Box(prefixed.copy(0, fm.ascent() + 1, 200, 40 - fm.ascent() - 1), Dark);
  EXPECT_LE(line.left(), e.left());
  EXPECT_GE(line.right(), e.right());
  EXPECT_LE(line.width(), fm.horizontalAdvance(QStringLiteral("E")) + 1);
  EXPECT_FALSE(underlined(Draw("&&E", DT_EXPANDTABS)));
  const QImage noPrefix = Draw("&E", DT_EXPANDTABS | DT_NOPREFIX);
  EXPECT_FALSE(underlined(noPrefix));
  // Shown literally, the "&" comes first and the E moves right.
  EXPECT_LT(Box(noPrefix, Dark).left() + 3, Box(Draw("&&E", DT_EXPANDTABS), Dark).right());
  EXPECT_GT(Box(noPrefix, Dark).width(), Box(plain, Dark).width() + 5);
}

TEST(DrawTextA, AlignsEachLineInTheRectangle) {
  const QRect left = Box(Draw("I", widgets::DT_LEFT), Dark);
  const QRect centre = Box(Draw("I", widgets::DT_CENTER), Dark);
  const QRect right = Box(Draw("I", widgets::DT_RIGHT), Dark);
  EXPECT_LT(left.left(), 8);
  EXPECT_GT(right.right(), 200 - 8);
  EXPECT_NEAR(centre.center().x(), 100, 4);
  // Two lines centred each on its own: the short one lies inside the long one's span.
  const QImage two = Draw("WWWWWW\nI", widgets::DT_CENTER);
  const QFontMetrics fm(qtui::ToQFont(Font(20)));
  const int lh = fm.ascent() + fm.descent();
  const QRect second = Box(two.copy(0, lh, 200, 40 - lh), Dark);
  EXPECT_NEAR(second.center().x(), 100, 4);
}

TEST(DrawTextA, TabsMoveTheTextToTheNextStop) {
  const QFontMetrics fm(qtui::ToQFont(Font(20)));
  const int tab = 8 * fm.averageCharWidth();
  const QImage img = Draw("\tI", DT_EXPANDTABS, {0, 0, 400, 40}, 400, 40);
  EXPECT_GE(Box(img, Dark).left(), tab);
  EXPECT_LT(Box(img, Dark).left(), tab + 8);
}

TEST(DrawTextA, ClipsToTheRectangle) {
  const QImage img = Draw("WWWWWWWWWWWW\nWWWWWWWWWWWW", DT_EXPANDTABS, {20, 5, 60, 20});
  const QRect ink = Box(img, Dark);
  ASSERT_TRUE(ink.isValid());
  EXPECT_TRUE(QRect(20, 5, 40, 15).contains(ink)) << ink.x() << "," << ink.y() << " " << ink.width() << "x"
                                                  << ink.height();
}

TEST(DrawTextA, AnOpaqueBrushFillsTheTextsCellsAndAClearOneDoesNot) {
  for (bool clear : {false, true}) {
    Surface s(100, 40);
    s.canvas->SetFont(Font(20));
    s.canvas->SetBrushColor(kRed);
    if (clear) s.canvas->SetBrushClear();
    TRect r{0, 0, 100, 40};
    s.canvas->DrawText("ab", r, DT_EXPANDTABS);
    const QRect red = Box(s.Done(), [](QRgb c) { return c == qRgb(255, 0, 0); });
    EXPECT_EQ(red.isValid(), !clear);
  }
}

// ---- the 3-D label on real widgets ----

class NullSink : public ui::FormEvents {
 public:
  void Invoke(const std::string&) override {}
};

// The about box's first heading on a window of a colour of its own.
struct LabelOnWindow : testing::Test {
  LabelOnWindow() : form(app.CreateForm(ui::AboutFormDesc(), sink)) {
    window = static_cast<qtui::QtForm&>(*form).Window();
    QPalette p = window->palette();
    p.setColor(QPalette::Window, parentColour);
    window->setPalette(p);
    // Text without antialiasing, so that each copy of the text has pixels of its exact colour.
    QFont f = window->font();
    f.setStyleStrategy(QFont::NoAntialias);
    window->setFont(f);
    control = &form->Get<ui::ExLabelControl>("ExLabel1");
    widget = static_cast<qtui::QtForm&>(*form).Widget("ExLabel1");
    for (const char* other : {"ExLabel2", "ExLabel3", "ProUrlLabel1", "ProUrlImage1", "Button1"})
      form->Find(other)->SetVisible(false);
  }
  QImage Grab() { return window->grab(widget->geometry()).toImage(); }

  const QColor parentColour{0, 200, 0};
  qtui::QtApp app;
  NullSink sink;
  std::unique_ptr<ui::Form> form;
  QWidget* window;
  QWidget* widget;
  ui::ExLabelControl* control;
};

TEST_F(LabelOnWindow, AnOpaqueCircleLeavesTheParentInItsCorners) {
  control->SetBounds({10, 10, 100, 40});
  widgets::TExLabel& l = control->Label();
  l.caption = "";
  l.color = kRed;
  l.SetLabelType(widgets::lbCircle);
  QImage img = Grab();
  ASSERT_EQ(img.size(), QSize(100, 40));
  for (QPoint corner : {QPoint(0, 0), QPoint(99, 0), QPoint(0, 39), QPoint(99, 39)})
    EXPECT_EQ(QColor(img.pixel(corner)), parentColour) << corner.x() << "," << corner.y();
  for (QPoint inside : {QPoint(50, 20), QPoint(50, 0), QPoint(50, 39), QPoint(0, 20), QPoint(99, 20)})
    EXPECT_EQ(QColor(img.pixel(inside)), QColor(255, 0, 0)) << inside.x() << "," << inside.y();

  // The outline shows in its own colour while DrawOutLine is on.
  l.SetOutLineColor(kBlue);
  l.SetDrawOutLine(true);
  img = Grab();
  EXPECT_EQ(QColor(img.pixel(0, 20)), QColor(0, 0, 255));
  EXPECT_EQ(QColor(img.pixel(50, 20)), QColor(255, 0, 0));

  // A rectangle covers the corners; a transparent label paints no shape at all.
  l.SetLabelType(widgets::lbRectangle);
  EXPECT_EQ(QColor(Grab().pixel(0, 0)), QColor(0, 0, 255));
  l.SetTransparent(true);
  img = Grab();
  EXPECT_EQ(QColor(img.pixel(0, 0)), parentColour);
  EXPECT_EQ(QColor(img.pixel(50, 20)), parentColour);
}

struct DepthCase {
  widgets::TStyle3D style;
  int depth;
  widgets::TAlignment alignment;
};

void PrintTo(const DepthCase& c, std::ostream* os) {
  *os << (c.style == widgets::bsLowered ? "lowered " : "raised ") << c.depth << " alignment " << int(c.alignment);
}

class BackCopy : public LabelOnWindow, public testing::WithParamInterface<DepthCase> {};

bool Reddish(QRgb c) { return c == qRgb(255, 0, 0); }
bool Bluish(QRgb c) { return c == qRgb(0, 0, 255); }

TEST_P(BackCopy, LiesFontDepthPixelsFromTheTextInItsDirection) {
  const DepthCase& c = GetParam();
  control->SetBounds({5, 5, 160, 44});
  widgets::TExLabel& l = control->Label();
  l.caption = "HE";
  l.color = kWhite;
  l.font = Font(28, kBlue, true);
  l.alignment = c.alignment;
  l.SetBackFont(kRed);
  l.SetFont3D(true);
  l.SetStyle3D(c.style);
  l.SetFontDepth(static_cast<uint8_t>(c.depth));
  const QImage img = Grab();
  const QRect text = Box(img, Bluish), back = Box(img, Reddish);
  ASSERT_TRUE(text.isValid());
  ASSERT_TRUE(back.isValid());
  // The edge of the back copy on its far side is never covered by the text.
  if (c.style == widgets::bsLowered) {
    EXPECT_EQ(back.right() - text.right(), c.depth);
    EXPECT_EQ(back.bottom() - text.bottom(), c.depth);
  } else {
    EXPECT_EQ(text.left() - back.left(), c.depth);
    EXPECT_EQ(text.top() - back.top(), c.depth);
  }
  // The text block is centred vertically in the label.
  EXPECT_NEAR(text.center().y(), 22, 4);
  switch (c.alignment) {
    case widgets::taLeftJustify: EXPECT_LT(text.left(), 8); break;
    case widgets::taRightJustify: EXPECT_GT(text.right(), 160 - 8); break;
    case widgets::taCenter: EXPECT_NEAR(text.center().x(), 80, 4); break;
  }
}

INSTANTIATE_TEST_SUITE_P(Styles, BackCopy,
                         testing::Values(DepthCase{widgets::bsLowered, 2, widgets::taLeftJustify},
                                         DepthCase{widgets::bsRaised, 2, widgets::taLeftJustify},
                                         // Raised, so that the label's edge cuts neither copy of right-aligned text.
                                         DepthCase{widgets::bsRaised, 3, widgets::taRightJustify},
                                         DepthCase{widgets::bsLowered, 1, widgets::taCenter}),
                         [](const auto& info) {
                           return std::string(info.param.style == widgets::bsLowered ? "Lowered" : "Raised") +
                                  std::to_string(info.param.depth) +
                                  (info.param.alignment == widgets::taRightJustify ? "Right"
                                   : info.param.alignment == widgets::taCenter     ? "Centre"
                                                                                   : "Left");
                         });

TEST_F(LabelOnWindow, ADisabledLabelPaintsWhiteAndGrayCopiesOnly) {
  control->SetBounds({5, 5, 160, 44});
  widgets::TExLabel& l = control->Label();
  l.caption = "HE";
  l.color = kRed;
  l.font = Font(28, kBlue, true);
  l.SetBackFont(kGreen);
  l.SetFont3D(true);
  control->SetEnabled(false);
  const QImage img = Grab();
  auto is = [](QRgb want) { return [want](QRgb c) { return c == want; }; };
  const QRect white = Box(img, is(qRgb(255, 255, 255))), gray = Box(img, is(qRgb(128, 128, 128)));
  ASSERT_TRUE(gray.isValid());
  EXPECT_EQ(white.right() - gray.right(), 1);
  EXPECT_EQ(white.bottom() - gray.bottom(), 1);
  // Neither the font's colour nor BackFont shows.
  EXPECT_FALSE(Box(img, Bluish).isValid());
  EXPECT_FALSE(Box(img, is(qRgb(0, 200, 0))).isValid());
}

TEST_F(LabelOnWindow, RepaintsWhenTheLabelAsksAndNotOtherwise) {
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  int paints = 0;
  struct Counter : QObject {
    int& n;
    explicit Counter(int& count) : n(count) {}
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint) ++n;
      return false;
    }
  } counter(paints);
  widget->installEventFilter(&counter);
  QTest::qWait(50);
  paints = 0;
  control->Label().SetFontDepth(4);
  QTest::qWait(50);
  EXPECT_GE(paints, 1);
  paints = 0;
  control->Label().SetFontDepth(4);  // the value it already holds
  control->Label().SetOutLineColor(kBlue);  // DrawOutLine is off
  QTest::qWait(50);
  EXPECT_EQ(paints, 0);
  widget->removeEventFilter(&counter);
}

}  // namespace

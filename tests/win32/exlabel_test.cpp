// The 3-D label on a real form, read back pixel by pixel: its shape leaves
// the form's background outside it, and the back copy of the text lies
// FontDepth pixels from the text in the direction of its style.
#include "harness.h"

#include "platform/win32/win32_canvas.h"

#include <climits>
#include <cstdlib>

namespace {

using harness::App;

const ui::FormDesc& LabelForm() {
  static const ui::FormDesc d = [] {
    ui::FormDesc f;
    f.name = "LabelF";
    f.className = "TLabelTestF";
    f.caption = "ExLabel";
    f.clientWidth = 160;
    f.clientHeight = 120;
    f.left = 20;
    f.top = 20;
    f.fontFace = ui::kFontFace;
    ui::ControlDesc shape;
    shape.name = "lblShape";
    shape.kind = ui::Kind::ExLabel;
    shape.bounds = {10, 10, 100, 40};
    f.controls.push_back(shape);
    ui::ControlDesc text = shape;
    text.name = "lblText";
    text.bounds = {10, 60, 140, 50};
    text.caption = "HH";
    text.flags = ui::AlignCenter;
    f.controls.push_back(text);
    return f;
  }();
  return d;
}

struct NoEvents : ui::FormEvents {
  void Invoke(const std::string&) override {}
};

class ExLabelPixels : public ::testing::Test {
 protected:
  void SetUp() override {
    form = App().CreateForm(LabelForm(), events);
    win = &static_cast<win32::Win32Form&>(*form);
    win->Show();
    App().ProcessMessages();
  }
  void TearDown() override {
    form.reset();
    App().ProcessMessages();
  }
  widgets::TExLabel& Label(const char* name) { return form->Get<ui::ExLabelControl>(name).Label(); }
  // Lets the form handle the repaints the label asked for.
  void Settle() {
    UpdateWindow(win->hwnd());
    App().ProcessMessages();
  }
  COLORREF Pixel(int x, int y) {
    HDC dc = GetDC(win->hwnd());
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(win->hwnd(), dc);
    return c;
  }

  NoEvents events;
  std::unique_ptr<ui::Form> form;
  win32::Win32Form* win = nullptr;
};

TEST_F(ExLabelPixels, AnOpaqueEllipseLabelLeavesTheFormsColourInItsCornersAndTouchesEachEdgesMiddle) {
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF green = RGB(0, 255, 0);
  widgets::TExLabel& l = Label("lblShape");
  l.caption = "";
  l.color = 0x0000FF00;
  l.SetLabelType(widgets::lbCircle);
  Settle();
  // The label lies at (10, 10), 100 x 40.
  const POINT corners[] = {{10, 10}, {109, 10}, {10, 49}, {109, 49}, {12, 12}, {107, 47}};
  for (const POINT& p : corners) EXPECT_EQ(Pixel(p.x, p.y), face) << p.x << "," << p.y;
  const POINT inside[] = {{60, 10}, {60, 49}, {10, 30}, {109, 30}, {60, 30}};
  for (const POINT& p : inside) EXPECT_EQ(Pixel(p.x, p.y), green) << p.x << "," << p.y;

  // Back to a rectangle: the whole area, the corners too.
  l.SetLabelType(widgets::lbRectangle);
  Settle();
  for (const POINT& p : corners) EXPECT_EQ(Pixel(p.x, p.y), green) << p.x << "," << p.y;
  // And to a circle again: the refresh wipes the rectangle's corners.
  l.SetLabelType(widgets::lbCircle);
  Settle();
  for (const POINT& p : corners) EXPECT_EQ(Pixel(p.x, p.y), face) << p.x << "," << p.y;
}

// Bounds of the pixels of one colour within a rectangle of the form.
RECT Extent(const std::function<COLORREF(int, int)>& pixel, const RECT& area, COLORREF want) {
  RECT e{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (pixel(x, y) == want) {
        e.left = std::min<LONG>(e.left, x);
        e.top = std::min<LONG>(e.top, y);
        e.right = std::max<LONG>(e.right, x);
        e.bottom = std::max<LONG>(e.bottom, y);
      }
  return e;
}

TEST_F(ExLabelPixels, TheBackCopyLiesFontDepthPixelsFromTheTextInTheStylesDirection) {
  widgets::TExLabel& l = Label("lblText");
  l.color = widgets::clWhite;
  l.font.height = -24;
  l.font.bold = true;
  l.font.color = widgets::clBlue;
  l.SetBackFont(widgets::clRed);
  l.SetFont3D(true);
  const RECT area{10, 60, 150, 110};
  const struct {
    widgets::TStyle3D style;
    uint8_t depth;
    int sign;  // +1: right and below; -1: left and above
  } cases[] = {{widgets::bsLowered, 2, +1}, {widgets::bsRaised, 2, -1}, {widgets::bsLowered, 4, +1},
               {widgets::bsRaised, 3, -1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.style) + " depth " + std::to_string(c.depth));
    l.SetStyle3D(c.style);
    l.SetFontDepth(c.depth);
    Settle();
    // Read the label once into memory; GetPixel per pixel is slow on a window.
    const int w = area.right - area.left, h = area.bottom - area.top;
    std::vector<COLORREF> px(static_cast<size_t>(w * h));
    HDC dc = GetDC(win->hwnd());
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) px[static_cast<size_t>(y * w + x)] = GetPixel(dc, area.left + x, area.top + y);
    ReleaseDC(win->hwnd(), dc);
    auto pixel = [&](int x, int y) { return px[static_cast<size_t>((y - area.top) * w + (x - area.left))]; };
    const RECT blue = Extent(pixel, area, RGB(0, 0, 255));
    const RECT red = Extent(pixel, area, RGB(255, 0, 0));
    ASSERT_LE(blue.left, blue.right) << "no text pixels";
    ASSERT_LE(red.left, red.right) << "no back copy pixels";
    // The copy sticks out on its side by exactly the depth; on the other side the text covers it.
    if (c.sign > 0) {
      EXPECT_EQ(red.right - blue.right, c.depth);
      EXPECT_EQ(red.bottom - blue.bottom, c.depth);
    } else {
      EXPECT_EQ(blue.left - red.left, c.depth);
      EXPECT_EQ(blue.top - red.top, c.depth);
    }
    // The text is centred across the label.
    EXPECT_LE(std::abs((blue.left - area.left) - (area.right - 1 - blue.right)), 2 * c.depth + 2);
  }
}

TEST(GdiColour, SystemColoursGoThroughGetSysColorAndFixedOnesStayAsTheyAre) {
  EXPECT_EQ(win32::ColorRef(widgets::clBtnFace), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(win32::ColorRef(widgets::clWindowText), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(win32::ColorRef(widgets::clNavy), RGB(0, 0, 128));
  EXPECT_EQ(win32::ColorRef(widgets::clYellow), RGB(255, 255, 0));
}

}  // namespace

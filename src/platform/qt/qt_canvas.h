// The label's canvas on Qt: GDI's shape rules and DrawTextA's text rules over a QPainter.
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

#include "widgets/exlabel.h"

class QPainter;

namespace qtui {

// A TColor as a QColor: 0x00BBGGRR, or a system colour (0x80000000 + index) from the palette.
QColor ToQColor(widgets::TColor c, const QPalette& palette);

// The QFont for a TFont: its face when installed, else the window font's family.
QFont ToQFont(const widgets::TFont& f);

// The stretch (100 down to 60) at which text in the font fits the width: a
// designed caption that our gothic draws wider than the font the layout was
// made for is narrowed rather than cut.
int FittingStretch(const widgets::TFont& f, const std::string& text, int width);

class QtCanvas : public widgets::Canvas {
 public:
  QtCanvas(QPainter& painter, const QPalette& palette) : p_(painter), palette_(palette) {}

  void SetBrushColor(widgets::TColor c) override;
  void SetBrushClear() override { brushClear_ = true; }
  void SetPenColor(widgets::TColor c) override { pen_ = ToQColor(c, palette_); }
  void Rectangle(const widgets::TRect& r) override;
  void Ellipse(const widgets::TRect& r) override;
  void RoundRect(const widgets::TRect& r, int w, int h) override;
  void SetFont(const widgets::TFont& f) override;
  int DrawText(const std::string& text, widgets::TRect& r, unsigned flags) override;

  // Narrows the fonts set from now on (QFont::setStretch, 100 is normal).
  void SetStretch(int stretch) { stretch_ = stretch; }

 private:
  // Fills a convex shape given as one pixel span [x0, x1) per row from r.top,
  // its border pixels in the pen colour and the inside in the brush colour.
  void FillSpans(const widgets::TRect& r, const std::vector<std::pair<int, int>>& spans);

  QPainter& p_;
  QPalette palette_;
  QColor brush_ = Qt::white;
  bool brushClear_ = false;
  QColor pen_ = Qt::black;
  QFont font_;
  int stretch_ = 100;
  QColor textColor_ = Qt::black;
};

}  // namespace qtui

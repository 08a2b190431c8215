#include "widgets/exlabel.h"

namespace widgets {

TExLabel::TExLabel() = default;

void TExLabel::Repaint() const {
  if (onRepaint) onRepaint(transparent_);
}

void TExLabel::SetTransparent(bool v) {
  if (v == transparent_) return;
  transparent_ = v;
  Repaint();
}

// Makes the parent repaint its background under the whole label, wiping what
// an earlier shape or back copy left where the new one paints nothing.
void TExLabel::BackgroundRefresh() {
  SetTransparent(true);
  Repaint();
  SetTransparent(false);
}

void TExLabel::SetBackFont(TColor v) {
  if (v == backFont_) return;
  backFont_ = v;
  if (font3D_ && !transparent_) BackgroundRefresh();
  Repaint();
}

void TExLabel::SetStyle3D(TStyle3D v) {
  if (v == style3D_) return;
  style3D_ = v;
  if (!transparent_) BackgroundRefresh();
  Repaint();
}

void TExLabel::SetFont3D(bool v) {
  if (v == font3D_) return;
  font3D_ = v;
  if (!transparent_) BackgroundRefresh();
  Repaint();
}

void TExLabel::SetDrawOutLine(bool v) {
  if (v == drawOutLine_) return;
  drawOutLine_ = v;
  Repaint();
}

void TExLabel::SetLabelType(TLabelType v) {
  if (v == labelType_) return;
  labelType_ = v;
  if (!transparent_) BackgroundRefresh();
  Repaint();
}

void TExLabel::SetFontDepth(uint8_t v) {
  if (v == fontDepth_) return;
  fontDepth_ = v;
  if (font3D_ && !transparent_) BackgroundRefresh();
  Repaint();
}

void TExLabel::SetEdgeDepth(uint8_t v) {
  if (v == edgeDepth_) return;
  edgeDepth_ = v;
  if (labelType_ == lbRoundRect && !transparent_) BackgroundRefresh();
  Repaint();
}

void TExLabel::SetOutLineColor(TColor v) {
  if (v == outLineColor_) return;
  outLineColor_ = v;
  if (drawOutLine_) Repaint();
}

void TExLabel::DrawCopy(Canvas& c, const std::string& text, int dx, int dy, unsigned flags, TRect& r) const {
  r = TRect{0, 0, width, height};
  r.Offset(dx, dy);
  TRect scratch = r;
  c.DrawText(text, scratch, flags | DT_CALCRECT);
  const int h = scratch.bottom - scratch.top;
  r.top = (r.top + r.bottom - h) / 2;
  r.bottom = r.top + h;
  c.DrawText(text, r, flags);
}

void TExLabel::Paint(Canvas& c) const {
  std::string labelText = caption;
  if (labelText.empty() || (showAccelChar && labelText == "&")) labelText += ' ';

  unsigned flags = DT_EXPANDTABS;
  flags |= alignment == taRightJustify ? DT_RIGHT : alignment == taCenter ? DT_CENTER : DT_LEFT;
  if (wordWrap) flags |= DT_WORDBREAK;
  if (!showAccelChar) flags |= DT_NOPREFIX;

  const TRect client{0, 0, width, height};
  if (!transparent_) {
    c.SetBrushColor(color);
    c.SetPenColor(drawOutLine_ ? outLineColor_ : color);
    switch (labelType_) {
      case lbRectangle: c.Rectangle(client); break;
      case lbCircle: c.Ellipse(client); break;
      case lbRoundRect: c.RoundRect(client, edgeDepth_, edgeDepth_); break;
    }
  }
  c.SetFont(font);
  c.SetBrushClear();

  TRect r;
  if (!enabled) {
    TFont white = font;
    white.color = clWhite;
    c.SetFont(white);
    DrawCopy(c, labelText, 1, 1, flags, r);
    TFont gray = font;
    gray.color = clGray;
    c.SetFont(gray);
    r.Offset(-1, -1);
    c.DrawText(labelText, r, flags);
  } else if (!font3D_) {
    DrawCopy(c, labelText, 0, 0, flags, r);
  } else {
    const int d = style3D_ == bsLowered ? fontDepth_ : -static_cast<int>(fontDepth_);
    TFont back = font;
    back.color = backFont_;
    c.SetFont(back);
    DrawCopy(c, caption, d, d, flags, r);
    c.SetFont(font);
    r.Offset(-d, -d);
    c.DrawText(caption, r, flags);
  }
}

}  // namespace widgets

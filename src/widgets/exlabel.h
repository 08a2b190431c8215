// TExLabel: a windowless label that paints its caption as 3-D text over a
// rectangle, ellipse or rounded-rectangle background, through a canvas port.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace widgets {

using TColor = uint32_t;  // 0x00BBGGRR, or 0x80000000 + a system colour index
constexpr TColor clBlack = 0x00000000;
constexpr TColor clWhite = 0x00FFFFFF;
constexpr TColor clGray = 0x00808080;
constexpr TColor clYellow = 0x0000FFFF;
constexpr TColor clBlue = 0x00FF0000;
constexpr TColor clRed = 0x000000FF;
constexpr TColor clNavy = 0x00800000;
constexpr TColor clWindowText = 0x80000008;
constexpr TColor clBtnFace = 0x8000000F;
constexpr TColor clBtnShadow = 0x80000010;

enum TStyle3D : uint8_t { bsLowered = 0, bsRaised = 1 };
enum TLabelType : uint8_t { lbRectangle = 0, lbCircle = 1, lbRoundRect = 2 };
enum TAlignment : uint8_t { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

// DrawTextA flags the label uses.
constexpr unsigned DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_WORDBREAK = 0x10,
                   DT_EXPANDTABS = 0x40, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800;

struct TRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  void Offset(int dx, int dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
  }
  bool operator==(const TRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

struct TFont {
  std::string name = "ＭＳ Ｐゴシック";
  int height = -12;  // negative: character height in pixels
  TColor color = clWindowText;
  bool bold = false, italic = false, underline = false;
};

// The drawing surface with the Windows GDI's rules: right and bottom edges
// exclusive, DrawText as DrawTextA with the flags above.
class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual void SetBrushColor(TColor c) = 0;  // a solid brush
  virtual void SetBrushClear() = 0;          // no fill behind text
  virtual void SetPenColor(TColor c) = 0;    // 1 pixel, solid
  virtual void Rectangle(const TRect& r) = 0;
  virtual void Ellipse(const TRect& r) = 0;
  virtual void RoundRect(const TRect& r, int w, int h) = 0;
  virtual void SetFont(const TFont& f) = 0;  // every attribute, the colour included
  // Draws (or with DT_CALCRECT measures, adjusting r) the text; returns its height.
  virtual int DrawText(const std::string& text, TRect& r, unsigned flags) = 0;
};

class TExLabel {
 public:
  TExLabel();

  // Own properties.
  TColor BackFont() const { return backFont_; }
  TStyle3D Style3D() const { return style3D_; }
  bool Font3D() const { return font3D_; }
  TLabelType LabelType() const { return labelType_; }
  uint8_t FontDepth() const { return fontDepth_; }
  uint8_t EdgeDepth() const { return edgeDepth_; }
  TColor OutLineColor() const { return outLineColor_; }
  bool DrawOutLine() const { return drawOutLine_; }
  void SetBackFont(TColor v);
  void SetStyle3D(TStyle3D v);
  void SetFont3D(bool v);
  void SetLabelType(TLabelType v);
  void SetFontDepth(uint8_t v);
  void SetEdgeDepth(uint8_t v);
  void SetOutLineColor(TColor v);
  void SetDrawOutLine(bool v);

  // Inherited label properties the painting uses.
  std::string caption;
  TAlignment alignment = taLeftJustify;
  bool wordWrap = false;
  bool showAccelChar = true;
  bool enabled = true;
  bool autoSize = true;
  TColor color = clBtnFace;
  TFont font;
  int left = 0, top = 0, width = 65, height = 17;
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);

  // Called for every repaint request, with whether the label is transparent at
  // that moment (a request while transparent repaints the parent under it).
  std::function<void(bool transparent)> onRepaint;

  void Paint(Canvas& canvas) const;

 private:
  void Repaint() const;
  void BackgroundRefresh();
  void DrawCopy(Canvas& c, const std::string& text, int dx, int dy, unsigned flags, TRect& r) const;

  TColor backFont_ = clYellow;
  TStyle3D style3D_ = bsLowered;
  bool font3D_ = false;
  TLabelType labelType_ = lbRectangle;
  uint8_t fontDepth_ = 1;
  uint8_t edgeDepth_ = 10;
  TColor outLineColor_ = clBlack;
  bool drawOutLine_ = false;
  bool transparent_ = false;
};

}  // namespace widgets

// The form layer first: <windows.h> would rewrite its names.
#include "platform/win32/win32_ui.h"

#include "platform/win32/win32_canvas.h"
#include "platform/win32/win32_text.h"

namespace win32 {

COLORREF ColorRef(widgets::TColor c) {
  if (c & 0x80000000u) return GetSysColor(static_cast<int>(c & 0xFF));
  return static_cast<COLORREF>(c & 0x00FFFFFFu);  // 0x00BBGGRR is the GDI layout already
}

GdiCanvas::GdiCanvas(HDC dc) : dc_(dc), savedDc_(SaveDC(dc)) {}

GdiCanvas::~GdiCanvas() {
  // Restoring the context deselects our objects before they are deleted.
  RestoreDC(dc_, savedDc_);
  if (brush_) DeleteObject(brush_);
  if (pen_) DeleteObject(pen_);
  if (font_) DeleteObject(font_);
}

void GdiCanvas::SetBrushColor(widgets::TColor c) {
  HBRUSH b = CreateSolidBrush(ColorRef(c));
  SelectObject(dc_, b);
  if (brush_) DeleteObject(brush_);
  brush_ = b;
  SetBkColor(dc_, ColorRef(c));
  SetBkMode(dc_, OPAQUE);
}

void GdiCanvas::SetBrushClear() {
  // Text drawn after this leaves what lies under it.
  SelectObject(dc_, GetStockObject(NULL_BRUSH));
  if (brush_) DeleteObject(brush_);
  brush_ = nullptr;
  SetBkMode(dc_, TRANSPARENT);
}

void GdiCanvas::SetPenColor(widgets::TColor c) {
  HPEN p = CreatePen(PS_SOLID, 1, ColorRef(c));
  SelectObject(dc_, p);
  if (pen_) DeleteObject(pen_);
  pen_ = p;
}

void GdiCanvas::Rectangle(const widgets::TRect& r) { ::Rectangle(dc_, r.left, r.top, r.right, r.bottom); }

void GdiCanvas::Ellipse(const widgets::TRect& r) { ::Ellipse(dc_, r.left, r.top, r.right, r.bottom); }

void GdiCanvas::RoundRect(const widgets::TRect& r, int w, int h) {
  ::RoundRect(dc_, r.left, r.top, r.right, r.bottom, w, h);
}

void GdiCanvas::SetFont(const widgets::TFont& f) {
  LOGFONTW lf{};
  lf.lfHeight = f.height;
  lf.lfWeight = f.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = f.italic ? TRUE : FALSE;
  lf.lfUnderline = f.underline ? TRUE : FALSE;
  lf.lfCharSet = SHIFTJIS_CHARSET;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  lstrcpynW(lf.lfFaceName, ResolveFace(f.name).c_str(), LF_FACESIZE);
  HFONT font = CreateFontIndirectW(&lf);
  SelectObject(dc_, font);
  if (font_) DeleteObject(font_);
  font_ = font;
  SetTextColor(dc_, ColorRef(f.color));
}

int GdiCanvas::DrawText(const std::string& text, widgets::TRect& r, unsigned flags) {
  const std::string ansi = ToAnsi(text);
  RECT rc{r.left, r.top, r.right, r.bottom};
  const int h = DrawTextA(dc_, ansi.c_str(), static_cast<int>(ansi.size()), &rc, flags);
  if (flags & DT_CALCRECT) r = widgets::TRect{rc.left, rc.top, rc.right, rc.bottom};
  return h;
}

}  // namespace win32

// The 3-D label's drawing surface on Windows: GDI on a device context.
#pragma once

#include "widgets/exlabel.h"

#include <windows.h>
#undef DrawText

#include <string>

namespace win32 {

// A TColor as a GDI colour: system colours (0x80000000 + index) through GetSysColor.
COLORREF ColorRef(widgets::TColor c);

// Draws on a device context it does not own; the context's own pen, brush,
// font and background mode are put back when the canvas goes.
class GdiCanvas : public widgets::Canvas {
 public:
  explicit GdiCanvas(HDC dc);
  ~GdiCanvas() override;
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  void SetBrushColor(widgets::TColor c) override;
  void SetBrushClear() override;
  void SetPenColor(widgets::TColor c) override;
  void Rectangle(const widgets::TRect& r) override;
  void Ellipse(const widgets::TRect& r) override;
  void RoundRect(const widgets::TRect& r, int w, int h) override;
  void SetFont(const widgets::TFont& f) override;
  int DrawText(const std::string& text, widgets::TRect& r, unsigned flags) override;

 private:
  HDC dc_;
  int savedDc_;
  HBRUSH brush_ = nullptr;
  HPEN pen_ = nullptr;
  HFONT font_ = nullptr;
};

}  // namespace win32

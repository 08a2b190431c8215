#include "platform/qt/qt_canvas.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <map>

#include "platform/qt/qt_form.h"

namespace qtui {
namespace {

using widgets::TRect;

// The palette role of each Windows system colour index (COLOR_*); -1 where a fixed colour stands in.
struct SystemColour {
  QPalette::ColorGroup group;
  QPalette::ColorRole role;
  QRgb fallback;  // used when role is NoRole
};

SystemColour SystemColourFor(unsigned index) {
  const auto A = QPalette::Active;
  switch (index) {
    case 1: return {A, QPalette::NoRole, qRgb(0, 128, 128)};      // COLOR_BACKGROUND (desktop)
    case 2: return {A, QPalette::NoRole, qRgb(0, 0, 128)};        // COLOR_ACTIVECAPTION
    case 3: return {A, QPalette::NoRole, qRgb(128, 128, 128)};    // COLOR_INACTIVECAPTION
    case 4: return {A, QPalette::Window, 0};                      // COLOR_MENU
    case 5: return {A, QPalette::Base, 0};                        // COLOR_WINDOW
    case 6: return {A, QPalette::Shadow, 0};                      // COLOR_WINDOWFRAME
    case 7: return {A, QPalette::WindowText, 0};                  // COLOR_MENUTEXT
    case 8: return {A, QPalette::WindowText, 0};                  // COLOR_WINDOWTEXT
    case 9: return {A, QPalette::NoRole, qRgb(255, 255, 255)};    // COLOR_CAPTIONTEXT
    case 10: case 11: return {A, QPalette::Window, 0};            // COLOR_ACTIVEBORDER, COLOR_INACTIVEBORDER
    case 12: return {A, QPalette::Mid, 0};                        // COLOR_APPWORKSPACE
    case 13: return {A, QPalette::Highlight, 0};                  // COLOR_HIGHLIGHT
    case 14: return {A, QPalette::HighlightedText, 0};            // COLOR_HIGHLIGHTTEXT
    case 15: return {A, QPalette::Window, 0};                     // COLOR_BTNFACE
    case 16: return {A, QPalette::Dark, 0};                       // COLOR_BTNSHADOW
    case 17: return {QPalette::Disabled, QPalette::Text, 0};      // COLOR_GRAYTEXT
    case 18: return {A, QPalette::ButtonText, 0};                 // COLOR_BTNTEXT
    case 19: return {A, QPalette::NoRole, qRgb(192, 192, 192)};   // COLOR_INACTIVECAPTIONTEXT
    case 20: return {A, QPalette::Light, 0};                      // COLOR_BTNHIGHLIGHT
    case 21: return {A, QPalette::Shadow, 0};                     // COLOR_3DDKSHADOW
    case 22: return {A, QPalette::Midlight, 0};                   // COLOR_3DLIGHT
    case 23: return {A, QPalette::ToolTipText, 0};                // COLOR_INFOTEXT
    case 24: return {A, QPalette::ToolTipBase, 0};                // COLOR_INFOBK
    case 26: return {A, QPalette::Link, 0};                       // COLOR_HOTLIGHT
    case 29: return {A, QPalette::Highlight, 0};                  // COLOR_MENUHILIGHT
    case 30: return {A, QPalette::Window, 0};                     // COLOR_MENUBAR
    default: return {A, QPalette::NoRole, qRgb(192, 192, 192)};   // COLOR_SCROLLBAR and the rest
  }
}

// One line as drawn: the text without prefixes, and the underlined character (-1: none).
struct Line {
  QString text;
  int underline = -1;
};

bool Wide(QChar c) { return c.unicode() >= 0x2E80; }

// A line may break after a blank, and before or after a CJK character, as Japanese text has no blanks.
bool BreakBefore(const QString& s, int i) {
  if (i <= 0 || i >= s.size()) return false;
  if (s[i - 1] == QLatin1Char(' ') || s[i - 1] == QLatin1Char('\t')) return true;
  if (s[i].isLowSurrogate()) return false;
  return Wide(s[i]) || Wide(s[i - 1]);
}

class TextLayout {
 public:
  TextLayout(const QFont& font, unsigned flags) : fm_(font), flags_(flags) {
    // DT_EXPANDTABS: stops every eight average character widths.
    tab_ = 8 * std::max(1, fm_.averageCharWidth());
  }

  // Width of s[from, to) drawn from the start of a line.
  int Width(const QString& s, int from, int to) const {
    int x = 0, seg = from;
    for (int i = from; i < to; ++i) {
      if (s[i] == QLatin1Char('\t') && (flags_ & widgets::DT_EXPANDTABS)) {
        x += fm_.horizontalAdvance(s.mid(seg, i - seg));
        x = (x / tab_ + 1) * tab_;
        seg = i + 1;
      }
    }
    return x + fm_.horizontalAdvance(s.mid(seg, to - seg));
  }

  // Pieces of a line between tabs, each with its x offset.
  std::vector<std::pair<int, QString>> Pieces(const QString& s) const {
    std::vector<std::pair<int, QString>> pieces;
    int x = 0, seg = 0;
    for (int i = 0; i <= s.size(); ++i) {
      const bool tab = i < s.size() && s[i] == QLatin1Char('\t') && (flags_ & widgets::DT_EXPANDTABS);
      if (!tab && i < s.size()) continue;
      const QString piece = s.mid(seg, i - seg);
      if (!piece.isEmpty()) pieces.push_back({x, piece});
      x += fm_.horizontalAdvance(piece);
      if (tab) x = (x / tab_ + 1) * tab_;
      seg = i + 1;
    }
    return pieces;
  }

  // The logical lines: "\r\n", "\n" and "\r" each end one; prefixes resolved unless DT_NOPREFIX.
  std::vector<Line> Logical(const QString& text) const {
    std::vector<Line> lines(1);
    for (int i = 0; i < text.size(); ++i) {
      const QChar c = text[i];
      if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) ++i;
        lines.emplace_back();
        continue;
      }
      if (c == QLatin1Char('&') && !(flags_ & widgets::DT_NOPREFIX) && i + 1 < text.size()) {
        // "&&" shows one "&"; "&x" underlines x (the last such character of a line).
        ++i;
        if (text[i] == QLatin1Char('&')) {
          lines.back().text += QLatin1Char('&');
          continue;
        }
        if (text[i] == QLatin1Char('\r') || text[i] == QLatin1Char('\n')) {
          --i;
          continue;
        }
        lines.back().underline = int(lines.back().text.size());
      }
      lines.back().text += text[i];
    }
    return lines;
  }

  // DT_WORDBREAK: a line wider than width is broken at its last break before the edge;
  // the blanks at the break are dropped, and a word without a break stays whole.
  std::vector<Line> Wrap(const Line& line, int width) const {
    std::vector<Line> out;
    const QString& s = line.text;
    int start = 0;
    while (true) {
      if (Width(s, start, int(s.size())) <= width) break;
      int brk = -1;
      for (int i = start + 1; i < int(s.size()); ++i) {
        if (!BreakBefore(s, i)) continue;
        // The blanks before a break do not count towards the width.
        int end = i;
        while (end > start && s[end - 1] == QLatin1Char(' ')) --end;
        if (Width(s, start, end) > width) {
          if (brk < 0) brk = i;  // a word wider than the line stays whole
          break;
        }
        brk = i;
      }
      if (brk < 0) break;
      int end = brk;
      while (end > start && s[end - 1] == QLatin1Char(' ')) --end;
      out.push_back(Piece(line, start, end));
      start = brk;
      while (start < s.size() && s[start] == QLatin1Char(' ')) ++start;
      if (start >= s.size()) return out;
    }
    out.push_back(Piece(line, start, int(s.size())));
    return out;
  }

  int LineHeight() const { return fm_.ascent() + fm_.descent(); }
  const QFontMetrics& Metrics() const { return fm_; }

 private:
  static Line Piece(const Line& line, int from, int to) {
    Line l;
    l.text = line.text.mid(from, to - from);
    l.underline = line.underline >= from && line.underline < to ? line.underline - from : -1;
    return l;
  }

  QFontMetrics fm_;
  unsigned flags_;
  int tab_;
};

}  // namespace

QColor ToQColor(widgets::TColor c, const QPalette& palette) {
  if ((c & 0xFF000000u) == 0x80000000u) {
    const SystemColour s = SystemColourFor(c & 0xFFu);
    if (s.role == QPalette::NoRole) return QColor(s.fallback);
    return palette.color(s.group, s.role);
  }
  return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

QFont ToQFont(const widgets::TFont& f) {
  // The face resolves as the window font does: the named face, else IPAPGothic, else a CJK sans.
  static std::map<std::string, QString> families;
  auto it = families.find(f.name);
  if (it == families.end()) {
    ui::FormDesc d;
    d.fontFace = f.name;
    it = families.emplace(f.name, WindowFont(d).family()).first;
  }
  QFont font(it->second);
  font.setPixelSize(f.height < 0 ? -f.height : f.height > 0 ? f.height : 12);
  font.setBold(f.bold);
  font.setItalic(f.italic);
  font.setUnderline(f.underline);
  return font;
}

void QtCanvas::SetBrushColor(widgets::TColor c) {
  brush_ = ToQColor(c, palette_);
  brushClear_ = false;
}

int FittingStretch(const widgets::TFont& f, const std::string& text, int width) {
  QFont font = ToQFont(f);
  const QString t = QString::fromUtf8(text.data(), int(text.size()));
  int stretch = 100;
  while (stretch > 60 && QFontMetrics(font).horizontalAdvance(t) > width) {
    font.setStretch(--stretch);
  }
  return stretch;
}

void QtCanvas::SetFont(const widgets::TFont& f) {
  font_ = ToQFont(f);
  if (stretch_ != 100) font_.setStretch(stretch_);
  textColor_ = ToQColor(f.color, palette_);
}

void QtCanvas::FillSpans(const TRect& r, const std::vector<std::pair<int, int>>& spans) {
  auto inside = [&](int row, int x) {
    return row >= 0 && row < int(spans.size()) && x >= spans[row].first && x < spans[row].second;
  };
  for (int row = 0; row < int(spans.size()); ++row) {
    const auto [x0, x1] = spans[row];
    if (x1 <= x0) continue;
    const int y = r.top + row;
    if (!brushClear_) p_.fillRect(QRect(x0, y, x1 - x0, 1), brush_);
    // The 1-pixel pen lies inside the shape: every pixel with a neighbour outside it.
    for (int x = x0; x < x1; ++x)
      if (x == x0 || x == x1 - 1 || !inside(row - 1, x) || !inside(row + 1, x)) p_.fillRect(QRect(x, y, 1, 1), pen_);
  }
}

void QtCanvas::Rectangle(const TRect& r) {
  // GDI's rectangle: right and bottom exclusive, the pen on the outermost pixels.
  std::vector<std::pair<int, int>> spans;
  for (int y = r.top; y < r.bottom; ++y) spans.push_back({r.left, r.right});
  FillSpans(r, spans);
}

void QtCanvas::Ellipse(const TRect& r) {
  RoundRect(r, r.right - r.left, r.bottom - r.top);
}

void QtCanvas::RoundRect(const TRect& r, int w, int h) {
  // Each corner is a quarter of a w × h ellipse inside the rectangle; a pixel
  // belongs to the shape when its centre lies inside.
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return;
  const double rx = std::min(std::max(w, 0), width) / 2.0, ry = std::min(std::max(h, 0), height) / 2.0;
  std::vector<std::pair<int, int>> spans;
  for (int row = 0; row < height; ++row) {
    const double cy = row + 0.5;
    double dy = 0;
    if (cy < ry) dy = ry - cy;
    else if (cy > height - ry) dy = cy - (height - ry);
    double inset = 0;
    if (dy > 0 && rx > 0 && ry > 0) {
      const double t = dy / ry;
      if (t >= 1) {
        spans.push_back({0, 0});
        continue;
      }
      inset = rx - rx * std::sqrt(1 - t * t);
    }
    // Pixels whose centre lies at or beyond the inset from each side.
    const int x0 = int(std::ceil(inset - 0.5 - 1e-9));
    const int x1 = width - x0;
    spans.push_back(x1 > x0 ? std::make_pair(r.left + x0, r.left + x1) : std::make_pair(0, 0));
  }
  FillSpans(r, spans);
}

int QtCanvas::DrawText(const std::string& text, TRect& r, unsigned flags) {
  const TextLayout layout(font_, flags);
  const int lh = layout.LineHeight();
  const QString s = QString::fromUtf8(text.data(), int(text.size()));
  if (s.isEmpty()) {
    // As DrawTextA: nothing is drawn, the measured box is empty, the result a line's height.
    if (flags & widgets::DT_CALCRECT) {
      r.right = r.left;
      r.bottom = r.top;
    }
    return lh;
  }
  std::vector<Line> lines;
  for (const Line& l : layout.Logical(s)) {
    if (flags & widgets::DT_WORDBREAK) {
      for (Line& w : layout.Wrap(l, r.right - r.left)) lines.push_back(std::move(w));
    } else {
      lines.push_back(l);
    }
  }
  const int total = lh * int(lines.size());
  if (flags & widgets::DT_CALCRECT) {
    int widest = 0;
    for (const Line& l : lines) widest = std::max(widest, layout.Width(l.text, 0, int(l.text.size())));
    r.right = r.left + widest;
    r.bottom = r.top + total;
    return total;
  }

  const QFontMetrics& fm = layout.Metrics();
  p_.save();
  // Each copy is clipped to its rectangle (no DT_NOCLIP).
  p_.setClipRect(QRect(r.left, r.top, std::max(0, r.right - r.left), std::max(0, r.bottom - r.top)),
                 Qt::IntersectClip);
  p_.setFont(font_);
  p_.setPen(textColor_);
  int y = r.top;
  for (const Line& l : lines) {
    const int w = layout.Width(l.text, 0, int(l.text.size()));
    int x = r.left;
    if (flags & widgets::DT_CENTER) x = (r.left + r.right - w) / 2;
    else if (flags & widgets::DT_RIGHT) x = r.right - w;
    // An opaque brush fills the text's cells, as GDI's opaque background mode does.
    if (!brushClear_) p_.fillRect(QRect(x, y, w, lh), brush_);
    for (const auto& [dx, piece] : layout.Pieces(l.text)) p_.drawText(QPoint(x + dx, y + fm.ascent()), piece);
    if (l.underline >= 0) {
      const int ux = x + layout.Width(l.text, 0, l.underline);
      const int uw = layout.Width(l.text, 0, l.underline + 1) - (ux - x);
      p_.fillRect(QRect(ux, y + fm.ascent() + std::max(1, fm.underlinePos()), uw, std::max(1, fm.lineWidth())),
                  textColor_);
    }
    y += lh;
  }
  p_.restore();
  return total;
}

}  // namespace qtui

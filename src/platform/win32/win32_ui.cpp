#include "platform/win32/win32_ui.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <cctype>

#include "platform/win32/win32_canvas.h"
#include "platform/win32/win32_text.h"

namespace win32 {
namespace {

constexpr int kFirstControlId = 100;
const char* const kPanelClass = "TPanel";

std::string WindowText(HWND h) {
  const int n = GetWindowTextLengthA(h);
  std::string s(static_cast<size_t>(n) + 1, '\0');
  const int got = GetWindowTextA(h, s.data(), n + 1);
  s.resize(static_cast<size_t>(std::max(got, 0)));
  return s;
}

std::string ClassOf(HWND h) {
  char name[64] = {};
  GetClassNameA(h, name, sizeof name);
  return name;
}

bool IsClass(HWND h, const char* cls) { return lstrcmpiA(ClassOf(h).c_str(), cls) == 0; }

bool IsPushButton(HWND h) {
  if (!h || !IsClass(h, "Button")) return false;
  const LONG type = GetWindowLongA(h, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

// The accelerator character of a caption: the one after a single "&".
char AcceleratorOf(const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(caption[i + 1])));
  }
  return 0;
}

bool KeyDown(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

// A control of the form layer over a native window.
template <typename Base>
class NativeControl : public Base {
 public:
  NativeControl(const ui::ControlDesc& d, HWND h, HWND textWindow, HFONT font)
      : desc_(d), hwnd_(h), text_(textWindow ? textWindow : h), font_(font) {}
  const ui::ControlDesc& Desc() const override { return desc_; }
  ui::Rect Bounds() const override {
    RECT r;
    GetWindowRect(hwnd_, &r);
    MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
  }
  void SetBounds(const ui::Rect& r) override {
    int h = r.height;
    // A drop-down list's window height includes its open list.
    if (desc_.kind == ui::Kind::ComboBox) h += desc_.itemHeight * static_cast<int>(desc_.items.size() + 1);
    MoveWindow(hwnd_, r.left, r.top, r.width, h, TRUE);
  }
  bool Visible() const override { return (GetWindowLongA(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0; }
  void SetVisible(bool v) override { ShowWindow(hwnd_, v ? SW_SHOWNA : SW_HIDE); }
  std::string Text() const override { return WindowText(text_); }
  void SetText(const std::string& t) override {
    SetWindowTextA(text_, t.c_str());
    if (desc_.Has(ui::AlignRight)) FitToText();
  }
  bool Enabled() const override { return IsWindowEnabled(hwnd_) != FALSE; }
  void SetEnabled(bool e) override { EnableWindow(hwnd_, e ? TRUE : FALSE); }
  void BringToFront() override { SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }
  void SetFocus() override { ::SetFocus(hwnd_); }

 protected:
  // A label sized to its text whose right edge stays where it is.
  void FitToText() {
    const std::string t = WindowText(hwnd_);
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, font_);
    RECT calc{0, 0, 0, 0};
    DrawTextA(dc, t.c_str(), static_cast<int>(t.size()), &calc, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    const ui::Rect b = Bounds();
    const int width = calc.right - calc.left;
    MoveWindow(hwnd_, b.left + b.width - width, b.top, width, b.height, TRUE);
  }

  const ui::ControlDesc& desc_;
  HWND hwnd_;
  HWND text_;
  HFONT font_;
};

class NativeListBox : public NativeControl<ui::ListBox> {
 public:
  using NativeControl::NativeControl;
  int Count() const override { return static_cast<int>(SendMessageA(hwnd_, LB_GETCOUNT, 0, 0)); }
  std::string Item(int i) const override {
    if (i < 0 || i >= Count()) throw ui::Error(ui::kListIndexError);
    const LRESULT n = SendMessageA(hwnd_, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    if (n == LB_ERR) throw ui::Error(ui::kListIndexError);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    const LRESULT got = SendMessageA(hwnd_, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s.data()));
    s.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
    return s;
  }
  void Append(const std::string& t) override {
    // Without LBS_SORT the string goes to the end.
    const LRESULT r = SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t.c_str()));
    if (r == LB_ERR || r == LB_ERRSPACE) throw ui::Error(ui::kListInsertError);
  }
  void Delete(int i) override {
    if (i < 0 || i >= Count()) throw ui::Error(ui::kListIndexError);
    SendMessageA(hwnd_, LB_DELETESTRING, static_cast<WPARAM>(i), 0);
  }
  void Clear() override { SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0); }
  bool Selected(int i) const override {
    if (i < 0 || i >= Count()) throw ui::Error(ui::kListIndexError);
    return SendMessageA(hwnd_, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0;
  }
  void SetSelected(int i, bool s) override {
    if (i < 0 || i >= Count()) throw ui::Error(ui::kListIndexError);
    SendMessageA(hwnd_, LB_SETSEL, s ? TRUE : FALSE, static_cast<LPARAM>(i));
  }
  int ItemIndex() const override {
    // A multiple-selection list's current entry is the one with the focus rectangle.
    if (Count() == 0) return -1;
    return static_cast<int>(SendMessageA(hwnd_, LB_GETCARETINDEX, 0, 0));
  }
  void SetItemIndex(int i) override { SendMessageA(hwnd_, LB_SETCARETINDEX, static_cast<WPARAM>(i), FALSE); }
};

class NativeCheckBox : public NativeControl<ui::CheckBox> {
 public:
  using NativeControl::NativeControl;
  bool Checked() const override { return SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED; }
  void SetChecked(bool c) override { SendMessageA(hwnd_, BM_SETCHECK, c ? BST_CHECKED : BST_UNCHECKED, 0); }
};

class NativeComboBox : public NativeControl<ui::ComboBox> {
 public:
  using NativeControl::NativeControl;
  int ItemIndex() const override { return static_cast<int>(SendMessageA(hwnd_, CB_GETCURSEL, 0, 0)); }
  void SetItemIndex(int i) override {
    const int n = static_cast<int>(desc_.items.size());
    SendMessageA(hwnd_, CB_SETCURSEL, (i >= 0 && i < n) ? static_cast<WPARAM>(i) : static_cast<WPARAM>(-1), 0);
  }
};

// The files of one WM_DROPFILES, read whole through DragQueryFileA.
class Win32Drop : public ui::DropSource {
 public:
  explicit Win32Drop(HDROP h) : h_(h) {}
  ~Win32Drop() override { Finish(); }
  int Count() override { return static_cast<int>(DragQueryFileA(h_, 0xFFFFFFFF, nullptr, 0)); }
  std::string Name(int i) override {
    // The length comes first, so no name is cut to a fixed buffer.
    const UINT n = DragQueryFileA(h_, static_cast<UINT>(i), nullptr, 0);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    const UINT got = DragQueryFileA(h_, static_cast<UINT>(i), s.data(), n + 1);
    s.resize(std::min<size_t>(got, n));
    return s;
  }
  void Finish() override {
    if (!finished_) DragFinish(h_);
    finished_ = true;
  }

 private:
  HDROP h_;
  bool finished_ = false;
};

int CALLBACK FaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM p) {
  *reinterpret_cast<bool*>(p) = true;
  return 0;
}

bool FaceExists(const std::wstring& face) {
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
  bool found = false;
  HDC dc = GetDC(nullptr);
  EnumFontFamiliesExW(dc, &lf, &FaceFound, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, dc);
  return found;
}

// The hyperlink label: a window of its own that captures the mouse while a
// button is held on it, feeds the link its mouse, and paints in its colour.
class UrlLabelWindow : public Window {
 public:
  UrlLabelWindow(const ui::ControlDesc& d, HFONT formFont) {
    link_.Caption = d.caption;
    link_.URL = d.url;
    link_.Width = d.bounds.width;
    link_.Height = d.bounds.height;
    align_ = d.Has(ui::AlignCenter) ? DT_CENTER : d.Has(ui::AlignRight) ? DT_RIGHT : DT_LEFT;
    // The window's font in the link's colour, without underline.
    LOGFONTW lf{};
    GetObjectW(formFont, sizeof lf, &lf);
    lf.lfUnderline = FALSE;
    font_ = CreateFontIndirectW(&lf);
  }
  ~UrlLabelWindow() override {
    if (font_) DeleteObject(font_);
  }
  widgets::TProUrlLabel& Link() { return link_; }
  HFONT font() const { return font_; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    const int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
    switch (msg) {
      case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        RECT r;
        GetClientRect(hwnd_, &r);
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
        HGDIOBJ old = SelectObject(dc, font_);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ColorRef(link_.Color()));
        const std::string text = ToAnsi(link_.Caption);
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_EXPANDTABS | align_);
        SelectObject(dc, old);
        EndPaint(hwnd_, &ps);
        return 0;
      }
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
        SetCapture(hwnd_);
        link_.MouseDown();
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
      case WM_MOUSEMOVE:
        if (GetCapture() == hwnd_) {
          const widgets::TColor before = link_.Color();
          link_.MouseMove(x, y);
          if (link_.Color() != before) InvalidateRect(hwnd_, nullptr, FALSE);
        }
        return 0;
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
      case WM_MBUTTONUP:
        if (GetCapture() == hwnd_) {
          // The link decides (and opens) before the capture goes, which would end the press.
          link_.MouseUp(x, y);
          ReleaseCapture();
          InvalidateRect(hwnd_, nullptr, FALSE);
        }
        return 0;
      case WM_CAPTURECHANGED:
        // A press taken away by another window opens nothing.
        link_.MouseUp(-1, -1);
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
      case WM_SETFONT:
        return 0;  // the link keeps its own font
      case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_);
      default:
        return DefWindowProcA(hwnd_, msg, wp, lp);
    }
  }

 private:
  widgets::TProUrlLabel link_;
  unsigned align_ = DT_LEFT;
  HFONT font_ = nullptr;
};

// The hyperlink picture: a bitmap resource of the program, sized to it; a
// click (press and release on it) goes to the image's Click.
class UrlImageWindow : public Window {
 public:
  UrlImageWindow(const ui::ControlDesc& d, HINSTANCE inst) {
    image_.URL = d.url;
    std::string name = d.picture;
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (!name.empty())
      bitmap_ = static_cast<HBITMAP>(LoadImageA(inst, name.c_str(), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
  }
  ~UrlImageWindow() override {
    if (bitmap_) DeleteObject(bitmap_);
  }
  widgets::TProUrlImage& Image() { return image_; }
  // The picture's size, or none without a picture.
  SIZE PictureSize() const {
    BITMAP bm{};
    if (!bitmap_ || !GetObjectA(bitmap_, sizeof bm, &bm)) return {0, 0};
    return {bm.bmWidth, bm.bmHeight};
  }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    switch (msg) {
      case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        RECT r;
        GetClientRect(hwnd_, &r);
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
        if (bitmap_) {
          HDC mem = CreateCompatibleDC(dc);
          HGDIOBJ old = SelectObject(mem, bitmap_);
          const SIZE sz = PictureSize();
          BitBlt(dc, 0, 0, sz.cx, sz.cy, mem, 0, 0, SRCCOPY);
          SelectObject(mem, old);
          DeleteDC(mem);
        }
        EndPaint(hwnd_, &ps);
        return 0;
      }
      case WM_LBUTTONDOWN:
        SetCapture(hwnd_);
        down_ = true;
        return 0;
      case WM_LBUTTONUP: {
        const bool was = down_ && GetCapture() == hwnd_;
        down_ = false;
        if (GetCapture() == hwnd_) ReleaseCapture();
        POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        RECT r;
        GetClientRect(hwnd_, &r);
        if (was && PtInRect(&r, p)) image_.Click();
        return 0;
      }
      case WM_CAPTURECHANGED:
        down_ = false;
        return 0;
      default:
        return DefWindowProcA(hwnd_, msg, wp, lp);
    }
  }

 private:
  widgets::TProUrlImage image_;
  HBITMAP bitmap_ = nullptr;
  bool down_ = false;
};

class NativeUrlLabel : public NativeControl<ui::UrlLabelControl> {
 public:
  NativeUrlLabel(const ui::ControlDesc& d, UrlLabelWindow& w) : NativeControl(d, w.hwnd(), nullptr, w.font()), w_(w) {}
  widgets::TProUrlLabel& Link() override { return w_.Link(); }
  std::string Text() const override { return w_.Link().Caption; }
  void SetText(const std::string& t) override {
    w_.Link().Caption = t;
    InvalidateRect(hwnd_, nullptr, TRUE);
  }
  void SetBounds(const ui::Rect& r) override {
    NativeControl::SetBounds(r);
    w_.Link().Width = r.width;
    w_.Link().Height = r.height;
  }

 private:
  UrlLabelWindow& w_;
};

class NativeUrlImage : public NativeControl<ui::UrlImageControl> {
 public:
  NativeUrlImage(const ui::ControlDesc& d, UrlImageWindow& w) : NativeControl(d, w.hwnd(), nullptr, nullptr), w_(w) {}
  widgets::TProUrlImage& Image() override { return w_.Image(); }

 private:
  UrlImageWindow& w_;
};

const char* const kUrlLabelClass = "TProUrlLabel";
const char* const kUrlImageClass = "TProUrlImage";

}  // namespace


// ---- the windowless 3-D label ----

// A TExLabel painted by its form on the form's own surface, in creation order
// after the form's background; it has no window and never takes the focus.
class ExLabelWin : public ui::ExLabelControl {
 public:
  ExLabelWin(const ui::ControlDesc& d, const ui::FormDesc& form, HWND parent) : desc_(d), parent_(parent) {
    label_.caption = d.caption;
    label_.left = d.bounds.left;
    label_.top = d.bounds.top;
    label_.width = d.bounds.width;
    label_.height = d.bounds.height;
    label_.alignment = d.Has(ui::AlignCenter) ? widgets::taCenter
                       : d.Has(ui::AlignRight) ? widgets::taRightJustify
                                               : widgets::taLeftJustify;
    label_.enabled = !d.Has(ui::Disabled);
    visible_ = !d.Has(ui::Hidden);
    // The parent's colour and font.
    label_.color = widgets::clBtnFace;
    label_.font.name = form.fontFace;
    label_.font.height = -form.fontHeight;
    label_.font.color = widgets::clWindowText;
    // A request while transparent makes the parent erase its background under
    // the label first; one while opaque paints over what is there.
    label_.onRepaint = [this](bool transparent) { Invalidate(transparent); };
  }

  const ui::ControlDesc& Desc() const override { return desc_; }
  ui::Rect Bounds() const override { return {label_.left, label_.top, label_.width, label_.height}; }
  void SetBounds(const ui::Rect& r) override {
    Invalidate(true);
    label_.left = r.left;
    label_.top = r.top;
    label_.width = r.width;
    label_.height = r.height;
    Invalidate(true);
  }
  bool Visible() const override { return visible_; }
  void SetVisible(bool v) override {
    if (v == visible_) return;
    visible_ = v;
    Invalidate(true);
  }
  std::string Text() const override { return label_.caption; }
  void SetText(const std::string& t) override {
    label_.caption = t;
    Invalidate(label_.Transparent());
  }
  bool Enabled() const override { return label_.enabled; }
  void SetEnabled(bool e) override {
    label_.enabled = e;
    Invalidate(label_.Transparent());
  }
  void BringToFront() override {}
  void SetFocus() override {}
  widgets::TExLabel& Label() override { return label_; }

  RECT Rect() const { return {label_.left, label_.top, label_.left + label_.width, label_.top + label_.height}; }
  HWND Parent() const { return parent_; }

  // Paints the label on the parent's context, clipped to its rectangle.
  void PaintOn(HDC dc) const {
    if (!visible_) return;
    const int saved = SaveDC(dc);
    const RECT r = Rect();
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    // The label's canvas has its origin at the label's top-left corner.
    SetViewportOrgEx(dc, r.left, r.top, nullptr);
    {
      GdiCanvas canvas(dc);
      label_.Paint(canvas);
    }
    RestoreDC(dc, saved);
  }

 private:
  void Invalidate(bool erase) {
    const RECT r = Rect();
    InvalidateRect(parent_, &r, erase ? TRUE : FALSE);
  }

  const ui::ControlDesc& desc_;
  HWND parent_;
  widgets::TExLabel label_;
  bool visible_ = true;
};

std::wstring ResolveFace(const std::string& face) {
  static std::map<std::string, std::wstring> cache;
  auto it = cache.find(face);
  if (it != cache.end()) return it->second;
  // The designed face, then Japanese gothics with the same metrics.
  const std::vector<std::wstring> faces{Widen(face, CP_UTF8), L"MS PGothic", L"IPAPGothic", L"IPA Pゴシック",
                                        L"MS UI Gothic", L"IPAGothic", L"IPAゴシック"};
  std::wstring chosen = faces.front();
  for (const std::wstring& f : faces) {
    if (!f.empty() && FaceExists(f)) {
      chosen = f;
      break;
    }
  }
  return cache[face] = chosen;
}

// ---- Window ----

LRESULT CALLBACK Window::StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Window* self;
  if (msg == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcA(hwnd, msg, wp, lp);
  }
  return self->HandleMessage(msg, wp, lp);
}

LRESULT PanelWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      if (bevel_) {
        RECT r;
        GetClientRect(hwnd_, &r);
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
      }
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wp);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
      // Children's notifications belong to the form.
      return SendMessageA(GetParent(hwnd_), msg, wp, lp);
    default:
      return DefWindowProcA(hwnd_, msg, wp, lp);
  }
}

// ---- Win32Form ----

Win32Form::Win32Form(Win32App& app, const ui::FormDesc& desc, ui::FormEvents& sink, HWND owner)
    : app_(app), desc_(desc), sink_(sink) {
  if (desc.border == ui::FormDesc::Border::Dialog) {
    style_ = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    exStyle_ = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  } else {
    style_ = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    exStyle_ = WS_EX_CONTROLPARENT;
  }
  if (desc.minimizeBox) style_ |= WS_MINIMIZEBOX;
  if (desc.maximizeBox) style_ |= WS_MAXIMIZEBOX;
  RECT r{0, 0, desc.clientWidth, desc.clientHeight};
  AdjustWindowRectEx(&r, style_, FALSE, exStyle_);
  const int w = r.right - r.left, h = r.bottom - r.top;
  int x = desc.left, y = desc.top;
  if (desc.centered) {
    x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
    y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  }
  const std::string& cls = app_.WindowClass(desc.className);
  CreateWindowExA(exStyle_, cls.c_str(), ToAnsi(desc.caption).c_str(), style_, x, y, w, h, owner, nullptr,
                  app_.instance(), static_cast<Window*>(this));
  if (!hwnd_) throw ui::Error("ウィンドウを作成できません");
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(app_.Font(desc.fontFace, desc.fontHeight)), FALSE);
  CreateControls();
  if (!desc.popup.empty()) {
    popup_ = CreatePopupMenu();
    for (size_t i = 0; i < desc.popup.size(); ++i) {
      const ui::MenuItemDesc& m = desc.popup[i];
      if (m.caption == "-") AppendMenuA(popup_, MF_SEPARATOR, 0, nullptr);
      else AppendMenuA(popup_, MF_STRING, i + 1, ToAnsi(m.caption).c_str());
    }
  }
}

Win32Form::~Win32Form() {
  auto& f = app_.forms_;
  f.erase(std::remove(f.begin(), f.end(), this), f.end());
  if (app_.main_ == this) app_.main_ = nullptr;
  if (hwnd_) DestroyWindow(hwnd_);
  if (popup_) DestroyMenu(popup_);
}

void Win32Form::CreateControls() {
  std::vector<HWND> frames;  // the frames of group boxes with controls inside
  HFONT font = app_.Font(desc_.fontFace, desc_.fontHeight);
  HINSTANCE inst = app_.instance();
  for (size_t i = 0; i < desc_.controls.size(); ++i) {
    const ui::ControlDesc& d = desc_.controls[i];
    const int id = kFirstControlId + static_cast<int>(i);
    HWND parent = d.parent.empty() ? hwnd_ : hwnds_.at(d.parent);
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    if (!d.Has(ui::Hidden)) style |= WS_VISIBLE;
    if (d.Has(ui::Disabled)) style |= WS_DISABLED;
    DWORD ex = 0;
    const char* cls = "STATIC";
    const ui::Rect& b = d.bounds;
    int height = b.height;
    bool hasChildren = false;
    for (const auto& c : desc_.controls) hasChildren = hasChildren || c.parent == d.name;
    const std::string caption = ToAnsi(d.caption);
    HWND h = nullptr, text = nullptr;
    switch (d.kind) {
      case ui::Kind::Label:
        // Without SS_NOPREFIX, "&" underlines the accelerator.
        style |= d.Has(ui::AlignRight) ? SS_RIGHT : d.Has(ui::AlignCenter) ? SS_CENTER : SS_LEFTNOWORDWRAP;
        break;
      case ui::Kind::Edit:
        cls = "EDIT";
        style |= WS_TABSTOP | ES_AUTOHSCROLL;
        ex = WS_EX_CLIENTEDGE;
        break;
      case ui::Kind::Button:
        cls = "BUTTON";
        style |= WS_TABSTOP | (d.Has(ui::DefaultButton) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        break;
      case ui::Kind::ListBox:
        cls = "LISTBOX";
        style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
        if (d.Has(ui::MultiSelect)) style |= LBS_EXTENDEDSEL;
        ex = WS_EX_CLIENTEDGE;
        break;
      case ui::Kind::CheckBox:
        cls = "BUTTON";
        style |= WS_TABSTOP | BS_AUTOCHECKBOX;
        break;
      case ui::Kind::ComboBox:
        cls = "COMBOBOX";
        style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
        height += d.itemHeight * static_cast<int>(d.items.size() + 1);
        break;
      case ui::Kind::GroupBox:
        cls = "BUTTON";
        style |= BS_GROUPBOX;
        break;
      case ui::Kind::Panel:
        cls = kPanelClass;
        break;
      default:
        break;
    }
    if (d.kind == ui::Kind::ExLabel) {
      // Windowless: the form paints it (see Paint), so it is not a child window.
      auto label = std::make_unique<ExLabelWin>(d, desc_, parent);
      exLabels_.push_back(label.get());
      hwnds_[d.name] = nullptr;
      byId_[id] = &d;
      controls_[d.name] = std::move(label);
      continue;
    }
    if (d.kind == ui::Kind::UrlLabel || d.kind == ui::Kind::UrlImage) {
      std::unique_ptr<ui::Control> ctl;
      HWND lh = nullptr;
      if (d.kind == ui::Kind::UrlLabel) {
        auto w = std::make_unique<UrlLabelWindow>(d, font);
        lh = CreateWindowExA(0, kUrlLabelClass, caption.c_str(), style, b.left, b.top, b.width, b.height, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst, static_cast<Window*>(w.get()));
        if (!lh) throw ui::Error("ウィンドウを作成できません");
        ctl = std::make_unique<NativeUrlLabel>(d, *w);
        windows_.push_back(std::move(w));
      } else {
        auto w = std::make_unique<UrlImageWindow>(d, inst);
        // Sized to its picture.
        const SIZE pic = w->PictureSize();
        const int iw = pic.cx > 0 ? pic.cx : b.width, ih = pic.cy > 0 ? pic.cy : b.height;
        lh = CreateWindowExA(0, kUrlImageClass, "", style, b.left, b.top, iw, ih, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst, static_cast<Window*>(w.get()));
        if (!lh) throw ui::Error("ウィンドウを作成できません");
        ctl = std::make_unique<NativeUrlImage>(d, *w);
        windows_.push_back(std::move(w));
      }
      if (!d.hint.empty()) AddHint(lh, d.hint);
      hwnds_[d.name] = lh;
      byId_[id] = &d;
      controls_[d.name] = std::move(ctl);
      continue;
    }
    if (d.kind == ui::Kind::Panel || (d.kind == ui::Kind::GroupBox && hasChildren)) {
      // A container of our own that forwards its children's notifications;
      // a group box draws the frame of one with children.
      panels_.push_back(std::make_unique<PanelWindow>(d.Has(ui::BevelLowered)));
      // No WS_CLIPCHILDREN anywhere: a group box does not paint its inside, its parent does.
      DWORD pstyle = (style & (WS_VISIBLE | WS_DISABLED)) | WS_CHILD | WS_CLIPSIBLINGS;
      h = CreateWindowExA(WS_EX_CONTROLPARENT, kPanelClass, d.kind == ui::Kind::Panel ? caption.c_str() : "",
                          pstyle, b.left, b.top, b.width, b.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                          inst, static_cast<Window*>(panels_.back().get()));
      if (d.kind == ui::Kind::GroupBox) {
        text = CreateWindowExA(0, "BUTTON", caption.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_GROUPBOX,
                               0, 0, b.width, b.height, h, nullptr, inst, nullptr);
        SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        // Sent below the box's controls once they exist (a new child goes below its siblings).
        frames.push_back(text);
      }
    } else {
      h = CreateWindowExA(ex, cls, caption.c_str(), style, b.left, b.top, b.width, height, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst, nullptr);
    }
    if (!h) throw ui::Error("ウィンドウを作成できません");
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    std::unique_ptr<ui::Control> ctl;
    switch (d.kind) {
      case ui::Kind::ListBox:
        SendMessageA(h, LB_SETITEMHEIGHT, 0, d.itemHeight > 0 ? d.itemHeight : 12);
        ctl = std::make_unique<NativeListBox>(d, h, nullptr, font);
        break;
      case ui::Kind::CheckBox:
        ctl = std::make_unique<NativeCheckBox>(d, h, nullptr, font);
        if (d.Has(ui::Checked)) SendMessageA(h, BM_SETCHECK, BST_CHECKED, 0);
        break;
      case ui::Kind::ComboBox:
        for (const std::string& item : d.items)
          SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToAnsi(item).c_str()));
        if (d.itemHeight > 0) SendMessageA(h, CB_SETITEMHEIGHT, 0, d.itemHeight);
        ctl = std::make_unique<NativeComboBox>(d, h, nullptr, font);
        break;
      case ui::Kind::Edit:
        SendMessageA(h, EM_LIMITTEXT, 0, 0);  // no length limit beyond the system's
        [[fallthrough]];
      default:
        ctl = std::make_unique<NativeControl<ui::Control>>(d, h, text, font);
        break;
    }
    hwnds_[d.name] = h;
    byId_[id] = &d;
    controls_[d.name] = std::move(ctl);
  }
  // A frame above its box's controls would paint over them.
  for (HWND f : frames) SetWindowPos(f, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

ui::Control* Win32Form::Find(const std::string& name) {
  auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : it->second.get();
}

void Win32Form::AddHint(HWND control, const std::string& hint) {
  if (!tooltip_) {
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                               app_.instance(), nullptr);
    if (!tooltip_) return;
    SendMessageA(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(app_.Font(desc_.fontFace, desc_.fontHeight)), FALSE);
  }
  const std::string text = ToAnsi(hint);
  TOOLINFOA ti{};
  // The first version of the record, which every comctl32 accepts.
  ti.cbSize = TTTOOLINFOA_V1_SIZE;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = hwnd_;
  ti.uId = reinterpret_cast<UINT_PTR>(control);
  ti.lpszText = const_cast<char*>(text.c_str());
  SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void Win32Form::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  if (!exLabels_.empty()) {
    // Child windows paint themselves: keep the labels off them.
    for (HWND c = GetWindow(hwnd_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      if (!IsWindowVisible(c)) continue;
      RECT r;
      GetWindowRect(c, &r);
      MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
      ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
    }
    for (const ExLabelWin* l : exLabels_) {
      RECT r = l->Rect(), hit;
      if (l->Parent() == hwnd_ && IntersectRect(&hit, &r, &ps.rcPaint)) l->PaintOn(dc);
    }
  }
  EndPaint(hwnd_, &ps);
}

HWND Win32Form::ControlHwnd(const std::string& name) const {
  auto it = hwnds_.find(name);
  return it == hwnds_.end() ? nullptr : it->second;
}

SIZE Win32Form::ClientSize() const {
  if (IsIconic(hwnd_) && hasPendingSize_) return pendingSize_;
  if (IsIconic(hwnd_)) {
    // A minimised window's client size is that of its restored placement.
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    GetWindowPlacement(hwnd_, &wp);
    RECT adj{0, 0, 0, 0};
    AdjustWindowRectEx(&adj, style_, FALSE, exStyle_);
    return {(wp.rcNormalPosition.right - wp.rcNormalPosition.left) - (adj.right - adj.left),
            (wp.rcNormalPosition.bottom - wp.rcNormalPosition.top) - (adj.bottom - adj.top)};
  }
  RECT r;
  GetClientRect(hwnd_, &r);
  return {r.right, r.bottom};
}

int Win32Form::ClientWidth() const { return ClientSize().cx; }

int Win32Form::ClientHeight() const { return ClientSize().cy; }

void Win32Form::SetClientSize(int width, int height) {
  if (IsIconic(hwnd_)) {
    // Applied when the window is restored: a minimised window's size is not its own.
    pendingSize_ = {width, height};
    hasPendingSize_ = true;
    return;
  }
  RECT r{0, 0, width, height};
  AdjustWindowRectEx(&r, style_, FALSE, exStyle_);
  SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Form::SetWindowState(ui::WindowState state) {
  if (!IsWindowVisible(hwnd_)) return;
  if (state == ui::WindowState::Minimized) {
    if (!IsIconic(hwnd_)) ShowWindow(hwnd_, SW_MINIMIZE);
    return;
  }
  if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
  if (hasPendingSize_) {
    hasPendingSize_ = false;
    SetClientSize(pendingSize_.cx, pendingSize_.cy);
  }
}

bool Win32Form::Visible() const { return IsWindowVisible(hwnd_) != FALSE; }

void Win32Form::Close() { SendMessageA(hwnd_, WM_CLOSE, 0, 0); }

void Win32Form::Show() {
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  UpdateWindow(hwnd_);
  SetForegroundWindow(hwnd_);
  if (!GetFocus() || !IsChild(hwnd_, GetFocus())) FocusFirst();
  UpdateDefaultButton();
}

int Win32Form::ShowModal() {
  HWND owner = GetWindow(hwnd_, GW_OWNER);
  const bool ownerEnabled = owner && IsWindowEnabled(owner);
  if (ownerEnabled) EnableWindow(owner, FALSE);
  modal_ = true;
  modalResult_ = ui::mrNone;
  focus_ = nullptr;
  Show();
  FocusFirst();
  MSG msg;
  while (modalResult_ == ui::mrNone) {
    const BOOL r = GetMessageA(&msg, nullptr, 0, 0);
    if (r == 0) {
      // The program is ending: pass the quit on to the outer loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (r < 0) break;
    app_.DispatchOne(msg);
  }
  if (ownerEnabled) EnableWindow(owner, TRUE);
  ShowWindow(hwnd_, SW_HIDE);
  modal_ = false;
  const int result = modalResult_ == ui::mrNone ? ui::mrCancel : modalResult_;
  modalResult_ = ui::mrNone;
  return result;
}

void Win32Form::EndModal(int result) {
  modalResult_ = result;
  PostMessageA(hwnd_, WM_NULL, 0, 0);  // wakes the modal loop
}

void Win32Form::Guard(const std::function<void()>& handler) {
  // No exception may cross the window procedure.
  try {
    ui::Dispatch(app_, handler);
  } catch (const std::exception& e) {
    app_.ShowError(e.what());
  }
}

void Win32Form::Click(const ui::ControlDesc& d) {
  if (d.modalResult != ui::mrNone) {
    EndModal(d.modalResult);
    return;
  }
  if (!d.onClick.empty()) Guard([&] { sink_.Invoke(d.onClick); });
}

std::vector<HWND> Win32Form::TabStops() const {
  // The tab order is hierarchical: a container's place holds its children in their own order.
  std::vector<HWND> out;
  std::function<void(const std::string&)> walk = [&](const std::string& parent) {
    std::vector<const ui::ControlDesc*> kids;
    for (const auto& c : desc_.controls)
      if (c.parent == parent && c.tabOrder >= 0) kids.push_back(&c);
    std::stable_sort(kids.begin(), kids.end(),
                     [](const ui::ControlDesc* a, const ui::ControlDesc* b) { return a->tabOrder < b->tabOrder; });
    for (const ui::ControlDesc* c : kids) {
      switch (c->kind) {
        case ui::Kind::Panel:
        case ui::Kind::GroupBox:
          walk(c->name);
          break;
        case ui::Kind::Edit:
        case ui::Kind::Button:
        case ui::Kind::ListBox:
        case ui::Kind::CheckBox:
        case ui::Kind::ComboBox:
          out.push_back(hwnds_.at(c->name));
          break;
        default:
          break;
      }
    }
  };
  walk("");
  out.erase(std::remove_if(out.begin(), out.end(), [](HWND h) { return !IsWindowVisible(h) || !IsWindowEnabled(h); }),
            out.end());
  return out;
}

void Win32Form::FocusFirst() {
  const std::vector<HWND> stops = TabStops();
  if (!stops.empty()) ::SetFocus(stops.front());
  else ::SetFocus(hwnd_);
}

void Win32Form::MoveFocus(bool forward) {
  const std::vector<HWND> stops = TabStops();
  if (stops.empty()) return;
  HWND f = GetFocus();
  // The focus may sit in a part of a control (the edit of a combo box).
  while (f && GetParent(f) && std::find(stops.begin(), stops.end(), f) == stops.end() && IsChild(hwnd_, f))
    f = GetParent(f);
  auto it = std::find(stops.begin(), stops.end(), f);
  size_t i;
  if (it == stops.end()) i = forward ? 0 : stops.size() - 1;
  else {
    const size_t at = static_cast<size_t>(it - stops.begin());
    i = forward ? (at + 1) % stops.size() : (at + stops.size() - 1) % stops.size();
  }
  HWND next = stops[i];
  ::SetFocus(next);
  // An edit box entered with Tab has its text selected, as in a dialog.
  if (IsClass(next, "Edit")) SendMessageA(next, EM_SETSEL, 0, -1);
}

bool Win32Form::Mnemonic(char c) {
  c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const ui::ControlDesc& d : desc_.controls) {
    if (AcceleratorOf(d.caption) != c) continue;
    HWND h = hwnds_.at(d.name);
    if (!IsWindowVisible(h) || !IsWindowEnabled(h)) continue;
    switch (d.kind) {
      case ui::Kind::Button:
        ::SetFocus(h);
        UpdateDefaultButton();
        Click(d);
        return true;
      case ui::Kind::CheckBox:
        ::SetFocus(h);
        SendMessageA(h, BM_SETCHECK, SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
        if (!d.onClick.empty()) Click(d);
        return true;
      case ui::Kind::Label: {
        auto target = hwnds_.find(d.focusControl);
        if (target == hwnds_.end()) continue;
        if (IsWindowVisible(target->second) && IsWindowEnabled(target->second)) {
          ::SetFocus(target->second);
          if (IsClass(target->second, "Edit")) SendMessageA(target->second, EM_SETSEL, 0, -1);
        }
        return true;
      }
      default:
        continue;
    }
  }
  return false;
}

void Win32Form::UpdateDefaultButton() {
  HWND focus = GetFocus();
  HWND want = nullptr;
  if (focus && IsChild(hwnd_, focus) && IsPushButton(focus)) {
    want = focus;
  } else {
    for (const ui::ControlDesc& d : desc_.controls)
      if (d.Has(ui::DefaultButton)) want = hwnds_.at(d.name);
  }
  if (want == defaultShown_) return;
  for (const ui::ControlDesc& d : desc_.controls) {
    if (d.kind != ui::Kind::Button) continue;
    HWND h = hwnds_.at(d.name);
    SendMessageA(h, BM_SETSTYLE, h == want ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
  }
  defaultShown_ = want;
}

bool Win32Form::PreTranslate(const MSG& msg) {
  const bool ctrl = KeyDown(VK_CONTROL), alt = KeyDown(VK_MENU), shift = KeyDown(VK_SHIFT);
  HWND focus = GetFocus();
  const bool comboOpen = focus && IsClass(GetParent(focus) ? GetParent(focus) : focus, "ComboBox") &&
                         SendMessageA(GetParent(focus), CB_GETDROPPEDSTATE, 0, 0);
  const bool comboFocus = focus && IsClass(focus, "ComboBox") && SendMessageA(focus, CB_GETDROPPEDSTATE, 0, 0);
  switch (msg.message) {
    case WM_KEYDOWN:
      switch (msg.wParam) {
        case VK_TAB:
          if (ctrl || alt) return false;
          MoveFocus(!shift);
          UpdateDefaultButton();
          return true;
        case VK_RETURN: {
          if (comboOpen || comboFocus) return false;
          if (focus && IsChild(hwnd_, focus) && IsPushButton(focus)) {
            auto it = byId_.find(GetDlgCtrlID(focus));
            if (it != byId_.end()) Click(*it->second);
            return true;
          }
          for (const ui::ControlDesc& d : desc_.controls) {
            HWND h = hwnds_.at(d.name);
            if (d.Has(ui::DefaultButton) && IsWindowVisible(h) && IsWindowEnabled(h)) {
              Click(d);
              return true;
            }
          }
          return false;
        }
        case VK_ESCAPE:
          if (comboOpen || comboFocus) return false;
          for (const ui::ControlDesc& d : desc_.controls) {
            HWND h = hwnds_.at(d.name);
            if (d.Has(ui::CancelButton) && IsWindowVisible(h) && IsWindowEnabled(h)) {
              Click(d);
              return true;
            }
          }
          return false;
        case VK_APPS:
          return !shift && !ctrl && !alt;
        default:
          return false;
      }
    case WM_KEYUP:
      // The context-menu key opens the form's menu, whichever control has the focus.
      if (msg.wParam == VK_APPS && !shift && !ctrl && !alt && popup_) {
        ShowPopup(focus && IsChild(hwnd_, focus) ? focus : hwnd_, static_cast<LPARAM>(-1));
        return true;
      }
      return false;
    case WM_SYSCHAR:
      return Mnemonic(static_cast<char>(msg.wParam));
    case WM_RBUTTONUP:
      // An edit box has a menu of its own; the form's menu stands in for it.
      if (popup_ && msg.hwnd != hwnd_ && IsClass(msg.hwnd, "Edit")) {
        POINT p{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
        ClientToScreen(msg.hwnd, &p);
        ShowPopup(msg.hwnd, MAKELPARAM(p.x, p.y));
        return true;
      }
      return false;
    default:
      return false;
  }
}

void Win32Form::ShowPopup(HWND from, LPARAM pos) {
  if (!popup_) return;
  POINT p;
  if (pos == static_cast<LPARAM>(-1)) {
    // From the keyboard: at the focused control's top-left corner.
    RECT r;
    GetWindowRect(from, &r);
    p = {r.left + 4, r.top + 4};
  } else {
    p = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
  }
  const UINT cmd = static_cast<UINT>(
      TrackPopupMenu(popup_, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, p.x, p.y, 0, hwnd_, nullptr));
  if (cmd >= 1 && cmd <= desc_.popup.size()) {
    const std::string handler = desc_.popup[cmd - 1].onClick;
    if (!handler.empty()) Guard([&] { sink_.Invoke(handler); });
  }
}

void Win32Form::RestoreFocus() {
  if (focus_ && IsWindow(focus_) && IsChild(hwnd_, focus_) && IsWindowVisible(focus_) && IsWindowEnabled(focus_))
    ::SetFocus(focus_);
  else
    FocusFirst();
}

LRESULT Win32Form::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND: {
      if (lp == 0) break;  // menus answer through TrackPopupMenu's result
      auto it = byId_.find(LOWORD(wp));
      if (it == byId_.end()) break;
      const ui::ControlDesc& d = *it->second;
      const WORD code = HIWORD(wp);
      if ((d.kind == ui::Kind::Button || d.kind == ui::Kind::CheckBox) && code == BN_CLICKED) Click(d);
      else if (d.kind == ui::Kind::ListBox && code == LBN_DBLCLK && !d.onClick.empty())
        Guard([&] { sink_.Invoke(d.onClick); });
      return 0;
    }
    case WM_SHOWWINDOW:
      if (wp && !shown_) {
        shown_ = true;
        // Drop acceptance comes first, then the core's FormShow.
        if (desc_.acceptsDrops) DragAcceptFiles(hwnd_, TRUE);
        Guard([&] { sink_.FormShow(); });
      }
      break;
    case WM_CLOSE: {
      if (modal_) {
        EndModal(ui::mrCancel);
        return 0;
      }
      bool canClose = true;
      Guard([&] { canClose = sink_.FormCloseQuery(); });
      if (canClose) {
        closed_ = true;
        ShowWindow(hwnd_, SW_HIDE);
        if (app_.main_ == this) PostQuitMessage(0);
      }
      return 0;
    }
    case WM_QUERYENDSESSION: {
      // The system asks before a log-off: the close query answers.
      bool canClose = true;
      Guard([&] { canClose = sink_.FormCloseQuery(); });
      return canClose ? TRUE : FALSE;
    }
    case WM_DROPFILES: {
      Win32Drop drop(reinterpret_cast<HDROP>(wp));
      Guard([&] { sink_.WMDropFiles(drop); });
      return 0;  // the drop is released by its destructor when the handler did not
    }
    case WM_CONTEXTMENU: {
      if (!popup_) break;
      if (lp != static_cast<LPARAM>(-1)) {
        // Over the title bar the system menu stays.
        POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        ScreenToClient(hwnd_, &p);
        RECT c;
        GetClientRect(hwnd_, &c);
        if (!PtInRect(&c, p)) break;
      }
      ShowPopup(reinterpret_cast<HWND>(wp), lp);
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wp) == WA_INACTIVE) {
        HWND f = GetFocus();
        if (f && IsChild(hwnd_, f)) focus_ = f;
      } else if (!HIWORD(wp)) {
        RestoreFocus();
        UpdateDefaultButton();
      }
      return 0;
    case WM_SETFOCUS:
      RestoreFocus();
      return 0;
    case WM_PAINT:
      Paint();
      return 0;
    default:
      break;
  }
  return DefWindowProcA(hwnd_, msg, wp, lp);
}

// ---- Win32App ----

Win32App::Win32App(HINSTANCE instance) : instance_(instance) {
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof icc;
  icc.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
  InitCommonControlsEx(&icc);
  WindowClass(kPanelClass);
  // The links show the hand pointer.
  WindowClass(kUrlLabelClass, IDC_HAND);
  WindowClass(kUrlImageClass, IDC_HAND);
}

Win32App::~Win32App() {
  for (auto& f : fonts_) DeleteObject(f.second);
}

const std::string& Win32App::WindowClass(const std::string& name, LPCSTR cursor) {
  auto it = classes_.find(name);
  if (it != classes_.end()) return it->second;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &Window::StaticProc;
  wc.hInstance = instance_;
  wc.hCursor = LoadCursorA(nullptr, cursor);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name.c_str();
  if (name != kPanelClass && name != kUrlLabelClass && name != kUrlImageClass) {
    wc.hIcon = LoadIconA(instance_, "MAINICON");
    wc.hIconSm = static_cast<HICON>(LoadImageA(instance_, "MAINICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
  }
  // A class left registered by an earlier instance in this process is reused.
  if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw ui::Error("ウィンドウクラスを登録できません");
  return classes_.emplace(name, name).first->second;
}

HFONT Win32App::Font(const std::string& face, int height) {
  auto key = std::make_pair(face, height);
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second;
  // The designed face, then Japanese gothics with the same metrics, then any Shift-JIS face.
  std::vector<std::wstring> faces{Widen(face, CP_UTF8), L"MS PGothic", L"IPAPGothic", L"IPA Pゴシック",
                                  L"MS UI Gothic", L"IPAGothic", L"IPAゴシック"};
  LOGFONTW lf{};
  lf.lfHeight = -height;  // character height, without the internal leading
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = SHIFTJIS_CHARSET;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  for (const std::wstring& f : faces) {
    if (!f.empty() && FaceExists(f)) {
      lstrcpynW(lf.lfFaceName, f.c_str(), LF_FACESIZE);
      break;
    }
  }
  HFONT font = CreateFontIndirectW(&lf);
  fonts_[key] = font;
  return font;
}

std::wstring Win32App::FontFace(HFONT font) const {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, face);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return face;
}

std::unique_ptr<ui::Form> Win32App::CreateForm(const ui::FormDesc& desc, ui::FormEvents& sink) {
  auto form = std::make_unique<Win32Form>(*this, desc, sink, main_ ? main_->hwnd() : nullptr);
  if (!main_) main_ = form.get();
  forms_.push_back(form.get());
  return form;
}

HWND Win32App::MainHwnd() const { return main_ ? main_->hwnd() : nullptr; }

HWND Win32App::OwnerWindow() const {
  HWND active = GetActiveWindow();
  if (active && FormOf(active)) return active;
  HWND main = MainHwnd();
  return main && IsWindowVisible(main) ? main : nullptr;
}

Win32Form* Win32App::FormOf(HWND hwnd) const {
  if (!hwnd) return nullptr;
  HWND root = GetAncestor(hwnd, GA_ROOT);
  for (Win32Form* f : forms_)
    if (f->hwnd() == root) return f;
  return nullptr;
}

void Win32App::DispatchOne(MSG& msg) {
  Win32Form* form = FormOf(msg.hwnd);
  if (form && form->PreTranslate(msg)) return;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
  if (form && form->hwnd() && (msg.message == WM_LBUTTONDOWN || msg.message == WM_KEYUP || msg.message == WM_KEYDOWN))
    form->UpdateDefaultButton();
}

void Win32App::Run(ui::Form& mainForm) {
  auto& form = static_cast<Win32Form&>(mainForm);
  form.Show();
  MSG msg;
  while (!form.Closed()) {
    const BOOL r = GetMessageA(&msg, nullptr, 0, 0);
    if (r <= 0) break;
    DispatchOne(msg);
  }
}

void Win32App::ProcessMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Leave the quit for the message loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    DispatchOne(msg);
  }
}

void Win32App::WaitForProcessOrInput(ui::Process& process, int ms) {
  const intptr_t h = process.WaitHandle();
  HANDLE handle = reinterpret_cast<HANDLE>(h);
  const DWORD n = h == -1 ? 0 : 1;
  // Any input ends the wait, so Stop or a close request takes effect at once.
  MsgWaitForMultipleObjectsEx(n, n ? &handle : nullptr, static_cast<DWORD>(ms), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

std::string Win32App::ToUtf8(const std::string& ansi) const { return Narrow(Widen(ansi, CP_ACP), CP_UTF8); }

int Win32App::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  return MessageBoxA(OwnerWindow(), ToAnsi(text).c_str(), ToAnsi(caption).c_str(), flags);
}

void Win32App::ShowMessage(const std::string& text) {
  MessageBoxA(OwnerWindow(), ToAnsi(text).c_str(), ToAnsi(title_).c_str(), MB_OK);
}

void Win32App::ShowError(const std::string& message) {
  MessageBoxA(OwnerWindow(), ToAnsi(message + ".").c_str(), ToAnsi(title_).c_str(), MB_ICONHAND | MB_OK);
}

bool Win32App::OpenFiles(const ui::OpenFileOptions& options, std::vector<std::string>& files) {
  const std::string filter = FilterForDialog(ToAnsi(options.filter));
  // Room for many names at first; a choice that does not fit makes the buffer grow.
  std::vector<char> buffer(options.multiSelect ? 65536 : 4096, '\0');
  while (true) {
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = OwnerWindow();
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrDefExt = options.defaultExt.empty() ? nullptr : options.defaultExt.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_EXPLORER;
    if (options.multiSelect) ofn.Flags |= OFN_ALLOWMULTISELECT;
    if (GetOpenFileNameA(&ofn)) {
      files = ParseOpenFileResult(buffer.data(), buffer.size());
      return !files.empty();
    }
    if (CommDlgExtendedError() != FNERR_BUFFERTOOSMALL) return false;
    // The first two bytes say how much the choice needs, when that fits in them.
    const size_t needed = static_cast<unsigned char>(buffer[0]) | (static_cast<unsigned char>(buffer[1]) << 8);
    const size_t size = std::max(buffer.size() * 2, needed + 2);
    buffer.assign(size, '\0');
  }
}

void Win32App::OpenUrl(const std::string& url) {
  ShellExecuteA(OwnerWindow(), "open", url.c_str(), nullptr, nullptr, SW_SHOW);
}

void Win32App::OpenWithAssociated(const std::string& path) {
  ShellExecuteA(MainHwnd(), nullptr, path.c_str(), nullptr, nullptr, SW_SHOW);
}

}  // namespace win32

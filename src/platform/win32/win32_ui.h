// The Win32 front end of the form layer: real windows and controls built from
// the form descriptions, the message loop, and the application services.
#pragma once

// The form layer comes first: <windows.h> defines macros (MB_YESNO, IDYES,
// MessageBox) that would rewrite its names.
#include "ui/ui.h"

#include <windows.h>
#undef MessageBox
#undef DrawText

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace win32 {

class Win32App;
class ExLabelWin;

// The face to ask the font mapper for: the designed one (UTF-8) when it is
// installed, else a Japanese gothic of the same metrics, else the designed name.
std::wstring ResolveFace(const std::string& face);

// Base of every window class this front end registers. One static window
// procedure finds the object from lpCreateParams at creation and hands every
// message to its member function.
class Window {
 public:
  virtual ~Window() = default;
  HWND hwnd() const { return hwnd_; }
  static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

 protected:
  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;
  HWND hwnd_ = nullptr;
};

// A panel: a container that draws its lowered bevel and passes its children's
// notifications on to its parent.
class PanelWindow : public Window {
 public:
  explicit PanelWindow(bool bevelLowered) : bevel_(bevelLowered) {}

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  bool bevel_;
  HFONT font_ = nullptr;
};

class Win32Form : public ui::Form, public Window {
 public:
  Win32Form(Win32App& app, const ui::FormDesc& desc, ui::FormEvents& sink, HWND owner);
  ~Win32Form() override;

  const ui::FormDesc& Desc() const override { return desc_; }
  ui::Control* Find(const std::string& name) override;
  int ClientWidth() const override;
  int ClientHeight() const override;
  SIZE ClientSize() const;
  void SetClientSize(int width, int height) override;
  void SetWindowState(ui::WindowState state) override;
  bool Visible() const override;
  void Close() override;
  int ShowModal() override;
  void EndModal(int result) override;
  intptr_t NativeHandle() const override { return reinterpret_cast<intptr_t>(hwnd_); }

  // Shows the window modelessly; the first showing runs FormShow.
  void Show();
  bool Closed() const { return closed_; }
  // The window of a control (its outer window for a group box with children).
  HWND ControlHwnd(const std::string& name) const;
  // The context menu built from the description.
  HMENU PopupMenu() const { return popup_; }

  // Keyboard handling of the message loop: Tab, Enter, Esc, Alt+letter and
  // the context-menu key. True when the message was used up.
  bool PreTranslate(const MSG& msg);
  // The focused button is the default one; without one the designed default.
  void UpdateDefaultButton();
  // Runs a button's command as a click does.
  void Click(const ui::ControlDesc& desc);
  // The tooltip window that shows the controls' hints (null without hints).
  HWND Tooltip() const { return tooltip_; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void CreateControls();
  std::vector<HWND> TabStops() const;
  void MoveFocus(bool forward);
  void FocusFirst();
  bool Mnemonic(char c);
  void ShowPopup(HWND from, LPARAM pos);
  void RestoreFocus();
  void Guard(const std::function<void()>& handler);
  void AddHint(HWND control, const std::string& hint);
  void Paint();

  Win32App& app_;
  const ui::FormDesc& desc_;
  ui::FormEvents& sink_;
  DWORD style_ = 0, exStyle_ = 0;
  std::map<std::string, std::unique_ptr<ui::Control>> controls_;
  std::map<std::string, HWND> hwnds_;
  std::map<int, const ui::ControlDesc*> byId_;
  std::vector<std::unique_ptr<PanelWindow>> panels_;
  std::vector<std::unique_ptr<Window>> windows_;  // link windows of our own classes
  std::vector<ExLabelWin*> exLabels_;             // windowless labels, in creation order
  HWND tooltip_ = nullptr;
  HMENU popup_ = nullptr;
  HWND focus_ = nullptr;        // the control that had the focus when the window was deactivated
  HWND defaultShown_ = nullptr; // the button drawn as default
  bool shown_ = false;
  bool closed_ = false;
  bool modal_ = false;
  int modalResult_ = ui::mrNone;
  SIZE pendingSize_{0, 0};      // client size set while minimised
  bool hasPendingSize_ = false;
};

class Win32App : public ui::App {
 public:
  explicit Win32App(HINSTANCE instance);
  ~Win32App() override;

  void SetTitle(const std::string& title) override { title_ = title; }
  std::string Title() const override { return title_; }
  std::string ToUtf8(const std::string& ansi) const override;
  std::unique_ptr<ui::Form> CreateForm(const ui::FormDesc& desc, ui::FormEvents& sink) override;
  void Run(ui::Form& mainForm) override;
  void ProcessMessages() override;
  void WaitForProcessOrInput(ui::Process& process, int ms) override;
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& message) override;
  bool OpenFiles(const ui::OpenFileOptions& options, std::vector<std::string>& files) override;
  void OpenWithAssociated(const std::string& path) override;
  // ShellExecuteA "open" owned by the active form, SW_SHOW; the result is not used.
  void OpenUrl(const std::string& url) override;

  HINSTANCE instance() const { return instance_; }
  HFONT Font(const std::string& face, int height);
  // The face name the font mapper gave the forms' font.
  std::wstring FontFace(HFONT font) const;
  // The main window: the first form created while there was none.
  HWND MainHwnd() const;
  // Owner of the program's message boxes and dialogs.
  HWND OwnerWindow() const;
  // One message: keyboard handling, then translation and dispatch.
  void DispatchOne(MSG& msg);
  const std::string& WindowClass(const std::string& name, LPCSTR cursor = IDC_ARROW);

 private:
  friend class Win32Form;
  Win32Form* FormOf(HWND hwnd) const;

  HINSTANCE instance_;
  std::string title_;
  std::map<std::pair<std::string, int>, HFONT> fonts_;
  std::map<std::string, std::string> classes_;
  std::vector<Win32Form*> forms_;
  Win32Form* main_ = nullptr;
  bool quit_ = false;
};

}  // namespace win32

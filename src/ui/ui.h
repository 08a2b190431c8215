// The form layer: abstract windows, controls and application services that
// the core's handlers are written against. Each front end (Qt, Win32, the
// headless one of the tests) implements these classes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/forms.h"
#include "widgets/exlabel.h"
#include "widgets/url_link.h"

namespace ui {

// The error type of the form layer. Its message is shown by the top-level
// error box with "." appended.
class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// Messages of the list control.
extern const char* const kListIndexError;   // "ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています"
extern const char* const kListInsertError;  // "行を挿入できません"

class Control {
 public:
  virtual ~Control() = default;
  virtual const ControlDesc& Desc() const = 0;
  virtual Rect Bounds() const = 0;
  virtual void SetBounds(const Rect& r) = 0;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool visible) = 0;
  // Caption of a label, button or box; text of an edit box.
  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  // Puts the control above its siblings.
  virtual void BringToFront() = 0;
  virtual void SetFocus() = 0;
};

class ListBox : public Control {
 public:
  virtual int Count() const = 0;
  // Throws Error(kListIndexError) when i names no entry.
  virtual std::string Item(int i) const = 0;
  // Throws Error(kListInsertError) when the list can take no further entry.
  virtual void Append(const std::string& text) = 0;
  virtual void Delete(int i) = 0;
  virtual void Clear() = 0;
  virtual bool Selected(int i) const = 0;
  virtual void SetSelected(int i, bool selected) = 0;
  // The current entry (the one with the list's focus), -1 when there is none.
  virtual int ItemIndex() const = 0;
  virtual void SetItemIndex(int i) = 0;
};

class CheckBox : public Control {
 public:
  virtual bool Checked() const = 0;
  virtual void SetChecked(bool checked) = 0;
};

class ComboBox : public Control {
 public:
  // Selected entry, -1 when none. Setting a number outside the entries clears the selection.
  virtual int ItemIndex() const = 0;
  virtual void SetItemIndex(int i) = 0;
};

// A 3-D text label; the front end paints Label() on its canvas.
class ExLabelControl : public Control {
 public:
  virtual widgets::TExLabel& Label() = 0;
};

// A hyperlink label; the front end feeds Link() the mouse and paints its colour.
class UrlLabelControl : public Control {
 public:
  virtual widgets::TProUrlLabel& Link() = 0;
};

// A hyperlink picture; the front end calls Image().Click() on a click.
class UrlImageControl : public Control {
 public:
  virtual widgets::TProUrlImage& Image() = 0;
};

enum class WindowState { Normal, Minimized };

// Modal results.
constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;

class Form {
 public:
  virtual ~Form() = default;
  virtual const FormDesc& Desc() const = 0;
  virtual Control* Find(const std::string& name) = 0;
  virtual int ClientWidth() const = 0;
  virtual int ClientHeight() const = 0;
  virtual void SetClientSize(int width, int height) = 0;
  virtual void SetWindowState(WindowState state) = 0;
  virtual bool Visible() const = 0;
  // Asks the window to close, as its close box does; the close query decides.
  virtual void Close() = 0;
  // Shows the form modally; returns its modal result (mrCancel for the close box).
  virtual int ShowModal() = 0;
  // Ends a modal showing with the given result.
  virtual void EndModal(int result) = 0;
  // The native window (an HWND on Windows), 0 where there is none.
  virtual intptr_t NativeHandle() const { return 0; }

  // The Tag value of the form.
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }

  template <typename T>
  T& Get(const std::string& name) {
    Control* c = Find(name);
    T* t = dynamic_cast<T*>(c);
    if (!t) throw std::logic_error("no control " + name);
    return *t;
  }

 private:
  int tag_ = 0;
};

// Files dropped on a window: the count, each full name, and the release.
class DropSource {
 public:
  virtual ~DropSource() = default;
  virtual int Count() = 0;
  virtual std::string Name(int i) = 0;
  virtual void Finish() = 0;
};

// What a form's owner in the core receives from its window.
class FormEvents {
 public:
  virtual ~FormEvents() = default;
  // A control or menu item bound to the handler name was activated. (A button
  // with a modal result ends its form's modal showing instead.)
  virtual void Invoke(const std::string& handler) = 0;
  // The window is shown for the first time.
  virtual void FormShow() {}
  // A close request; returns CanClose.
  virtual bool FormCloseQuery() { return true; }
  // Files were dropped on the window.
  virtual void WMDropFiles(DropSource&) {}
};

// The encoder process record (one for the whole program).
constexpr int kStillActive = 259;

struct EncoderCommand {
  std::string commandLine;        // the text CreateProcessA receives
  std::vector<std::string> argv;  // the same parts as separate arguments, for posix_spawn
};

class Process {
 public:
  virtual ~Process() = default;
  // Clears the record (handles of an earlier process are closed first).
  virtual void Clear() = 0;
  // Starts the encoder; false when it cannot be started.
  virtual bool Start(const EncoderCommand& cmd, bool hideConsole) = 0;
  // kStillActive while the process runs; its exit code once it has ended.
  virtual int ExitCode() = 0;
  // Ends a running process with exit code 0 and waits until it is gone;
  // true when it ended a process that was still running.
  virtual bool Terminate() = 0;
  // A handle the front end's wait can block on: a pidfd on Linux, a process
  // HANDLE on Windows; -1 when no process was started.
  virtual intptr_t WaitHandle() const = 0;
};

// Flags of a message box, as the Windows values.
constexpr unsigned MB_YESNO = 0x04;
constexpr unsigned MB_ICONHAND = 0x10;
constexpr int IDOK = 1;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

struct OpenFileOptions {
  std::string filter;      // "caption|pattern|caption|pattern..."
  std::string defaultExt;  // added when a typed name has none
  bool multiSelect = false;
};

// Application services of the front end. Texts given to the message boxes are
// UTF-8, as the program's own captions and messages are written.
class App {
 public:
  virtual ~App() = default;
  // The program's 8-bit text (a path, a list entry: the ANSI code page on
  // Windows, UTF-8 on Linux) as UTF-8, for a message that joins it with the
  // program's own texts.
  virtual std::string ToUtf8(const std::string& text) const { return text; }
  virtual void SetTitle(const std::string& title) = 0;
  virtual std::string Title() const = 0;
  // Creates a hidden window from its description; events go to sink.
  virtual std::unique_ptr<Form> CreateForm(const FormDesc& desc, FormEvents& sink) = 0;
  // Shows the main window and runs the message loop until it has closed.
  virtual void Run(Form& mainForm) = 0;
  // Handles every pending message, then returns.
  virtual void ProcessMessages() = 0;
  // Blocks until the process has ended, input arrived, or ms milliseconds passed.
  virtual void WaitForProcessOrInput(Process& process, int ms) = 0;
  // Modal message box owned by the application; returns the button pressed.
  virtual int MessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
  // Modal message with one OK button, captioned with the title.
  virtual void ShowMessage(const std::string& text) = 0;
  // The top-level error box: stop icon, OK, the title as caption, text + ".".
  virtual void ShowError(const std::string& message) = 0;
  // Open-file dialog; true and the chosen full paths, or false on cancel.
  virtual bool OpenFiles(const OpenFileOptions& options, std::vector<std::string>& files) = 0;
  // Opens the file with the program associated with its type; the result is not used.
  virtual void OpenWithAssociated(const std::string& path) = 0;
  // Opens a URL (a web address, a mailto: link) with the desktop's handler.
  virtual void OpenUrl(const std::string& url) { OpenWithAssociated(url); }
};

// Runs a handler the way the message loop does: an Error that escapes it is
// shown by the top-level error box and the loop goes on.
void Dispatch(App& app, const std::function<void()>& handler);

}  // namespace ui

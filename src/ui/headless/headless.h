// An in-memory front end for tests and benchmarks: controls keep their state,
// dialogs and message boxes answer from scripts and record what they showed.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/ui.h"

namespace ui::headless {

class HeadlessApp;

class HeadlessForm : public Form {
 public:
  HeadlessForm(HeadlessApp& app, const FormDesc& desc, FormEvents& sink);
  ~HeadlessForm() override;

  const FormDesc& Desc() const override { return desc_; }
  Control* Find(const std::string& name) override;
  int ClientWidth() const override { return width_; }
  int ClientHeight() const override { return height_; }
  void SetClientSize(int w, int h) override { width_ = w; height_ = h; }
  void SetWindowState(WindowState s) override { states_.push_back(s); }
  bool Visible() const override { return visible_; }
  void Close() override;
  int ShowModal() override;
  void EndModal(int result) override { modalResult_ = result; }

  // Test actions, each run as the message loop runs a handler.
  void Click(const std::string& control);  // a button, or a double-click of the list
  void Menu(const std::string& item);      // a context-menu item
  void Drop(const std::vector<std::string>& names);
  void Show();  // first showing: FormShow

  bool Closed() const { return closed_; }
  const std::vector<WindowState>& States() const { return states_; }
  int dropFinishCount = 0;
  // Runs while the form is shown modally; returns the modal result.
  std::function<int(HeadlessForm&)> onShowModal;

 private:
  HeadlessApp& app_;
  const FormDesc& desc_;
  FormEvents& sink_;
  std::map<std::string, std::unique_ptr<Control>> controls_;
  int width_, height_;
  bool visible_ = false;
  bool closed_ = false;
  int modalResult_ = mrNone;
  std::vector<WindowState> states_;
};

struct MessageRecord {
  std::string text, caption;
  unsigned flags;
};

class HeadlessApp : public App {
 public:
  HeadlessApp();
  ~HeadlessApp() override;

  void SetTitle(const std::string& t) override { title_ = t; }
  std::string Title() const override { return title_; }
  // Marks converted text when set, so tests see where the conversion applies.
  std::string ToUtf8(const std::string& text) const override { return toUtf8Marker + text; }
  std::string toUtf8Marker;
  std::unique_ptr<Form> CreateForm(const FormDesc& desc, FormEvents& sink) override;
  void Run(Form& mainForm) override;
  void ProcessMessages() override;
  void WaitForProcessOrInput(Process& process, int ms) override;
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& message) override;
  bool OpenFiles(const OpenFileOptions& options, std::vector<std::string>& files) override;
  void OpenWithAssociated(const std::string& path) override;
  void OpenUrl(const std::string& url) override;

  // Queues an action for the next pass of message handling and wakes a wait.
  void Post(std::function<void()> action);

  // Forms created so far, by name.
  HeadlessForm& FormNamed(const std::string& name);

  // Runs at every pass of message handling (after the posted actions).
  std::function<void()> onPump;
  // Answers of the next message boxes (IDYES when empty).
  std::deque<int> messageBoxAnswers;
  // Answers of the next open-file dialogs; an empty optional is a cancel.
  std::deque<std::pair<bool, std::vector<std::string>>> openFileAnswers;
  // Largest number of entries a list box takes.
  int listCapacity = 1 << 30;

  std::vector<MessageRecord> messageBoxes;
  std::vector<std::string> messages;
  std::vector<std::string> errors;
  std::vector<OpenFileOptions> openFileRequests;
  std::vector<std::string> opened;
  std::vector<std::string> openedUrls;
  int waits = 0;
  int pumps = 0;

 private:
  friend class HeadlessForm;
  std::string title_;
  std::deque<std::function<void()>> posted_;
  std::vector<HeadlessForm*> forms_;
  int wakeFd_ = -1;
};

}  // namespace ui::headless

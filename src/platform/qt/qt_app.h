// The application services of the form layer on Qt: title, forms, the
// message loop and process waits, message boxes, file dialogs, opening files.
#pragma once

#include <QObject>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

#include "ui/ui.h"

class QDialog;
class QWidget;

namespace qtui {

class QtForm;

class QtApp : public QObject, public ui::App {
 public:
  // Needs a QApplication that lives longer than this object.
  QtApp();
  ~QtApp() override;

  void SetTitle(const std::string& title) override { title_ = title; }
  std::string Title() const override { return title_; }
  std::unique_ptr<ui::Form> CreateForm(const ui::FormDesc& desc, ui::FormEvents& sink) override;
  void Run(ui::Form& mainForm) override;
  void ProcessMessages() override;
  void WaitForProcessOrInput(ui::Process& process, int ms) override;
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& message) override;
  bool OpenFiles(const ui::OpenFileOptions& options, std::vector<std::string>& files) override;
  void OpenWithAssociated(const std::string& path) override;
  void OpenUrl(const std::string& url) override;

  // Runs a modal dialog of the application (message box, file dialog): through
  // modalHook when one is set, otherwise with exec().
  int RunModal(QDialog& dialog);
  // Replaces exec() for the dialogs of RunModal; tests read and answer them here.
  std::function<int(QDialog&)> modalHook;

  // The form created with this name, or nullptr.
  QtForm* FormNamed(const std::string& name) const;
  // The owner of the application's dialogs: the active form, else the first one.
  QWidget* DialogParent() const;

 protected:
  // Right-button release and the context-menu key on any widget of a form open its menu.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class QtForm;
  QtForm* OwnerOf(QObject* object) const;
  std::string title_;
  std::vector<QtForm*> forms_;
};

// Qt name filters from "caption|pattern|caption|pattern...": one filter
// "caption (patterns)" per pair, ";" in a pattern becoming a blank and "*.*"
// becoming "*" (every file, as on Windows); an unpaired caption is dropped.
QStringList NameFilters(const std::string& pairs);

}  // namespace qtui

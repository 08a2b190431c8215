// A form of the form layer built from its description with Qt Widgets.
#pragma once

#include <QDialog>
#include <QFont>
#include <QPoint>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "ui/ui.h"

class QMenu;

namespace qtui {

class QtApp;
class QtForm;

// The top-level widget of a form. It is a QDialog on every form, so that
// Enter presses the default button (or the focused button) as on Windows.
class FormWindow : public QDialog {
 public:
  FormWindow(QtForm& form, QWidget* parent);

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  QtForm& form_;
};

class QtForm : public ui::Form {
 public:
  QtForm(QtApp& app, const ui::FormDesc& desc, ui::FormEvents& sink);
  ~QtForm() override;

  // ui::Form
  const ui::FormDesc& Desc() const override { return desc_; }
  ui::Control* Find(const std::string& name) override;
  int ClientWidth() const override;
  int ClientHeight() const override;
  void SetClientSize(int width, int height) override;
  void SetWindowState(ui::WindowState state) override;
  bool Visible() const override;
  void Close() override;
  int ShowModal() override;
  void EndModal(int result) override;
  // The form's window (its FormWindow), which owns the form's dialogs.
  intptr_t NativeHandle() const override { return reinterpret_cast<intptr_t>(window_); }

  // Shows the form without a modal loop (the main window); the first showing runs FormShow.
  void Show();
  bool Closed() const { return closed_; }
  // Runs when the form has closed (not when a modal showing ended).
  std::function<void()> onClosed;

  FormWindow* Window() const { return window_; }
  // The widget of a control, or nullptr.
  QWidget* Widget(const std::string& name) const;
  // The context menu, or nullptr when the form has none.
  QMenu* PopupMenu() const { return popup_; }
  // Opens the context menu at a global position.
  void OpenPopup(const QPoint& globalPos);
  // Asks the form's close query (FormCloseQuery) whether it may close.
  bool CloseQuery();

 private:
  friend class FormWindow;
  void Build();
  void BuildTabOrder();
  // The form's font as the label's canvas takes it.
  widgets::TFont FormFont() const;
  void Click(const ui::ControlDesc& d);
  void FirstShow();
  void Dropped(const std::vector<std::string>& names);

  QtApp& app_;
  const ui::FormDesc& desc_;
  ui::FormEvents& sink_;
  FormWindow* window_ = nullptr;
  QMenu* popup_ = nullptr;
  std::map<std::string, std::unique_ptr<ui::Control>> controls_;
  std::map<std::string, QWidget*> widgets_;
  bool shown_ = false;
  bool closed_ = false;
  bool inModal_ = false;
  int suspended_ = 0;
};

// The window font: "ＭＳ Ｐゴシック" 12 px when installed, else IPAPGothic, else a CJK sans.
QFont WindowFont(const ui::FormDesc& desc);

}  // namespace qtui

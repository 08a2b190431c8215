// TEncodeOptionF: the encode options dialog; its controls hold the options.
#pragma once

#include <memory>

#include "ui/ui.h"

namespace app {

class TEncodeOptionF : public ui::FormEvents {
 public:
  explicit TEncodeOptionF(ui::App& app);
  ui::Form& form() { return *form_; }

  int BitRateIndex() { return cboBitRate->ItemIndex(); }
  void SetBitRateIndex(int i) { cboBitRate->SetItemIndex(i); }
  bool RawMode() { return chkRawMode->Checked(); }
  void SetRawMode(bool on) { chkRawMode->SetChecked(on); }
  bool HideConsole() { return chkHideConsole->Checked(); }
  void SetHideConsole(bool on) { chkHideConsole->SetChecked(on); }
  bool ShellExt() { return chkShellExt->Checked(); }
  void SetShellExt(bool on) { chkShellExt->SetChecked(on); }

  void Invoke(const std::string& handler) override;

 private:
  std::unique_ptr<ui::Form> form_;
  ui::ComboBox* cboBitRate;
  ui::CheckBox* chkRawMode;
  ui::CheckBox* chkShellExt;
  ui::CheckBox* chkHideConsole;
};

}  // namespace app

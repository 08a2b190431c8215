// TAboutF: the about box with its engraved headings and its two links.
#pragma once

#include <memory>

#include "ui/ui.h"

namespace app {

class TAboutF : public ui::FormEvents {
 public:
  explicit TAboutF(ui::App& app);
  ui::Form& form() { return *form_; }
  void Invoke(const std::string& handler) override;
  void Button1Click();

 private:
  std::unique_ptr<ui::Form> form_;
};

}  // namespace app

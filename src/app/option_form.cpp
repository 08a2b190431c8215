#include "app/option_form.h"

namespace app {

TEncodeOptionF::TEncodeOptionF(ui::App& app)
    : form_(app.CreateForm(ui::EncodeOptionFormDesc(), *this)),
      cboBitRate(&form_->Get<ui::ComboBox>("cboBitRate")),
      chkRawMode(&form_->Get<ui::CheckBox>("chkRawMode")),
      chkShellExt(&form_->Get<ui::CheckBox>("chkShellExt")),
      chkHideConsole(&form_->Get<ui::CheckBox>("chkHideConsole")) {}

// The dialog's buttons end it by their modal results; it has no handlers of its own.
void TEncodeOptionF::Invoke(const std::string&) {}

}  // namespace app

#include "app/application.h"

#include "about/about_form.h"
#include "app/main_form.h"
#include "app/option_form.h"

namespace app {

int RunApplication(Services& s) {
  try {
    s.app.SetTitle("Brimvale");
    TOggEncodeF main(s);
    TAboutF about(s.app);
    TEncodeOptionF options(s.app);
    main.SetDialogs(&about, &options);
    s.app.Run(main.form());
  } catch (const ui::Error& e) {
    s.app.ShowError(e.what());
  }
  return 0;
}

}  // namespace app

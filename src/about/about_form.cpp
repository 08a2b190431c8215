#include "about/about_form.h"

namespace app {

TAboutF::TAboutF(ui::App& app) : form_(app.CreateForm(ui::AboutFormDesc(), *this)) {
  // The three headings: engraved, a white copy one pixel right and down.
  for (const char* name : {"ExLabel1", "ExLabel2", "ExLabel3"}) {
    auto* c = dynamic_cast<ui::ExLabelControl*>(form_->Find(name));
    if (!c) continue;
    widgets::TExLabel& l = c->Label();
    l.SetBackFont(widgets::clWhite);
    l.SetFont3D(true);
    l.SetDrawOutLine(false);
    l.SetFontDepth(1);
    l.SetEdgeDepth(10);
    l.SetOutLineColor(widgets::clBlack);
    l.alignment = widgets::taCenter;
    l.autoSize = false;
  }
  if (auto* c = dynamic_cast<ui::UrlLabelControl*>(form_->Find("ProUrlLabel1"))) {
    widgets::TProUrlLabel& link = c->Link();
    link.SetFontColor(widgets::clBlue);
    link.onOpen = [&app](const std::string& target) { app.OpenUrl(target); };
  }
  if (auto* c = dynamic_cast<ui::UrlImageControl*>(form_->Find("ProUrlImage1")))
    c->Image().onOpen = [&app](const std::string& url) { app.OpenUrl(url); };
}

void TAboutF::Invoke(const std::string& handler) {
  if (handler == "Button1Click") Button1Click();
}

// Closing a modally shown form ends the showing with the cancel result.
void TAboutF::Button1Click() { form_->EndModal(ui::mrCancel); }

}  // namespace app

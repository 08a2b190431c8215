// TOggEncodeF: the main window, its commands, the batch run and the settings.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "about/about_form.h"
#include "app/option_form.h"
#include "app/services.h"
#include "ui/ui.h"

namespace app {

// Message shown when the encoder cannot be started.
extern const char* const kEncoderStartFailed;  // "Ogg Vorbis Encoderが実行できませんでした。"

class TOggEncodeF : public ui::FormEvents {
 public:
  explicit TOggEncodeF(Services& services);
  ui::Form& form() { return *form_; }

  // The two dialogs, created after the main window.
  void SetDialogs(TAboutF* about, TEncodeOptionF* options) {
    about_ = about;
    options_ = options;
  }

  // FormEvents
  void Invoke(const std::string& handler) override;
  void FormShow() override;
  bool FormCloseQuery() override;
  void WMDropFiles(ui::DropSource& drop) override;

  // Handlers of the main window.
  void btnStartEncodeClick();
  void btnStopEncodeClick();
  void btnAddListClick();
  void btnDelListClick();
  void btnClearListClick();
  void lstSrcFileDblClick();
  void btnBrowseOggClick();
  void btnBrowseOutputDirClick();
  void btnOptionClick();
  void btnAboutClick();
  void btnExitClick();

  // The settings file.
  void LoadSettings();
  void SaveSettings();

  // Asks about the old encoder; true to go on.
  bool ConfirmOldEncoder(const std::string& encoderPath);
  std::string BuildOptionText();

  bool Running() const { return running_; }
  widgets::TFolderDialog& FolderDialog1() { return folderDialog1_; }

 private:
  void EnterProgressView();
  void LeaveProgressView();
  void ReportFailures(const std::vector<std::string>& failed);

  Services& s_;
  std::unique_ptr<ui::Form> form_;
  TAboutF* about_ = nullptr;
  TEncodeOptionF* options_ = nullptr;

  ui::ListBox& lstSrcFile;
  ui::Control& edtOggPath;
  ui::Control& edtOutputDir;
  ui::Control& pnlProgress;
  ui::Control& lblFileName;
  ui::Control& lblNowCount;
  ui::Control& lblTotalCount;
  widgets::TFolderDialog folderDialog1_;  // FolderDialog1, every property at its default

  bool running_ = false;        // a run is on the stack of the Start handler
  bool terminated_ = false;     // Stop ended the encoder of the current file
  bool closeRefused_ = false;   // a close was refused once because the save failed
};

}  // namespace app

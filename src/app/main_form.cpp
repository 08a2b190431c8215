#include "app/main_form.h"

#include <algorithm>

#include "encode/command_line.h"
#include "settings/profile.h"
#include "text/text.h"

namespace app {

const char* const kEncoderStartFailed = "Ogg Vorbis Encoderが実行できませんでした。";

namespace {

const char* const kAddFilter =
    "WAV・MP3ファイル (*.wav;*.mp3)|*.wav;*.mp3|WAVファイル (*.wav)|*.wav|"
    "MP3ファイル (*.mp3)|*.mp3|すべてのファイル (*.*)|*.*";
const char* const kEncoderFilter =
    "ogglame.exe|ogglame.exe|実行ファイル (*.exe)|*.exe|すべてのファイル (*.*)|*.*";

// Entries named in the failure message before the rest are only counted.
constexpr size_t kFailuresNamed = 5;
// Largest number of list entries read from the settings file.
constexpr int32_t kMaxListCount = 100000;

}  // namespace

TOggEncodeF::TOggEncodeF(Services& services)
    : s_(services),
      form_(services.app.CreateForm(ui::MainFormDesc(), *this)),
      lstSrcFile(form_->Get<ui::ListBox>("lstSrcFile")),
      edtOggPath(form_->Get<ui::Control>("edtOggPath")),
      edtOutputDir(form_->Get<ui::Control>("edtOutputDir")),
      pnlProgress(form_->Get<ui::Control>("pnlProgress")),
      lblFileName(form_->Get<ui::Control>("lblFileName")),
      lblNowCount(form_->Get<ui::Control>("lblNowCount")),
      lblTotalCount(form_->Get<ui::Control>("lblTotalCount")),
      folderDialog1_(services.folders, form_->NativeHandle(), services.traits.path) {
  edtOggPath.SetText(s_.traits.defaultEncoder);
}

void TOggEncodeF::Invoke(const std::string& h) {
  if (h == "btnStartEncodeClick") btnStartEncodeClick();
  else if (h == "btnStopEncodeClick") btnStopEncodeClick();
  else if (h == "btnAddListClick") btnAddListClick();
  else if (h == "btnDelListClick") btnDelListClick();
  else if (h == "btnClearListClick") btnClearListClick();
  else if (h == "lstSrcFileDblClick") lstSrcFileDblClick();
  else if (h == "btnBrowseOggClick") btnBrowseOggClick();
  else if (h == "btnBrowseOutputDirClick") btnBrowseOutputDirClick();
  else if (h == "btnOptionClick") btnOptionClick();
  else if (h == "btnAboutClick") btnAboutClick();
  else if (h == "btnExitClick") btnExitClick();
}

// ---- start-up and closing ----

void TOggEncodeF::FormShow() {
  // Drop acceptance is switched on by the front end for a form that accepts drops.
  LoadSettings();
  for (const std::string& arg : s_.args) lstSrcFile.Append(arg);
}

bool TOggEncodeF::FormCloseQuery() {
  bool canClose = true;
  if (pnlProgress.Visible()) {
    btnStopEncodeClick();
    canClose = false;
  }
  try {
    SaveSettings();
    closeRefused_ = false;
  } catch (const ui::Error& e) {
    s_.app.ShowError(e.what());
    // Refuse the close once so the user sees what was not saved; the next request closes.
    if (!closeRefused_) {
      closeRefused_ = true;
      canClose = false;
    }
  }
  return canClose;
}

void TOggEncodeF::btnExitClick() { form_->Close(); }

void TOggEncodeF::btnAboutClick() {
  if (about_) about_->form().ShowModal();
}

void TOggEncodeF::btnBrowseOggClick() {
  ui::OpenFileOptions o;
  o.filter = kEncoderFilter;
  o.defaultExt = "exe";
  o.multiSelect = false;
  std::vector<std::string> files;
  if (s_.app.OpenFiles(o, files) && !files.empty()) edtOggPath.SetText(files.front());
}

void TOggEncodeF::btnBrowseOutputDirClick() {
  if (folderDialog1_.Execute()) edtOutputDir.SetText(folderDialog1_.SelectedDir());
}

void TOggEncodeF::btnOptionClick() {
  SaveSettings();
  if (!options_) return;
  if (options_->form().ShowModal() == ui::mrOk) SaveSettings();
  else LoadSettings();
}

// ---- the source list ----

void TOggEncodeF::btnAddListClick() {
  ui::OpenFileOptions o;
  o.filter = kAddFilter;
  o.multiSelect = true;
  std::vector<std::string> files;
  if (!s_.app.OpenFiles(o, files)) return;
  for (const std::string& f : files) lstSrcFile.Append(f);
}

void TOggEncodeF::btnDelListClick() {
  int i = 0;
  while (i < lstSrcFile.Count()) {
    if (lstSrcFile.Selected(i)) lstSrcFile.Delete(i);
    else ++i;
  }
}

void TOggEncodeF::btnClearListClick() { lstSrcFile.Clear(); }

void TOggEncodeF::lstSrcFileDblClick() {
  const std::string entry = lstSrcFile.Item(lstSrcFile.ItemIndex());
  s_.app.OpenWithAssociated(entry);
}

void TOggEncodeF::WMDropFiles(ui::DropSource& drop) {
  const int n = drop.Count();
  try {
    for (int i = 0; i < n; ++i) lstSrcFile.Append(drop.Name(i));
  } catch (...) {
    drop.Finish();
    throw;
  }
  drop.Finish();
}

// ---- the batch run ----

bool TOggEncodeF::ConfirmOldEncoder(const std::string& encoderPath) {
  if (!encode::IsOldEncoder(encoderPath, s_.traits)) return true;
  const std::string message =
      "Ogg Vorbisエンコーダのバージョンが古いため\n"
      "正常にエンコード出来ない可能性があります。\n"
      "続けますか？";
  return s_.app.MessageBox(message, "警告", ui::MB_YESNO | ui::MB_ICONHAND) == ui::IDYES;
}

std::string TOggEncodeF::BuildOptionText() {
  if (!options_) return encode::BuildOptionText(1, false);
  return encode::BuildOptionText(options_->BitRateIndex(), options_->RawMode());
}

void TOggEncodeF::EnterProgressView() {
  form_->SetWindowState(ui::WindowState::Minimized);
  form_->SetClientSize(301, 60);
  ui::Rect r = pnlProgress.Bounds();
  r.left = 0;
  r.top = 0;
  pnlProgress.SetBounds(r);
  pnlProgress.SetVisible(true);
  pnlProgress.BringToFront();
  form_->SetWindowState(ui::WindowState::Normal);
}

void TOggEncodeF::LeaveProgressView() {
  form_->SetWindowState(ui::WindowState::Minimized);
  form_->SetClientSize(489, 225);
  pnlProgress.SetVisible(false);
  form_->SetWindowState(ui::WindowState::Normal);
}

void TOggEncodeF::btnStartEncodeClick() {
  // One run at a time: Start during a run does nothing.
  if (running_) return;
  if (!ConfirmOldEncoder(edtOggPath.Text())) return;
  running_ = true;
  struct RunningReset {
    bool& flag;
    ~RunningReset() { flag = false; }
  } reset{running_};

  s_.encoder.Clear();
  const bool hide = options_ ? options_->HideConsole() : true;
  form_->SetTag(0);
  terminated_ = false;
  EnterProgressView();

  const std::string optionText = BuildOptionText();
  bool prepared = false;
  std::string folder;
  auto prepare = [&] {
    folder = encode::PrepareOutputFolder(edtOutputDir.Text(), s_.traits);
    s_.fs.ForceDirectories(folder);
    prepared = true;
  };
  if (!edtOutputDir.Text().empty()) prepare();
  lblTotalCount.SetText(text::Decimal(lstSrcFile.Count()));

  std::vector<std::string> failed;
  for (int i = 0; i < lstSrcFile.Count() && form_->Tag() == 0; ++i) {
    const std::string source = lstSrcFile.Item(i);
    const bool toFolder = !edtOutputDir.Text().empty();
    // A folder filled in during the run applies to the files that follow.
    if (toFolder && !prepared) prepare();
    const std::string output = encode::BuildOutputPath(source, toFolder ? &folder : nullptr, s_.traits);
    const std::string encoder = edtOggPath.Text();
    const ui::EncoderCommand command = encode::BuildCommand(encoder, optionText, source, output);
    lblFileName.SetText(text::FileNamePart(source, s_.traits.path));
    lblNowCount.SetText(text::Decimal(i + 1));

    if (encode::CheckEntry(encoder, source, output, command, s_.traits) != encode::Refusal::None) {
      failed.push_back(source);
      continue;
    }
    if (!s_.encoder.Start(command, hide)) {
      s_.app.ShowMessage(kEncoderStartFailed);
      btnStopEncodeClick();
      return;
    }
    int code;
    while (true) {
      s_.app.ProcessMessages();
      s_.app.WaitForProcessOrInput(s_.encoder, 1000);
      code = s_.encoder.ExitCode();
      if (code != ui::kStillActive || form_->Tag() != 0) break;
    }
    if (terminated_) {
      // A stopped encoder leaves a file that only looks finished.
      s_.fs.RemoveFile(output);
      terminated_ = false;
    } else if (code != 0 || !s_.fs.Exists(output)) {
      // An encoder that ends without its output file has failed as well.
      failed.push_back(source);
    }
  }

  if (form_->Tag() == 0) {
    btnStopEncodeClick();
    lstSrcFile.Clear();
    for (const std::string& f : failed) lstSrcFile.Append(f);
    if (!failed.empty()) ReportFailures(failed);
  }
  SaveSettings();
}

void TOggEncodeF::ReportFailures(const std::vector<std::string>& failed) {
  std::string m = "エンコードできなかったファイルが " + text::Decimal(static_cast<long long>(failed.size())) +
                  " 個あります。リストに残しました。";
  for (size_t i = 0; i < failed.size() && i < kFailuresNamed; ++i) m += "\n" + s_.app.ToUtf8(failed[i]);
  if (failed.size() > kFailuresNamed)
    m += "\nほか " + text::Decimal(static_cast<long long>(failed.size() - kFailuresNamed)) + " 個";
  s_.app.ShowMessage(m);
}

void TOggEncodeF::btnStopEncodeClick() {
  form_->SetTag(1);
  if (s_.encoder.Terminate()) terminated_ = true;
  LeaveProgressView();
}

// ---- settings ----

namespace {

// The four encode options in the order they are stored.
struct OptionKey {
  const char* key;
  int32_t (*get)(TEncodeOptionF&);
  void (*set)(TEncodeOptionF&, int32_t);
  int32_t (*def)(TEncodeOptionF&);
};

const OptionKey kOptionKeys[] = {
    {"BitRate", [](TEncodeOptionF& o) { return static_cast<int32_t>(o.BitRateIndex()); },
     [](TEncodeOptionF& o, int32_t v) { o.SetBitRateIndex(v); }, [](TEncodeOptionF&) { return int32_t{1}; }},
    {"RawMode", [](TEncodeOptionF& o) { return int32_t{o.RawMode()}; },
     [](TEncodeOptionF& o, int32_t v) { o.SetRawMode(v != 0); }, [](TEncodeOptionF&) { return int32_t{0}; }},
    {"HideConsole", [](TEncodeOptionF& o) { return int32_t{o.HideConsole()}; },
     [](TEncodeOptionF& o, int32_t v) { o.SetHideConsole(v != 0); }, [](TEncodeOptionF&) { return int32_t{1}; }},
    {"ShellExt", [](TEncodeOptionF& o) { return int32_t{o.ShellExt()}; },
     [](TEncodeOptionF& o, int32_t v) { o.SetShellExt(v != 0); },
     [](TEncodeOptionF& o) { return int32_t{o.ShellExt()}; }},
};

}  // namespace

void TOggEncodeF::LoadSettings() {
  const settings::Profile ini(s_.settings.Read().value_or(std::string()));
  edtOggPath.SetText(ini.ReadString("Setting", "OggPath", edtOggPath.Text()));
  if (options_)
    for (const OptionKey& k : kOptionKeys) k.set(*options_, ini.ReadInteger("Option", k.key, k.def(*options_)));
  lstSrcFile.Clear();
  const int32_t n = std::min(ini.ReadInteger("List", "Count", 0), kMaxListCount);
  for (int32_t i = 0; i < n; ++i) lstSrcFile.Append(ini.ReadString("List", text::Decimal(i), ""));
}

void TOggEncodeF::SaveSettings() {
  // The file is rewritten whole, so keys this program does not write stay.
  settings::Profile ini(s_.settings.Read().value_or(std::string()));
  auto commit = [&] {
    if (!s_.settings.Write(ini.Serialize(s_.traits.newline)))
      throw ui::Error(s_.app.ToUtf8(s_.settings.Path()) + " に書き込めません");
  };
  ini.WriteString("Setting", "OggPath", edtOggPath.Text());
  if (options_)
    for (const OptionKey& k : kOptionKeys) ini.WriteInteger("Option", k.key, k.get(*options_));
  try {
    if (options_ && options_->ShellExt()) s_.verb.Register();
    else s_.verb.Unregister();
  } catch (const ui::Error&) {
    // The keys before the verb step are kept; the list is not written.
    commit();
    throw;
  }
  const int n = lstSrcFile.Count();
  ini.WriteInteger("List", "Count", n);
  for (int i = 0; i < n; ++i) ini.WriteString("List", text::Decimal(i), lstSrcFile.Item(i));
  commit();
}

}  // namespace app

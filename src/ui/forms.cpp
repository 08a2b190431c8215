#include "ui/forms.h"

namespace ui {

const char* const kFontFace = "ＭＳ Ｐゴシック";
const char* const kAboutCopyright = "Copyright (C) 2026 Brimvale";
const char* const kAboutMail = "info@example.org";
const char* const kAboutHomePage = "https://brimvale.example.org/";

const ControlDesc* FormDesc::Find(const std::string& n) const {
  for (const auto& c : controls)
    if (c.name == n) return &c;
  return nullptr;
}

namespace {

ControlDesc C(std::string name, Kind kind, std::string parent, Rect r, std::string caption,
              int tab = -1, unsigned flags = 0, std::string onClick = {}) {
  ControlDesc d;
  d.name = std::move(name);
  d.kind = kind;
  d.parent = std::move(parent);
  d.bounds = r;
  d.caption = std::move(caption);
  d.tabOrder = tab;
  d.flags = flags;
  d.onClick = std::move(onClick);
  return d;
}

FormDesc BuildMain() {
  FormDesc f;
  f.name = "OggEncodeF";
  f.className = "TOggEncodeF";
  f.caption = "Brimvale";
  f.clientWidth = 489;
  f.clientHeight = 225;
  f.left = 235;
  f.top = 139;
  f.border = FormDesc::Border::Single;
  f.minimizeBox = true;
  f.fontFace = kFontFace;
  f.acceptsDrops = true;
  auto& v = f.controls;
  ControlDesc label1 = C("Label1", Kind::Label, "", {8, 8, 67, 12}, "&Ogg Encoder:");
  label1.focusControl = "edtOggPath";
  v.push_back(label1);
  v.push_back(C("edtOggPath", Kind::Edit, "", {76, 4, 353, 20}, "oggenc.exe", 4));
  v.push_back(C("btnBrowseOgg", Kind::Button, "", {432, 4, 53, 20}, "参照(&1)...", 5, 0, "btnBrowseOggClick"));
  ControlDesc label2 = C("Label2", Kind::Label, "", {8, 32, 96, 12}, "エンコードリスト(&E):");
  label2.focusControl = "lstSrcFile";
  v.push_back(label2);
  v.push_back(C("btnAddList", Kind::Button, "", {108, 28, 61, 19}, "追加(&A)...", 6, 0, "btnAddListClick"));
  v.push_back(C("btnDelList", Kind::Button, "", {172, 28, 61, 19}, "削除", 7, 0, "btnDelListClick"));
  v.push_back(C("btnClearList", Kind::Button, "", {236, 28, 61, 19}, "クリア", 8, 0, "btnClearListClick"));
  v.push_back(C("btnPlaySound", Kind::Button, "", {304, 28, 61, 19}, "再生", 9, 0, "lstSrcFileDblClick"));
  ControlDesc list = C("lstSrcFile", Kind::ListBox, "", {4, 48, 481, 112}, "", 10, MultiSelect, "lstSrcFileDblClick");
  list.itemHeight = 12;
  v.push_back(list);
  ControlDesc label3 = C("Label3", Kind::Label, "", {8, 168, 95, 12}, "出力先フォルダ(&L):");
  // The accelerator L moves to the output folder box, the control the label stands beside.
  label3.focusControl = "edtOutputDir";
  v.push_back(label3);
  v.push_back(C("edtOutputDir", Kind::Edit, "", {104, 164, 325, 20}, "", 11));
  v.push_back(C("btnBrowseOutputDir", Kind::Button, "", {432, 164, 53, 20}, "参照(&2)...", 12, 0, "btnBrowseOutputDirClick"));
  v.push_back(C("GroupBox1", Kind::GroupBox, "", {0, 184, 489, 7}, "", 14, Rule));
  v.push_back(C("btnStartEncode", Kind::Button, "", {200, 196, 69, 25}, "開始(&G)...", 0, DefaultButton, "btnStartEncodeClick"));
  v.push_back(C("btnOption", Kind::Button, "", {272, 196, 69, 25}, "設定...", 1, 0, "btnOptionClick"));
  v.push_back(C("btnExit", Kind::Button, "", {344, 196, 69, 25}, "終了", 2, 0, "btnExitClick"));
  v.push_back(C("btnAbout", Kind::Button, "", {416, 196, 69, 25}, "About...", 3, 0, "btnAboutClick"));
  v.push_back(C("pnlProgress", Kind::Panel, "", {52, 332, 301, 61}, "", 13, Hidden | NoBorder));
  v.push_back(C("Panel1", Kind::Panel, "pnlProgress", {8, 8, 285, 19}, "", 0, BevelLowered));
  v.push_back(C("Label4", Kind::Label, "Panel1", {4, 3, 55, 12}, "ファイル名:"));
  v.push_back(C("lblFileName", Kind::Label, "Panel1", {64, 3, 217, 12}, ""));
  v.push_back(C("Panel2", Kind::Panel, "pnlProgress", {8, 32, 145, 19}, "", 1, BevelLowered));
  v.push_back(C("Label5", Kind::Label, "Panel2", {4, 3, 55, 12}, "ファイル数:"));
  v.push_back(C("lblNowCount", Kind::Label, "Panel2", {94, 3, 6, 12}, "1", -1, AlignRight));
  v.push_back(C("Label8", Kind::Label, "Panel2", {102, 3, 6, 12}, "/"));
  v.push_back(C("lblTotalCount", Kind::Label, "Panel2", {112, 3, 30, 12}, "00000", -1, AlignRight));
  v.push_back(C("btnStopEncode", Kind::Button, "pnlProgress", {156, 32, 137, 20}, "停止(&S)", 2, 0, "btnStopEncodeClick"));
  f.popup = {
      {"K4", "エンコード開始", "btnStartEncodeClick"},
      {"N1", "-", ""},
      {"K1", "リストに追加...", "btnAddListClick"},
      {"K2", "リストから削除", "btnDelListClick"},
      {"K3", "リストをクリア", "btnClearListClick"},
      {"N2", "-", ""},
      {"K5", "選択ファイルを再生", "lstSrcFileDblClick"},
  };
  return f;
}

FormDesc BuildEncodeOption() {
  FormDesc f;
  f.name = "EncodeOptionF";
  f.className = "TEncodeOptionF";
  f.caption = "エンコードオプション";
  f.clientWidth = 325;
  f.clientHeight = 113;
  f.centered = true;
  f.border = FormDesc::Border::Dialog;
  f.fontFace = kFontFace;
  auto& v = f.controls;
  v.push_back(C("GroupBox4", Kind::GroupBox, "", {8, 1, 309, 44}, "エンコードオプション", 0));
  ControlDesc l = C("Label1", Kind::Label, "GroupBox4", {8, 18, 75, 12}, "ビットレート(&B):");
  l.focusControl = "cboBitRate";
  v.push_back(l);
  ControlDesc cbo = C("cboBitRate", Kind::ComboBox, "GroupBox4", {84, 14, 101, 20}, "", 0);
  cbo.itemHeight = 12;
  cbo.items = {"指定しない", "128 kbps", "160 kbps", "192 kbps", "256 kbps", "350 kbps"};
  v.push_back(cbo);
  v.push_back(C("chkRawMode", Kind::CheckBox, "GroupBox4", {208, 16, 81, 17}, "&Rawモード", 1, Disabled));
  v.push_back(C("GroupBox1", Kind::GroupBox, "", {8, 48, 221, 57}, "その他", 1));
  v.push_back(C("chkShellExt", Kind::CheckBox, "GroupBox1", {8, 16, 205, 17}, "エクスプローラの右クリックに追加", 0));
  v.push_back(C("chkHideConsole", Kind::CheckBox, "GroupBox1", {8, 32, 197, 17}, "コンソールウィンドウを隠す", 1, Checked));
  ControlDesc ok = C("btnOk", Kind::Button, "", {240, 54, 77, 23}, "OK", 2, DefaultButton);
  ok.modalResult = 1;
  v.push_back(ok);
  ControlDesc cancel = C("btnCancel", Kind::Button, "", {240, 82, 77, 23}, "Cancel", 3, CancelButton);
  cancel.modalResult = 2;
  v.push_back(cancel);
  return f;
}

FormDesc BuildAbout() {
  FormDesc f;
  f.name = "AboutF";
  f.className = "TAboutF";
  f.caption = "バージョン情報";
  f.clientWidth = 235;
  f.clientHeight = 90;
  f.centered = true;
  f.border = FormDesc::Border::Dialog;
  f.fontFace = kFontFace;
  auto& v = f.controls;
  v.push_back(C("ExLabel1", Kind::ExLabel, "", {8, 6, 221, 12}, "Brimvale", -1, AlignCenter));
  v.push_back(C("ExLabel2", Kind::ExLabel, "", {8, 18, 221, 12}, "Version 1.01", -1, AlignCenter));
  v.push_back(C("ExLabel3", Kind::ExLabel, "", {8, 34, 221, 12}, kAboutCopyright, -1, AlignCenter));
  ControlDesc mail = C("ProUrlLabel1", Kind::UrlLabel, "", {106, 47, 119, 12}, kAboutMail, -1, AlignCenter);
  mail.url = std::string("mailto:") + kAboutMail;
  mail.hint = "メール";
  v.push_back(mail);
  ControlDesc banner = C("ProUrlImage1", Kind::UrlImage, "", {8, 50, 88, 31}, "");
  banner.url = kAboutHomePage;
  banner.hint = "ホームページ";
  banner.picture = "banner";
  v.push_back(banner);
  v.push_back(C("Button1", Kind::Button, "", {104, 62, 121, 21}, "OK", 0, 0, "Button1Click"));
  return f;
}

}  // namespace

const FormDesc& MainFormDesc() {
  static const FormDesc d = BuildMain();
  return d;
}

const FormDesc& EncodeOptionFormDesc() {
  static const FormDesc d = BuildEncodeOption();
  return d;
}

const FormDesc& AboutFormDesc() {
  static const FormDesc d = BuildAbout();
  return d;
}

}  // namespace ui

// Window layouts as data. Each front end builds its controls from these
// descriptions, so a window's layout is written down once.
#pragma once

#include <string>
#include <vector>

namespace ui {

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Rect& o) const {
    return left == o.left && top == o.top && width == o.width && height == o.height;
  }
};

enum class Kind {
  Label,     // static text; "&" marks the accelerator, focusControl names its target
  Edit,      // single-line edit box
  Button,    // push button
  ListBox,   // list box
  CheckBox,  // check box
  ComboBox,  // drop-down list without typing
  GroupBox,  // group box (a horizontal rule when flagged Rule)
  Panel,     // panel, optionally with a lowered bevel
  ExLabel,   // 3-D text label
  UrlLabel,  // hyperlink label
  UrlImage,  // hyperlink picture
};

enum Flag : unsigned {
  Hidden = 1u << 0,
  DefaultButton = 1u << 1,  // pressed by Enter unless another button has the focus
  CancelButton = 1u << 2,   // pressed by Esc
  Disabled = 1u << 3,
  MultiSelect = 1u << 4,    // extended selection
  BevelLowered = 1u << 5,   // panel with a lowered bevel
  Checked = 1u << 6,
  AlignRight = 1u << 7,     // label sized to its text whose right edge stays put
  AlignCenter = 1u << 8,
  Rule = 1u << 9,           // group box drawn as a horizontal rule
  NoBorder = 1u << 10,
};

struct ControlDesc {
  std::string name;
  Kind kind = Kind::Label;
  std::string parent;  // empty: the form itself
  Rect bounds;
  std::string caption;
  int tabOrder = -1;   // -1: not in the tab order (labels, the rule)
  unsigned flags = 0;
  std::string onClick;       // handler run by a click (and double-click of a list)
  std::string focusControl;  // for a label: the control its accelerator focuses
  int modalResult = 0;       // for a button of a dialog
  int itemHeight = 0;        // list and combo box entry height
  std::vector<std::string> items;
  std::string hint;
  std::string url;
  std::string picture;  // name of a bitmap the program carries ("banner")
  bool Has(unsigned f) const { return (flags & f) != 0; }
};

struct MenuItemDesc {
  std::string name;
  std::string caption;  // "-" is a separator
  std::string onClick;
};

struct FormDesc {
  std::string name;       // instance name, e.g. "OggEncodeF"
  std::string className;  // e.g. "TOggEncodeF"
  std::string caption;
  int clientWidth = 0, clientHeight = 0;
  int left = 0, top = 0;  // the designed position, unless centred
  bool centered = false;
  enum class Border { Single, Dialog } border = Border::Single;
  bool minimizeBox = false;
  bool maximizeBox = false;
  std::string fontFace;
  int fontHeight = 12;  // character height in pixels
  bool acceptsDrops = false;
  std::vector<ControlDesc> controls;  // parents before children
  std::vector<MenuItemDesc> popup;    // the window's context menu

  const ControlDesc* Find(const std::string& name) const;
};

extern const char* const kFontFace;  // "ＭＳ Ｐゴシック"
extern const char* const kAboutCopyright;
extern const char* const kAboutMail;
extern const char* const kAboutHomePage;

const FormDesc& MainFormDesc();        // OggEncodeF
const FormDesc& EncodeOptionFormDesc();  // EncodeOptionF
const FormDesc& AboutFormDesc();       // AboutF

}  // namespace ui

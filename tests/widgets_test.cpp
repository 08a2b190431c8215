// The 3-D label's writers and paint steps on a recording canvas, and the
// folder dialog's notices with a scripted browser.
#include <gtest/gtest.h>

#include <sstream>

#include "widgets/exlabel.h"
#include "widgets/folder_dialog.h"
#include "widgets/url_link.h"

namespace {

using namespace widgets;

// Records every call; text is 12 pixels a line.
class RecordingCanvas : public Canvas {
 public:
  void SetBrushColor(TColor c) override { Log("brush", c); }
  void SetBrushClear() override { ops.push_back("brush clear"); }
  void SetPenColor(TColor c) override { Log("pen", c); }
  void Rectangle(const TRect& r) override { ops.push_back("rectangle " + R(r)); }
  void Ellipse(const TRect& r) override { ops.push_back("ellipse " + R(r)); }
  void RoundRect(const TRect& r, int w, int h) override {
    ops.push_back("roundrect " + R(r) + " " + std::to_string(w) + "," + std::to_string(h));
  }
  void SetFont(const TFont& f) override { fontColor = f.color; }
  int DrawText(const std::string& text, TRect& r, unsigned flags) override {
    int lines = 1;
    for (char c : text) lines += c == '\n';
    if (flags & DT_CALCRECT) {
      r.bottom = r.top + 12 * lines;
      return 12 * lines;
    }
    std::ostringstream s;
    s << "text '" << text << "' " << R(r) << " flags " << std::hex << flags << " color " << fontColor;
    ops.push_back(s.str());
    return 12 * lines;
  }
  static std::string R(const TRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
  }
  void Log(const char* what, TColor c) {
    std::ostringstream s;
    s << what << " " << std::hex << c;
    ops.push_back(s.str());
  }
  std::vector<std::string> ops;
  TColor fontColor = 0;
};

TExLabel Label(const std::string& caption) {
  TExLabel l;
  l.caption = caption;
  l.width = 100;
  l.height = 40;
  l.color = 0x00C0C0C0;
  l.font.color = 0x00000080;
  return l;
}

TEST(TExLabel, NewLabelHoldsItsDefaults) {
  TExLabel l;
  EXPECT_EQ(l.BackFont(), clYellow);
  EXPECT_EQ(l.Style3D(), bsLowered);
  EXPECT_FALSE(l.Font3D());
  EXPECT_FALSE(l.DrawOutLine());
  EXPECT_EQ(l.LabelType(), lbRectangle);
  EXPECT_EQ(l.FontDepth(), 1);
  EXPECT_EQ(l.EdgeDepth(), 10);
  EXPECT_EQ(l.OutLineColor(), clBlack);
  EXPECT_EQ(l.width, 65);
  EXPECT_EQ(l.height, 17);
  EXPECT_FALSE(l.Transparent());
}

TEST(TExLabel, WritersRefreshTheBackgroundAndRepaintAsTheyShould) {
  // Each repaint request is recorded as T (made while transparent: the parent
  // repaints its background) or O (opaque).
  struct Case {
    const char* name;
    std::function<void(TExLabel&)> setup, write;
    std::string requests;
  };
  const std::string refresh = "TTO";  // Transparent on, a request, Transparent off
  const Case cases[] = {
      {"same value", nullptr, [](TExLabel& l) { l.SetFontDepth(1); }, ""},
      {"outline colour while outline off", nullptr, [](TExLabel& l) { l.SetOutLineColor(clRed); }, ""},
      {"outline colour while outline on", [](TExLabel& l) { l.SetDrawOutLine(true); },
       [](TExLabel& l) { l.SetOutLineColor(clRed); }, "O"},
      {"outline switch", nullptr, [](TExLabel& l) { l.SetDrawOutLine(true); }, "O"},
      {"edge depth on a rectangle", nullptr, [](TExLabel& l) { l.SetEdgeDepth(4); }, "O"},
      {"edge depth on a round rectangle", [](TExLabel& l) { l.SetLabelType(lbRoundRect); },
       [](TExLabel& l) { l.SetEdgeDepth(4); }, refresh + "O"},
      {"label type, opaque", nullptr, [](TExLabel& l) { l.SetLabelType(lbCircle); }, refresh + "O"},
      {"label type, transparent", [](TExLabel& l) { l.SetTransparent(true); },
       [](TExLabel& l) { l.SetLabelType(lbCircle); }, "T"},
      {"back colour with 3-D off", nullptr, [](TExLabel& l) { l.SetBackFont(clWhite); }, "O"},
      {"back colour with 3-D on", [](TExLabel& l) { l.SetFont3D(true); },
       [](TExLabel& l) { l.SetBackFont(clWhite); }, refresh + "O"},
      {"depth with 3-D on", [](TExLabel& l) { l.SetFont3D(true); }, [](TExLabel& l) { l.SetFontDepth(3); },
       refresh + "O"},
      {"style", nullptr, [](TExLabel& l) { l.SetStyle3D(bsRaised); }, refresh + "O"},
      {"3-D switch", nullptr, [](TExLabel& l) { l.SetFont3D(true); }, refresh + "O"},
  };
  for (const Case& c : cases) {
    TExLabel l;
    if (c.setup) c.setup(l);
    std::string got;
    l.onRepaint = [&](bool transparent) { got += transparent ? 'T' : 'O'; };
    c.write(l);
    EXPECT_EQ(got, c.requests) << c.name;
    EXPECT_FALSE(l.Transparent() && std::string(c.name).find("transparent") == std::string::npos) << c.name;
  }
}

TEST(TExLabel, PaintSteps) {
  using V = std::vector<std::string>;
  const std::string opaqueRect = "brush c0c0c0|pen c0c0c0|rectangle 0,0,100,40|brush clear";
  struct Case {
    const char* name;
    std::function<void(TExLabel&)> setup;
    std::string ops;  // joined with |
  };
  const Case cases[] = {
      {"plain", nullptr, opaqueRect + "|text 'Brimvale' 0,14,100,26 flags 40 color 80"},
      {"disabled ignores 3-D", [](TExLabel& l) { l.enabled = false; l.SetFont3D(true); },
       opaqueRect + "|text 'Brimvale' 1,15,101,27 flags 40 color ffffff|text 'Brimvale' 0,14,100,26 flags 40 color 808080"},
      {"lowered", [](TExLabel& l) { l.SetFont3D(true); l.SetFontDepth(2); l.alignment = taCenter; l.SetBackFont(clWhite); },
       opaqueRect + "|text 'Brimvale' 2,16,102,28 flags 41 color ffffff|text 'Brimvale' 0,14,100,26 flags 41 color 80"},
      {"raised", [](TExLabel& l) { l.SetFont3D(true); l.SetFontDepth(2); l.SetStyle3D(bsRaised); },
       opaqueRect + "|text 'Brimvale' -2,12,98,24 flags 40 color ffff|text 'Brimvale' 0,14,100,26 flags 40 color 80"},
      {"right-aligned wrapped without prefixes",
       [](TExLabel& l) { l.SetFont3D(true); l.alignment = taRightJustify; l.wordWrap = true; l.showAccelChar = false; },
       opaqueRect + "|text 'Brimvale' 1,15,101,27 flags 852 color ffff|text 'Brimvale' 0,14,100,26 flags 852 color 80"},
      {"empty caption gets a blank", [](TExLabel& l) { l.caption = ""; },
       opaqueRect + "|text ' ' 0,14,100,26 flags 40 color 80"},
      {"a lone ampersand gets a blank", [](TExLabel& l) { l.caption = "&"; },
       opaqueRect + "|text '& ' 0,14,100,26 flags 40 color 80"},
      {"transparent paints no shape", [](TExLabel& l) { l.SetTransparent(true); },
       "brush clear|text 'Brimvale' 0,14,100,26 flags 40 color 80"},
      {"circle with outline", [](TExLabel& l) { l.SetLabelType(lbCircle); l.SetDrawOutLine(true); l.SetOutLineColor(clRed); },
       "brush c0c0c0|pen ff|ellipse 0,0,100,40|brush clear|text 'Brimvale' 0,14,100,26 flags 40 color 80"},
      {"round rectangle", [](TExLabel& l) { l.SetLabelType(lbRoundRect); l.SetEdgeDepth(6); },
       "brush c0c0c0|pen c0c0c0|roundrect 0,0,100,40 6,6|brush clear|text 'Brimvale' 0,14,100,26 flags 40 color 80"},
      {"taller text is centred and cut equally", [](TExLabel& l) { l.caption = "1\n2\n3\n4\n5"; },
       opaqueRect + "|text '1\n2\n3\n4\n5' 0,-10,100,50 flags 40 color 80"},
  };
  for (const Case& c : cases) {
    TExLabel l = Label("Brimvale");
    if (c.setup) c.setup(l);
    RecordingCanvas canvas;
    l.Paint(canvas);
    std::string got;
    for (const auto& op : canvas.ops) got += (got.empty() ? "" : "|") + op;
    EXPECT_EQ(got, c.ops) << c.name;
  }
}

// A browser that plays a script of notices.
class ScriptedBrowser : public FolderBrowserPort {
 public:
  bool Available() override { return available; }
  bool Browse(const Request& r, Callback& cb, std::string& chosen) override {
    request = r;
    for (auto& step : script) step(cb);
    chosen = result;
    return chosen != "<cancel>";
  }
  void SetSelection(intptr_t w, const std::string& p) override { log.push_back("select " + std::to_string(w) + " " + p); }
  void SetStatusText(intptr_t w, const std::string& t) override { log.push_back("status " + std::to_string(w) + " " + t); }
  bool available = true;
  Request request;
  std::vector<std::function<void(Callback&)>> script;
  std::string result;
  std::vector<std::string> log;
};

TEST(TFolderDialog, SettersDropOneTrailingSeparator) {
  ScriptedBrowser b;
  struct Case {
    std::string in, out;
    text::PathRules rules;
  };
  const std::string hyo = "\x95\x5C";  // CP932, second byte 0x5C
  const Case cases[] = {
      {"C:\\", "C:\\", text::PathRules::Windows()},
      {"C:\\out\\", "C:\\out", text::PathRules::Windows()},
      {"C:\\out\\\\", "C:\\out\\", text::PathRules::Windows()},
      {"C:\\" + hyo, "C:\\" + hyo, text::PathRules::Windows()},
      {"ab\\", "ab\\", text::PathRules::Windows()},
      {"", "", text::PathRules::Windows()},
      {"/home/u/", "/home/u", text::PathRules::Posix()},
      {"/a/", "/a/", text::PathRules::Posix()},
  };
  for (const Case& c : cases) {
    TFolderDialog d(b, 0, c.rules);
    d.SetRootDir(c.in);
    d.SetStartDir(c.in);
    EXPECT_EQ(d.RootDir(), c.out) << c.in;
    EXPECT_EQ(d.StartDir(), c.out) << c.in;
  }
}

TEST(TFolderDialog, NoticesOpenFlagAndEvents) {
  ScriptedBrowser b;
  TFolderDialog d(b, 77, text::PathRules::Posix());
  std::vector<std::string> events;
  const std::string a = "/a", x = "/x", y = "/y";
  d.SetStartDir("/start/");
  d.SetCaption("出力先");
  d.SetStatusText("before");
  d.SetListedFlags(Flag(lfReturnOnlyFSDirs) | Flag(lfStatusText));
  d.OnShow = [&](TFolderDialog& s) {
    events.push_back("show open=" + std::to_string(s.Open()));
    s.SetStatusText("in show");
  };
  d.OnSelectionChange = [&](TFolderDialog& s) {
    events.push_back("selection " + s.SelectedDir());
    s.SetStatusText("at " + s.SelectedDir());
  };
  d.OnClose = [&](TFolderDialog& s) { events.push_back("close open=" + std::to_string(s.Open()) + " " + s.SelectedDir()); };
  b.script = {
      [&](FolderBrowserPort::Callback& cb) { cb.Notice(5, BFFM_SELCHANGED, &a); },  // before the open flag: ignored
      [&](FolderBrowserPort::Callback& cb) { cb.Notice(5, BFFM_INITIALIZED, nullptr); },
      [&](FolderBrowserPort::Callback& cb) { cb.Notice(5, BFFM_SELCHANGED, &x); },
      [&](FolderBrowserPort::Callback& cb) { cb.Notice(5, BFFM_SELCHANGED, nullptr); },
      [&](FolderBrowserPort::Callback& cb) { cb.Notice(5, 99, &y); },
  };
  b.result = "/x";
  EXPECT_TRUE(d.Execute());
  EXPECT_EQ(d.SelectedDir(), "/x");
  EXPECT_EQ(b.request.owner, 77);
  EXPECT_EQ(b.request.title, "出力先");
  EXPECT_EQ(b.request.flags, 0x0005u);
  EXPECT_EQ(events, (std::vector<std::string>{"show open=0", "selection /x", "selection ", "close open=0 /x"}));
  EXPECT_EQ(b.log, (std::vector<std::string>{"select 5 /start", "status 5 at /x", "status 5 at "}));
  EXPECT_EQ(d.StatusText(), "at ");

  // A cancel empties SelectedDir and still closes once; without lfStatusText nothing reaches the browser.
  events.clear();
  b.log.clear();
  d.SetListedFlags(Flag(lfReturnOnlyFSDirs));
  b.result = "<cancel>";
  EXPECT_FALSE(d.Execute());
  EXPECT_EQ(d.SelectedDir(), "");
  EXPECT_EQ(events.back(), "close open=0 ");
  EXPECT_EQ(std::count_if(events.begin(), events.end(), [](const std::string& e) { return e.rfind("close", 0) == 0; }), 1);
  EXPECT_EQ(b.log, (std::vector<std::string>{"select 5 /start"}));
}

TEST(TFolderDialog, NoAllocatorRaisesBeforeAnything) {
  ScriptedBrowser b;
  b.available = false;
  TFolderDialog d(b, 0, text::PathRules::Windows());
  bool closed = false;
  d.OnClose = [&](TFolderDialog&) { closed = true; };
  EXPECT_THROW(d.Execute(), TFolderDialogException);
  EXPECT_FALSE(closed);
  EXPECT_EQ(b.request.flags, 0u) << "the browser was not asked";
}

TEST(TFolderDialog, FlagMapping) {
  EXPECT_EQ(BrowseFlags(Flag(lfReturnOnlyFSDirs)), 0x0001u);
  EXPECT_EQ(BrowseFlags(0x3F), 0x1000u + 0x2000u + 0x2u + 0x8u + 0x1u + 0x4u);
  EXPECT_EQ(BrowseFlags(Flag(lfBrowseForPrinter) | Flag(lfReturnFSAncestors)), 0x2008u);
}

}  // namespace

namespace {

using namespace widgets;

TEST(TProUrlLabel, OpensOnlyWhenThePressEndsInsideAndStaysVisited) {
  TProUrlLabel link;
  link.Caption = "info@example.org";
  link.URL = "mailto:info@example.org";
  link.Width = 119;
  link.Height = 12;
  link.SetFontColor(clBlue);
  EXPECT_EQ(link.Color(), clBlue);

  link.MouseDown();
  EXPECT_EQ(link.Color(), clRed);
  link.MouseMove(200, 5);
  EXPECT_EQ(link.Color(), clBlue) << "outside while held: the normal colour";
  EXPECT_FALSE(link.MouseUp(200, 5));
  EXPECT_FALSE(link.Visited());

  link.MouseDown();
  link.MouseMove(119, 12);  // the edges belong to the label
  EXPECT_EQ(link.Color(), clRed);
  EXPECT_TRUE(link.MouseUp(119, 12));
  EXPECT_TRUE(link.Visited());
  EXPECT_EQ(link.Color(), clNavy);
  EXPECT_EQ(link.Target(), "mailto:info@example.org");
  link.URL.clear();
  EXPECT_EQ(link.Target(), "info@example.org");
  // A release outside after a visit shows the visited colour.
  link.MouseDown();
  EXPECT_FALSE(link.MouseUp(-1, 0));
  EXPECT_EQ(link.Color(), clNavy);
}

}  // namespace

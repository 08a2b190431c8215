// The two links of the about box: a label that opens its URL when a press
// ends inside it, and a picture that opens its URL when clicked.
#pragma once

#include <functional>
#include <string>

#include "widgets/exlabel.h"

namespace widgets {

class TProUrlLabel {
 public:
  TColor UnvisitedColor = clBlue;
  TColor ActivatedColor = clRed;
  TColor VisitedColor = clNavy;
  std::string URL;
  std::string Caption;
  int Width = 0, Height = 0;

  // The colour the text shows now.
  TColor Color() const;
  // A font colour set while no button is held becomes the unvisited colour,
  // or the visited one once the link has been used.
  void SetFontColor(TColor c);
  bool Visited() const { return visited_; }

  void MouseDown();
  void MouseMove(int x, int y);
  // True when the press ended inside the label: the link is then visited and
  // onOpen receives Target().
  bool MouseUp(int x, int y);
  std::function<void(const std::string& target)> onOpen;
  // What a release inside opens: the URL, or the caption when the URL is empty.
  const std::string& Target() const { return URL.empty() ? Caption : URL; }

 private:
  bool Inside(int x, int y) const { return x >= 0 && x <= Width && y >= 0 && y <= Height; }
  bool pressed_ = false;
  bool inside_ = false;
  bool visited_ = false;
};

// A picture that opens its URL when clicked.
class TProUrlImage {
 public:
  std::string URL;
  std::function<void(const std::string& url)> onOpen;
  void Click() {
    if (!URL.empty() && onOpen) onOpen(URL);
  }
};

}  // namespace widgets

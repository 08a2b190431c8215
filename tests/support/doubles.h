// Stand-ins for the services the main window needs, for tests and benchmarks.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/services.h"

namespace testdoubles {

// The settings file in memory; refuse makes every write fail.
class MemoryStore : public app::SettingsStore {
 public:
  std::string Path() const override { return "/cfg/brimvale.ini"; }
  std::optional<std::string> Read() override { return content; }
  bool Write(const std::string& c) override {
    ++writes;
    if (refuse) return false;
    content = c;
    return true;
  }
  std::optional<std::string> content;
  bool refuse = false;
  int writes = 0;
};

// Records which of the two verb operations each save called.
class RecordingVerb : public app::ShellVerb {
 public:
  void Register() override { calls.push_back("register"); }
  void Unregister() override { calls.push_back("unregister"); }
  std::vector<std::string> calls;
};

// A folder browser that is always cancelled.
class NoFolders : public widgets::FolderBrowserPort {
 public:
  bool Available() override { return true; }
  bool Browse(const Request&, Callback&, std::string&) override { return false; }
  void SetSelection(intptr_t, const std::string&) override {}
  void SetStatusText(intptr_t, const std::string&) override {}
};

}  // namespace testdoubles

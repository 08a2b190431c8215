// A temporary folder that is removed with everything in it at the end of its scope.
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <string>

namespace testsupport {

struct TempDir {
  explicit TempDir(const char* prefix = "/tmp/brimvale-XXXXXX") {
    std::string tmpl = prefix;
    path = mkdtemp(&tmpl[0]);
  }
  ~TempDir() {
    const std::string cmd = "rm -rf '" + path + "'";
    (void)!std::system(cmd.c_str());
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  operator const std::string&() const { return path; }
  std::string path;
};

}  // namespace testsupport

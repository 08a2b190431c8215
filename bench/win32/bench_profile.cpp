// Saving and loading the source list on Windows: our profile (one read, one
// atomic write of the whole file through the settings store) against the
// system's profile functions, key by key, as the class library's INI-file
// class does it. Prints one row per list size with the ratios.
#include "platform/win32/win32_services.h"
#include "settings/profile.h"
#include "text/text.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

double Now() {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

// The median of several runs in milliseconds; at least `runs`, and more while under 0.3 s in all.
double Median(const std::function<void()>& f, int runs) {
  std::vector<double> t;
  const double start = Now();
  while (static_cast<int>(t.size()) < runs || (Now() - start < 0.3 && t.size() < 200)) {
    const double a = Now();
    f();
    t.push_back((Now() - a) * 1000.0);
  }
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

std::vector<std::string> Entries(int n) {
  std::vector<std::string> v;
  for (int i = 0; i < n; ++i) v.push_back("C:\\music\\album\\track " + std::to_string(i) + ".wav");
  return v;
}

// The keys SaveSettings writes, in its order.
void SaveOurs(win32::IniFileStore& store, const std::vector<std::string>& list) {
  settings::Profile ini(store.Read().value_or(std::string()));
  ini.WriteString("Setting", "OggPath", "oggenc.exe");
  ini.WriteInteger("Option", "BitRate", 1);
  ini.WriteInteger("Option", "RawMode", 0);
  ini.WriteInteger("Option", "HideConsole", 1);
  ini.WriteInteger("Option", "ShellExt", 0);
  ini.WriteInteger("List", "Count", static_cast<int64_t>(list.size()));
  for (size_t i = 0; i < list.size(); ++i) ini.WriteString("List", text::Decimal(static_cast<long long>(i)), list[i]);
  if (!store.Write(ini.Serialize("\r\n"))) std::fprintf(stderr, "write failed\n");
}

std::vector<std::string> LoadOurs(win32::IniFileStore& store) {
  const settings::Profile ini(store.Read().value_or(std::string()));
  std::vector<std::string> list;
  ini.ReadString("Setting", "OggPath", "oggenc.exe");
  for (const char* k : {"BitRate", "RawMode", "HideConsole", "ShellExt"}) ini.ReadInteger("Option", k, 0);
  const int32_t n = ini.ReadInteger("List", "Count", 0);
  for (int32_t i = 0; i < n; ++i) list.push_back(ini.ReadString("List", text::Decimal(i), ""));
  return list;
}

void SaveSystem(const std::string& path, const std::vector<std::string>& list) {
  const char* p = path.c_str();
  WritePrivateProfileStringA("Setting", "OggPath", "oggenc.exe", p);
  WritePrivateProfileStringA("Option", "BitRate", "1", p);
  WritePrivateProfileStringA("Option", "RawMode", "0", p);
  WritePrivateProfileStringA("Option", "HideConsole", "1", p);
  WritePrivateProfileStringA("Option", "ShellExt", "0", p);
  WritePrivateProfileStringA("List", "Count", std::to_string(list.size()).c_str(), p);
  for (size_t i = 0; i < list.size(); ++i) WritePrivateProfileStringA("List", std::to_string(i).c_str(), list[i].c_str(), p);
}

std::vector<std::string> LoadSystem(const std::string& path) {
  const char* p = path.c_str();
  char buf[1024];
  GetPrivateProfileStringA("Setting", "OggPath", "oggenc.exe", buf, sizeof buf, p);
  for (const char* k : {"BitRate", "RawMode", "HideConsole", "ShellExt"})
    GetPrivateProfileStringA("Option", k, "", buf, sizeof buf, p);
  GetPrivateProfileStringA("List", "Count", "0", buf, sizeof buf, p);
  const int n = std::atoi(buf);
  std::vector<std::string> list;
  for (int i = 0; i < n; ++i) {
    const DWORD got = GetPrivateProfileStringA("List", std::to_string(i).c_str(), "", buf, sizeof buf, p);
    list.emplace_back(buf, got);
  }
  return list;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes{1000, 10000};
  if (argc > 1) {
    sizes.clear();
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  }
  char tmp[MAX_PATH];
  GetTempPathA(MAX_PATH, tmp);
  const std::string dir = std::string(tmp) + "brimvale-bench-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(dir.c_str(), nullptr);
  int rc = 0;
  std::printf("%-8s %12s %12s %14s %14s %10s %10s %10s\n", "entries", "ours save", "ours load", "per-key save",
              "per-key load", "save x", "load x", "both x");
  for (int n : sizes) {
    const std::vector<std::string> list = Entries(n);
    const std::string ours = dir + "\\ours" + std::to_string(n) + ".ini";
    const std::string sys = dir + "\\system" + std::to_string(n) + ".ini";
    win32::IniFileStore store(ours);
    const double oursSave = Median([&] { SaveOurs(store, list); }, 5);
    std::vector<std::string> loaded;
    const double oursLoad = Median([&] { loaded = LoadOurs(store); }, 5);
    // The system's functions, each key by its own call; a fresh file for the save.
    const double sysSave = Median(
        [&] {
          DeleteFileA(sys.c_str());
          SaveSystem(sys, list);
        },
        1);
    std::vector<std::string> sysLoaded;
    const double sysLoad = Median([&] { sysLoaded = LoadSystem(sys); }, 1);
    // Both ways must hold the same list, or the figures compare nothing.
    if (loaded != list || sysLoaded != list || LoadOurs(store) != LoadSystem(ours)) {
      std::fprintf(stderr, "lists differ for %d entries\n", n);
      rc = 1;
    }
    std::printf("%-8d %9.2f ms %9.2f ms %11.1f ms %11.1f ms %9.0fx %9.0fx %9.0fx\n", n, oursSave, oursLoad, sysSave,
                sysLoad, sysSave / oursSave, sysLoad / oursLoad, (sysSave + sysLoad) / (oursSave + oursLoad));
    std::fflush(stdout);
    DeleteFileA(ours.c_str());
    DeleteFileA(sys.c_str());
  }
  RemoveDirectoryA(dir.c_str());
  return rc;
}

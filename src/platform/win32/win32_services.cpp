#include "platform/win32/win32_services.h"

#include <shlobj.h>

#include "encode/command_line.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_ui.h"

namespace win32 {

// ---- the encoder process ----

// The start-up record the shipped 32-bit program hands over is 68 bytes long.
static_assert(sizeof(void*) != 4 || sizeof(STARTUPINFOA) == 68, "STARTUPINFOA is 68 bytes on 32-bit Windows");

Win32Process::~Win32Process() {
  Terminate();
  CloseHandles();
}

void Win32Process::CloseHandles() {
  if (info_.hThread) CloseHandle(info_.hThread);
  if (info_.hProcess) CloseHandle(info_.hProcess);
  info_.hThread = nullptr;
  info_.hProcess = nullptr;
}

void Win32Process::Clear() {
  // An earlier encoder that still runs would be left without an owner; end it.
  Terminate();
  CloseHandles();
  info_ = PROCESS_INFORMATION{};
  exitCode_ = 0;
}

bool Win32Process::Start(const ui::EncoderCommand& cmd, bool hideConsole) {
  Clear();
  STARTUPINFOA si{};
  si.cb = sizeof si;  // 68 in the 32-bit program
  si.dwFlags = STARTF_USESHOWWINDOW | STARTF_FORCEONFEEDBACK;
  si.wShowWindow = static_cast<WORD>(hideConsole ? SW_HIDE : SW_SHOW);
  // CreateProcessA may write into the command line, so it gets a copy of its own.
  std::vector<char> line(cmd.commandLine.begin(), cmd.commandLine.end());
  line.push_back('\0');
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, nullptr, &si,
                      &info_)) {
    info_ = PROCESS_INFORMATION{};
    return false;
  }
  return true;
}

int Win32Process::ExitCode() {
  if (!info_.hProcess) return static_cast<int>(exitCode_);
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(info_.hProcess, &code);
  // An ended process gives its handles back at once.
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0) {
    exitCode_ = code;
    CloseHandles();
  }
  return static_cast<int>(code);
}

bool Win32Process::Terminate() {
  if (!info_.hProcess) return false;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0) return false;
  TerminateProcess(info_.hProcess, 0);
  // TerminateProcess only starts the end; the caller may rely on the process being gone.
  WaitForSingleObject(info_.hProcess, INFINITE);
  exitCode_ = 0;
  CloseHandles();
  return true;
}

intptr_t Win32Process::WaitHandle() const {
  return info_.hProcess ? reinterpret_cast<intptr_t>(info_.hProcess) : -1;
}

// ---- files ----

void Win32FileSystem::ForceDirectories(const std::string& folder) {
  // Each prefix that ends before a whole-character separator, then the whole path.
  for (size_t i = 0; i < folder.size(); ++i) {
    if (IsDBCSLeadByte(static_cast<unsigned char>(folder[i])) && i + 1 < folder.size()) {
      ++i;
      continue;
    }
    if ((folder[i] == '\\' || folder[i] == '/') && i > 0) CreateDirectoryA(folder.substr(0, i).c_str(), nullptr);
  }
  if (!folder.empty()) CreateDirectoryA(folder.c_str(), nullptr);
}

bool Win32FileSystem::RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }

bool Win32FileSystem::Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::string> IniFileStore::Read() {
  HANDLE f = CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string content;
  char buf[65536];
  DWORD got = 0;
  bool ok = true;
  while (true) {
    if (!ReadFile(f, buf, sizeof buf, &got, nullptr)) {
      ok = false;
      break;
    }
    if (got == 0) break;
    content.append(buf, got);
  }
  CloseHandle(f);
  if (!ok) return std::nullopt;
  return content;
}

bool IniFileStore::Write(const std::string& content) {
  const std::string tmp = path_ + ".tmp" + std::to_string(GetCurrentProcessId());
  HANDLE f = CreateFileA(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  size_t done = 0;
  while (ok && done < content.size()) {
    DWORD wrote = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(content.size() - done, 1u << 20));
    ok = WriteFile(f, content.data() + done, chunk, &wrote, nullptr) && wrote > 0;
    done += wrote;
  }
  // The data must be on disk before the move makes it the settings file.
  if (ok && !FlushFileBuffers(f)) ok = false;
  if (!CloseHandle(f)) ok = false;
  if (ok && !MoveFileExA(tmp.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) ok = false;
  if (!ok) DeleteFileA(tmp.c_str());
  return ok;
}

// ---- folders ----

bool Win32FolderBrowser::Browse(std::string& folder) {
  char display[MAX_PATH] = {};
  BROWSEINFOA bi{};
  bi.hwndOwner = app_.OwnerWindow();
  bi.pszDisplayName = display;
  bi.ulFlags = BIF_RETURNONLYFSDIRS;
  LPITEMIDLIST pidl = SHBrowseForFolderA(&bi);
  if (!pidl) return false;
  char path[MAX_PATH] = {};
  const bool ok = SHGetPathFromIDListA(pidl, path) != FALSE;
  CoTaskMemFree(pidl);
  if (ok) folder = path;
  return ok;
}

// ---- the program's own path and arguments ----

std::string ModulePath() {
  std::vector<char> buf(MAX_PATH);
  while (true) {
    const DWORD n = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return {};
    if (n < buf.size()) return std::string(buf.data(), n);
    buf.resize(buf.size() * 2);
  }
}

std::string SettingsPathBesideExe() {
  const std::string exe = ModulePath();
  return exe.substr(0, FileNameStart(exe)) + "brimvale.ini";
}

std::vector<std::string> CommandLineArguments() {
  std::vector<std::string> args = encode::SplitArguments(GetCommandLineA());
  if (!args.empty()) args.erase(args.begin());  // the program's own path
  return args;
}

}  // namespace win32

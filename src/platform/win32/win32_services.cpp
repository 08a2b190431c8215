#include "platform/win32/win32_services.h"

#include <shlobj.h>

#include <algorithm>

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

Win32FolderBrowserPort::~Win32FolderBrowserPort() {
  if (malloc_) malloc_->Release();
}

bool Win32FolderBrowserPort::Available() {
  if (malloc_) return true;
  return SUCCEEDED(SHGetMalloc(&malloc_)) && malloc_;
}

namespace {

// What the browser callback receives as its lParam.
struct BrowseContext {
  widgets::FolderBrowserPort::Callback* callback;
};

int CALLBACK BrowseCallback(HWND window, UINT notice, LPARAM arg, LPARAM data) {
  auto* ctx = reinterpret_cast<BrowseContext*>(data);
  if (!ctx || !ctx->callback) return 0;
  const intptr_t w = reinterpret_cast<intptr_t>(window);
  // The core's notice numbers are the system's (1 and 2).
  if (notice == BFFM_INITIALIZED) {
    ctx->callback->Notice(w, static_cast<int>(notice), nullptr);
  } else if (notice == BFFM_SELCHANGED) {
    char path[MAX_PATH] = {};
    // An item without a file-system path (the computer, a printer) has none.
    if (SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(arg), path)) {
      const std::string p = path;
      ctx->callback->Notice(w, static_cast<int>(notice), &p);
    } else {
      ctx->callback->Notice(w, static_cast<int>(notice), nullptr);
    }
  }
  return 0;
}

// The item list of a folder given in the ANSI code page, or none.
LPITEMIDLIST ParseFolder(const std::string& path) {
  IShellFolder* desktop = nullptr;
  if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop) return nullptr;
  wchar_t wide[MAX_PATH] = {};
  // At most 259 characters and the terminating zero.
  const int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
  if (n == 0) wide[0] = L'\0';
  wide[MAX_PATH - 1] = L'\0';
  LPITEMIDLIST pidl = nullptr;
  if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, wide, nullptr, &pidl, nullptr))) pidl = nullptr;
  desktop->Release();
  return pidl;
}

}  // namespace

bool Win32FolderBrowserPort::Browse(const Request& request, Callback& callback, std::string& chosen) {
  if (!Available()) return false;
  LPITEMIDLIST root = request.rootDir.empty() ? nullptr : ParseFolder(request.rootDir);
  char display[MAX_PATH] = {};
  const std::string title = ToAnsi(request.title);
  BrowseContext ctx{&callback};
  BROWSEINFOA bi{};
  bi.hwndOwner = reinterpret_cast<HWND>(request.owner);
  bi.pidlRoot = root;
  bi.pszDisplayName = display;
  bi.lpszTitle = title.c_str();
  bi.ulFlags = request.flags;
  bi.lpfn = &BrowseCallback;
  bi.lParam = reinterpret_cast<LPARAM>(&ctx);
  bi.iImage = 0;
  LPITEMIDLIST pidl = SHBrowseForFolderA(&bi);
  chosen.clear();
  if (pidl && SHGetPathFromIDListA(pidl, display)) chosen = display;
  // Free accepts none as well.
  malloc_->Free(pidl);
  malloc_->Free(root);
  malloc_->Release();
  malloc_ = nullptr;
  return pidl != nullptr;
}

void Win32FolderBrowserPort::SetSelection(intptr_t window, const std::string& path) {
  SendMessageA(reinterpret_cast<HWND>(window), BFFM_SETSELECTIONA, 1, reinterpret_cast<LPARAM>(path.c_str()));
}

void Win32FolderBrowserPort::SetStatusText(intptr_t window, const std::string& text) {
  const std::string ansi = ToAnsi(text);
  SendMessageA(reinterpret_cast<HWND>(window), BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(ansi.c_str()));
}

// ---- the registry ----

bool Win32Registry::OpenKey(const std::string& path, bool create) {
  CloseKey();
  HKEY key = nullptr;
  LONG r;
  if (create) {
    r = RegCreateKeyExA(root_, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr);
  } else {
    r = RegOpenKeyExA(root_, path.c_str(), 0, KEY_ALL_ACCESS, &key);
  }
  if (r != ERROR_SUCCESS) return false;
  current_ = key;
  return true;
}

std::string Win32Registry::ReadDefault() {
  if (!current_) return {};
  DWORD type = 0, size = 0;
  // A missing or empty value reads as empty text.
  if (RegQueryValueExA(current_, "", nullptr, &type, nullptr, &size) != ERROR_SUCCESS || size == 0) return {};
  std::string data(size, '\0');
  DWORD got = size;
  if (RegQueryValueExA(current_, "", nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got) != ERROR_SUCCESS)
    throw ui::Error(settings::RegistryMessage(settings::kRegReadFail, ""));
  // REG_EXPAND_SZ is taken as it stands, unexpanded.
  if (type != REG_SZ && type != REG_EXPAND_SZ)
    throw ui::Error(settings::RegistryMessage(settings::kRegBadType, ""));
  data.resize(std::min<size_t>(got, data.size()));
  const size_t zero = data.find('\0');
  if (zero != std::string::npos) data.resize(zero);
  return data;
}

void Win32Registry::WriteDefault(const std::string& value) {
  // The value is ANSI text already (ShellVerb below converts the caption), so
  // a path's bytes are written exactly as they are.
  if (!current_ || RegSetValueExA(current_, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                  static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
    throw ui::Error(settings::RegistryMessage(settings::kRegWriteFail, ""));
}

void Win32Registry::CloseKey() {
  if (current_) RegCloseKey(current_);
  current_ = nullptr;
}

namespace {

// Deletes the subkeys of parent\\name first, each the same way, then the key;
// whatever cannot be opened or deleted is passed over.
void DeleteTree(HKEY parent, const std::string& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
    DWORD count = 0, longest = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr) == ERROR_SUCCESS) {
      // The names first: deleting while enumerating would shift the indexes.
      std::vector<std::string> names;
      std::vector<char> buf(longest + 1);
      for (DWORD i = 0; i < count; ++i) {
        DWORD len = static_cast<DWORD>(buf.size());
        if (RegEnumKeyExA(key, i, buf.data(), &len, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
          names.emplace_back(buf.data(), len);
      }
      for (const std::string& n : names) DeleteTree(key, n);
    }
    RegCloseKey(key);
  }
  RegDeleteKeyA(parent, name.c_str());
}

}  // namespace

void Win32Registry::DeleteKeyTree(const std::string& path) {
  CloseKey();
  DeleteTree(root_, path);
}

std::unique_ptr<settings::Registry> ClassesRootRegistry() {
  return std::make_unique<Win32Registry>(HKEY_CLASSES_ROOT);
}

settings::RegistryShellVerb ShellVerb(const std::string& exePath) {
  return settings::RegistryShellVerb(&ClassesRootRegistry, exePath, ToAnsi(settings::kVerbCaption));
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

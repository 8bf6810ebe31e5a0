// The OS layer on Windows. Sharing is the share mode given at open: a
// conflicting open fails with ERROR_SHARING_VIOLATION (32). Not whole-file
// LockFileEx: Windows locks are mandatory and a shared one would block the
// holder's own writes. Every path reaches the system as UTF-16.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// After windows.h:
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <utility>
#include <vector>

#include "base/os/fault_point.h"
#include "base/os/file.h"
#include "base/os/file_copy.h"
#include "base/os/file_system.h"
#include "base/os/host_path.h"
#include "base/os/io_code.h"
#include "base/os/system.h"

namespace fs = std::filesystem;

namespace pasarela::os {

using detail::injectedFault;
using testing::Call;

namespace {

Status lastError(IoOperation op) { return {ioCodeFromWindowsError(GetLastError(), op)}; }

HANDLE h(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

bool isFolder(const fs::path& path) {
  DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string narrow(const wchar_t* text, int length) {
  if (length == 0) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), n, nullptr, nullptr);
  return out;
}

OVERLAPPED at(std::uint64_t offset) {
  OVERLAPPED o{};
  o.Offset = static_cast<DWORD>(offset);
  o.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return o;
}

}  // namespace

int ioCodeFromSystemError(const std::error_code& error, IoOperation op) {
  return ioCodeFromWindowsError(static_cast<unsigned long>(error.value()), op);
}

// ---- File

void File::release() {
  if (map_) UnmapViewOfFile(map_);
  map_ = nullptr;
  if (mapHandle_) CloseHandle(h(mapHandle_));
  mapHandle_ = 0;
  if (handle_ != -1) CloseHandle(h(handle_));
  handle_ = -1;
}

bool File::isOpen() const { return handle_ != -1; }

Status File::open(const fs::path& path, Access access, Create create, Share share, File& out) {
  out.release();
  if (int f = injectedFault(Call::Open, path)) return {f};
  DWORD desired = GENERIC_READ | (access == Access::ReadWrite ? GENERIC_WRITE : 0);
  DWORD shareMode = share == Share::Exclusive ? 0
                    : share == Share::Shared  ? FILE_SHARE_READ | FILE_SHARE_WRITE
                                              : FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  DWORD disposition = create == Create::Existing   ? OPEN_EXISTING
                      : create == Create::OrCreate ? OPEN_ALWAYS
                      : create == Create::Truncate ? OPEN_ALWAYS  // emptied below, once held
                                                   : CREATE_NEW;
  HANDLE handle =
      CreateFileW(path.c_str(), desired, shareMode, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    DWORD err = GetLastError();
    // A folder refuses to open as a file: it is no file.
    if (err == ERROR_ACCESS_DENIED && isFolder(path)) return {kErrorFileNotFound};
    return {ioCodeFromWindowsError(err, IoOperation::Open)};
  }
  File file;
  file.handle_ = reinterpret_cast<std::intptr_t>(handle);
  file.path_ = path;
  if (create == Create::Truncate) {
    if (Status s = file.truncate(0); !s.ok()) return s;
  }
  out = std::move(file);
  return {};
}

Status File::readAt(std::uint64_t offset, void* buffer, std::size_t size, std::size_t& done) const {
  done = 0;
  if (int f = injectedFault(Call::Read, path_)) return {f};
  auto* p = static_cast<char*>(buffer);
  while (done < size) {
    OVERLAPPED o = at(offset + done);
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
    DWORD n = 0;
    if (!ReadFile(h(handle_), p + done, chunk, &n, &o)) {
      if (GetLastError() == ERROR_HANDLE_EOF) break;
      return lastError(IoOperation::Read);
    }
    if (n == 0) break;
    done += n;
  }
  return {};
}

Status File::writeAt(std::uint64_t offset, const void* data, std::size_t size) {
  if (int f = injectedFault(Call::Write, path_)) return {f};
  const auto* p = static_cast<const char*>(data);
  std::size_t done = 0;
  while (done < size) {
    OVERLAPPED o = at(offset + done);
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
    DWORD n = 0;
    if (!WriteFile(h(handle_), p + done, chunk, &n, &o)) return lastError(IoOperation::Write);
    if (n == 0) return {kErrorDiskFull};
    done += n;
  }
  return {};
}

Status File::size(std::uint64_t& out) const {
  LARGE_INTEGER s{};
  if (!GetFileSizeEx(h(handle_), &s)) return lastError(IoOperation::Read);
  out = static_cast<std::uint64_t>(s.QuadPart);
  return {};
}

Status File::truncate(std::uint64_t size) {
  if (int f = injectedFault(Call::Truncate, path_)) return {f};
  FILE_END_OF_FILE_INFO info{};
  info.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
  if (!SetFileInformationByHandle(h(handle_), FileEndOfFileInfo, &info, sizeof info))
    return lastError(IoOperation::Write);
  return {};
}

Status File::sync() {
  if (int f = injectedFault(Call::Sync, path_)) return {f};
  if (!FlushFileBuffers(h(handle_))) return lastError(IoOperation::Write);
  return {};
}

Status File::id(FileId& out) const {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(h(handle_), &info)) return lastError(IoOperation::Read);
  out = FileId{info.dwVolumeSerialNumber,
               (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
  return {};
}

bool File::heldExclusivelyElsewhere() const { return false; }

char* File::mapHead(std::size_t size) {
  if (map_) return size <= mapSize_ ? map_ : nullptr;
  std::uint64_t length = 0;
  if (!this->size(length).ok() || length < size) return nullptr;
  // Fails on a handle opened for reading only: the caller writes instead.
  HANDLE mapping = CreateFileMappingW(h(handle_), nullptr, PAGE_READWRITE, 0, 0, nullptr);
  if (!mapping) return nullptr;
  void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, size);
  if (!view) {
    CloseHandle(mapping);
    return nullptr;
  }
  mapHandle_ = reinterpret_cast<std::intptr_t>(mapping);
  map_ = static_cast<char*>(view);
  mapSize_ = size;
  return map_;
}

Status File::close() {
  if (handle_ == -1) return {};
  if (map_) UnmapViewOfFile(map_);
  map_ = nullptr;
  if (mapHandle_) CloseHandle(h(mapHandle_));
  mapHandle_ = 0;
  int f = injectedFault(Call::Close, path_);
  BOOL ok = CloseHandle(h(std::exchange(handle_, -1)));
  if (f) return {f};
  if (!ok) return lastError(IoOperation::Close);
  return {};
}

// ---- Whole files

Status replaceFile(const fs::path& from, const fs::path& to, Durability durability) {
  if (int f = injectedFault(Call::Replace, to)) return {f};
  DWORD flags = MOVEFILE_REPLACE_EXISTING | (durability == Durability::Durable ? MOVEFILE_WRITE_THROUGH : 0);
  if (!MoveFileExW(from.c_str(), to.c_str(), flags)) return lastError(IoOperation::Create);
  return {};
}

Status removeFile(const fs::path& path) {
  if (int f = injectedFault(Call::Remove, path)) return {f};
  if (!DeleteFileW(path.c_str())) return lastError(IoOperation::Create);
  return {};
}

Status linkOrCopy(const fs::path& existing, const fs::path& newName) {
  if (int f = injectedFault(Call::Link, newName)) return {f};
  if (CreateHardLinkW(newName.c_str(), existing.c_str(), nullptr)) return {};
  DWORD err = GetLastError();
  if (err == ERROR_ALREADY_EXISTS || err == ERROR_FILE_EXISTS || err == ERROR_FILE_NOT_FOUND ||
      err == ERROR_PATH_NOT_FOUND)
    return {ioCodeFromWindowsError(err, IoOperation::Create)};
  // FAT and network shares have no hard links: a copy.
  return copyDurably(existing, newName);
}

Status copyContents(const File& from, File& to, std::uint64_t& copied) {
  copied = 0;
  return detail::copyBlocks(from, to, 0, copied);
}

Status copyPermissions(const fs::path&, const fs::path&) { return {}; }

Status probeReplaceable(const fs::path& path) {
  DWORD a = GetFileAttributesW(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return lastError(IoOperation::Open);
  if (a & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return {kErrorAccessDenied};
  // No sharing at all: refused while any other program has the file open.
  HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return lastError(IoOperation::Open);
  CloseHandle(handle);
  return {};
}

bool heldExclusivelyElsewhere(const fs::path&) { return false; }

// ---- The process

std::tm localTime(std::time_t t) {
  std::tm out{};
  localtime_s(&out, &t);
  return out;
}

unsigned long processId() { return GetCurrentProcessId(); }

std::optional<std::string> environment(const char* name) {
  std::wstring wide = hostPath(name).wstring();
  DWORD n = GetEnvironmentVariableW(wide.c_str(), nullptr, 0);
  if (n == 0) return std::nullopt;
  std::wstring value(n, L'\0');
  n = GetEnvironmentVariableW(wide.c_str(), value.data(), n);
  return narrow(value.data(), static_cast<int>(n));
}

bool hasNativeDrives() { return true; }

std::string nativeDrives() {
  std::string out;
  DWORD mask = GetLogicalDrives();
  for (int i = 0; i < 26; ++i)
    if (mask & (1u << i)) out += static_cast<char>('A' + i);
  return out;
}

std::vector<std::string> commandLine(int, char**) {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> out;
  for (int i = 0; args && i < count; ++i) out.push_back(narrow(args[i], static_cast<int>(wcslen(args[i]))));
  if (args) LocalFree(args);
  return out;
}

void prepareConsole() {
  // The program writes UTF-8 and its own line ends ("\r\n" in CSV).
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);
}

// The process heap keeps what is freed for the next allocations already.
void keepFreedMemory() {}

}  // namespace pasarela::os

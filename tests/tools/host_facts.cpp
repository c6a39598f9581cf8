// Writes what Windows tells a program about this machine, so that the
// end-to-end tests can check the /info report and the quick folders against
// the system itself rather than against facts of the Linux host.
//
// Usage: host_facts.exe FILE
// FILE receives UTF-8 lines "name=value"; a value that Windows would not give
// is left empty. The processor's brand string is written as hex of its bytes
// up to the terminating zero, so that blanks at either end survive.
#include <windows.h>
#include <lmcons.h>
#include <shellapi.h>
#include <shlobj.h>

#if defined(_MSC_VER)
#include <intrin.h>
#else
#include <cpuid.h>
#endif

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "handle.h"

namespace {

std::string utf8(const std::wstring& text) {
  if (text.empty()) return "";
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr, nullptr);
  return result;
}

std::array<unsigned, 4> cpuid(unsigned leaf) {
  std::array<unsigned, 4> registers{};
#if defined(_MSC_VER)
  int values[4] = {};
  __cpuid(values, static_cast<int>(leaf));
  for (std::size_t i = 0; i < 4; ++i) registers[i] = static_cast<unsigned>(values[i]);
#else
  __cpuid(leaf, registers[0], registers[1], registers[2], registers[3]);
#endif
  return registers;
}

// The brand string's bytes up to its zero, as hex; "none" when the processor
// has no brand string leaves.
std::string brand_hex() {
  if (cpuid(0x80000000u)[0] < 0x80000004u) return "none";
  char brand[49] = {};
  for (unsigned i = 0; i < 3; ++i) {
    const auto registers = cpuid(0x80000002u + i);
    std::memcpy(brand + 16 * i, registers.data(), 16);
  }
  std::string hex;
  for (const char* c = brand; *c != '\0'; ++c) {
    char pair[3] = {};
    std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(*c));
    hex += pair;
  }
  return hex;
}

std::wstring user_name() {
  wchar_t buffer[UNLEN + 1] = {};
  DWORD size = UNLEN + 1;
  return GetUserNameW(buffer, &size) ? buffer : L"";
}

std::wstring computer_name() {
  wchar_t buffer[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  return GetComputerNameW(buffer, &size) ? buffer : L"";
}

std::uint64_t total_memory() {
  MEMORYSTATUSEX status = {};
  status.dwLength = sizeof status;
  return GlobalMemoryStatusEx(&status) ? status.ullTotalPhys : 0;
}

std::wstring special_folder(int csidl) {
  PIDLIST_ABSOLUTE items = nullptr;
  if (FAILED(SHGetFolderLocation(nullptr, csidl, nullptr, 0, &items))) return L"";
  wchar_t path[MAX_PATH] = {};
  const bool found = SHGetPathFromIDListW(items, path);
  CoTaskMemFree(items);
  return found ? path : L"";
}

std::wstring downloads_folder() {
  // FOLDERID_Downloads
  const GUID downloads = {0x374de290, 0x123f, 0x4565, {0x91, 0x64, 0x39, 0xc4, 0x92, 0x5e, 0x46, 0x7b}};
  PWSTR path = nullptr;
  std::wstring result;
  if (SUCCEEDED(SHGetKnownFolderPath(downloads, 0, nullptr, &path))) result = path;
  CoTaskMemFree(path);
  return result;
}

}  // namespace

int main() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr || count != 2) return 2;
  Handle file(CreateFileW(arguments[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  LocalFree(arguments);
  if (!file.valid()) return 1;

  CoInitialize(nullptr);
  std::string text;
  const auto add = [&text](const char* name, const std::string& value) {
    text += name;
    text += '=';
    text += value;
    text += '\n';
  };
  add("user", utf8(user_name()));
  add("computer", utf8(computer_name()));
  add("memory_bytes", std::to_string(total_memory()));
  add("cpu_brand_hex", brand_hex());
  add("ansi_code_page", std::to_string(GetACP()));
  for (const int csidl : {CSIDL_PERSONAL, CSIDL_MYMUSIC, CSIDL_MYVIDEO, CSIDL_PROGRAM_FILES, CSIDL_MYPICTURES,
                          CSIDL_PROFILE, CSIDL_LOCAL_APPDATA}) {
    add(("folder_" + std::to_string(csidl)).c_str(), utf8(special_folder(csidl)));
  }
  add("downloads", utf8(downloads_folder()));
  CoUninitialize();

  DWORD written = 0;
  const bool ok =
      WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
  return ok ? 0 : 1;
}

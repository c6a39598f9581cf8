#include <objbase.h>
#include <shlobj.h>
#include <windows.h>

#include <memory>

#include "platform/shell_folders.h"

namespace zrn::platform {

namespace {

struct CoTaskMemDeleter {
  void operator()(void* memory) const { CoTaskMemFree(memory); }
};

struct LibraryDeleter {
  void operator()(HMODULE library) const { FreeLibrary(library); }
};

using Library = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryDeleter>;

// FOLDERID_Downloads, spelt out so that no import library has to provide it.
constexpr GUID kDownloadsFolder = {0x374de290, 0x123f, 0x4565, {0x91, 0x64, 0x39, 0xc4, 0x92, 0x5e, 0x46, 0x7b}};

using GetKnownFolderPath = HRESULT(WINAPI*)(const GUID&, DWORD, HANDLE, PWSTR*);

}  // namespace

std::optional<std::wstring> special_folder_path(int folder) {
  PIDLIST_ABSOLUTE raw_list = nullptr;
  if (FAILED(SHGetFolderLocation(nullptr, folder, nullptr, 0, &raw_list)) || !raw_list) return std::nullopt;
  const std::unique_ptr<ITEMIDLIST, CoTaskMemDeleter> list(raw_list);
  wchar_t path[MAX_PATH] = {};
  if (!SHGetPathFromIDListW(list.get(), path)) return std::nullopt;
  return std::wstring(path);
}

std::optional<std::wstring> downloads_folder_path() {
  const Library shell(LoadLibraryW(L"Shell32.DLL"));
  if (!shell) return std::nullopt;
  const FARPROC address = GetProcAddress(shell.get(), "SHGetKnownFolderPath");
  if (!address) return std::nullopt;
  // Through the generic function type, so the compiler accepts the cast.
  const auto get_path = reinterpret_cast<GetKnownFolderPath>(reinterpret_cast<void (*)()>(address));
  PWSTR raw_path = nullptr;
  const HRESULT result = get_path(kDownloadsFolder, 0, nullptr, &raw_path);
  const std::unique_ptr<wchar_t, CoTaskMemDeleter> path(raw_path);
  if (FAILED(result) || !path) return std::nullopt;
  return std::wstring(path.get());
}

}  // namespace zrn::platform

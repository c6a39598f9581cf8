#include "platform/shell_folders.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <memory>
#include <type_traits>

namespace zrn::platform {

namespace {

struct CoTaskMemDeleter {
  void operator()(void* memory) const { CoTaskMemFree(memory); }
};

// An item list from the shell, freed on every path. Held as the shell's own
// pointer type, which some compilers qualify so that it is no plain pointer.
class ItemList {
 public:
  ItemList() = default;
  ~ItemList() { CoTaskMemFree(list_); }
  ItemList(const ItemList&) = delete;
  ItemList& operator=(const ItemList&) = delete;
  PIDLIST_ABSOLUTE* receive() { return &list_; }
  PCIDLIST_ABSOLUTE get() const { return list_; }

 private:
  PIDLIST_ABSOLUTE list_ = nullptr;
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
  ItemList list;
  if (FAILED(SHGetFolderLocation(nullptr, folder, nullptr, 0, list.receive())) || !list.get()) return std::nullopt;
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

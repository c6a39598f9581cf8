#include "index/exclusions.h"

#include "platform/text.h"

namespace zrn {

std::vector<std::wstring> default_exclusions() {
  std::vector<std::wstring> words;
  for (const auto* word : {L"$Recycle.Bin", L"$SysReset", L"System Volume Information", L"Zarnpath",
                           L"$WINDOWS.~BT", L"$Windows.~WS", L"OneDriveTemp", L"Recovery", L"Boot"}) {
    words.push_back(platform::upper(word));
  }
  return words;
}

}  // namespace zrn

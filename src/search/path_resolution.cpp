#include "search/path_resolution.h"

#include <map>
#include <memory>

namespace zrn {

std::wstring lookup_pattern(std::wstring_view component) {
  std::wstring pattern;
  for (const wchar_t c : component) {
    if (c != L'?') {
      pattern += c;
    } else if (pattern.empty() || pattern.back() != L'*') {
      pattern += L'*';
    }
  }
  return pattern;
}

DirectoryLookup cached_lookup(DirectoryLookup read, std::size_t most_reads) {
  struct Cache {
    std::map<std::wstring, std::vector<std::wstring>> found;
    std::size_t reads_left;
  };
  auto cache = std::make_shared<Cache>(Cache{{}, most_reads});
  return [read = std::move(read), cache](const std::wstring& pattern) {
    if (const auto known = cache->found.find(pattern); known != cache->found.end()) return known->second;
    if (cache->reads_left == 0) return std::vector<std::wstring>{};
    --cache->reads_left;
    return cache->found.emplace(pattern, read(pattern)).first->second;
  };
}

std::vector<std::wstring> names_stored_as(std::wstring_view stored, const std::vector<std::wstring>& names,
                                          const AnsiForm& ansi_form) {
  const std::string stored_form = ansi_form(stored);
  std::vector<std::wstring> kept;
  for (const auto& name : names) {
    if (ansi_form(name) == stored_form) kept.push_back(name);
  }
  return kept;
}

std::vector<std::wstring> resolve_index_path(std::wstring_view path, const DirectoryLookup& lookup,
                                             const AnsiForm& ansi_form, std::size_t limit) {
  if (path.find(L'?') == std::wstring_view::npos) return {std::wstring(path)};
  std::vector<std::wstring> paths{L""};
  std::size_t start = 0;
  for (bool first = true; start <= path.size(); first = false) {
    std::size_t end = path.find(L'\\', start);
    if (end == std::wstring_view::npos) end = path.size();
    const std::wstring_view component = path.substr(start, end - start);
    start = end + 1;
    if (component.find(L'?') == std::wstring_view::npos) {
      for (auto& p : paths) {
        if (!first) p += L'\\';
        p += component;
      }
      continue;
    }
    // A drive or share cannot be looked up like a directory's entry.
    if (first) return {};
    std::vector<std::wstring> longer;
    for (const auto& p : paths) {
      const std::wstring directory = p + L'\\';
      for (const auto& name : names_stored_as(component, lookup(directory + lookup_pattern(component)), ansi_form)) {
        if (longer.size() == limit) break;
        longer.push_back(directory + name);
      }
    }
    paths = std::move(longer);
    if (paths.empty()) return {};
  }
  return paths;
}

}  // namespace zrn

#include "platform/system_info.h"

#include <windows.h>

#if defined(_MSC_VER)
#include <intrin.h>
#else
#include <cpuid.h>
#endif

#include <array>
#include <cstring>

namespace zrn::platform {

namespace {

constexpr unsigned kBrandLeaves[] = {0x80000002u, 0x80000003u, 0x80000004u};

// Registers EAX, EBX, ECX, EDX of a CPUID leaf; false when the processor
// does not offer the leaf.
bool cpuid(unsigned leaf, std::array<unsigned, 4>& registers) {
#if defined(_MSC_VER)
  int values[4] = {};
  __cpuid(values, static_cast<int>(0x80000000u));
  if (static_cast<unsigned>(values[0]) < leaf) return false;
  __cpuid(values, static_cast<int>(leaf));
  for (std::size_t i = 0; i < 4; ++i) registers[i] = static_cast<unsigned>(values[i]);
  return true;
#else
  return __get_cpuid(leaf, &registers[0], &registers[1], &registers[2], &registers[3]) != 0;
#endif
}

}  // namespace

std::wstring user_name() {
  wchar_t buffer[1024] = {};
  DWORD size = 1024;
  if (!GetUserNameW(buffer, &size)) return L"";
  return std::wstring(buffer);
}

std::wstring computer_name() {
  wchar_t buffer[16] = {};
  DWORD size = 16;
  if (!GetComputerNameW(buffer, &size)) return L"";
  return std::wstring(buffer);
}

std::uint64_t total_physical_memory() {
  MEMORYSTATUSEX status = {};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return 0;
  return status.ullTotalPhys;
}

std::string processor_brand_bytes() {
  char brand[49] = {};
  for (std::size_t i = 0; i < 3; ++i) {
    std::array<unsigned, 4> registers{};
    if (!cpuid(kBrandLeaves[i], registers)) return "";
    std::memcpy(brand + 16 * i, registers.data(), 16);
  }
  return std::string(brand);
}

}  // namespace zrn::platform

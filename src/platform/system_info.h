#pragma once
// Facts about the user and the machine for the information report.
#include <cstdint>
#include <string>

namespace zrn::platform {

std::wstring user_name();               // empty when it cannot be read
std::wstring computer_name();           // empty when it cannot be read
std::uint64_t total_physical_memory();  // bytes; 0 when it cannot be read
// The processor's 48-byte brand string up to its terminating zero, in the
// ANSI code page; empty when the processor has none.
std::string processor_brand_bytes();

}  // namespace zrn::platform

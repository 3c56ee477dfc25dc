#pragma once

#include <string>
#include <string_view>

// Conversions between the toolkit's UTF-8 and the system code page (GB18030,
// the superset of code page 936 that holds every Unicode character).
namespace rt {

std::string utf8_to_system(std::string_view utf8);
std::string system_to_utf8(std::string_view system);

}  // namespace rt

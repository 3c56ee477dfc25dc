#pragma once

#include <string>

namespace rt {

// Hands an address to the desktop: its default handler for the address's
// scheme, or failing that the default application for HTML documents.
// True when one of them started.
bool open_with_desktop(const std::string& address);

}  // namespace rt

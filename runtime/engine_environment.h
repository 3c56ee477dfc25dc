#pragma once

#include <span>
#include <string>

namespace rt {

// Settings the program hands the browser engine (and its processes) through
// the environment, as the engine takes them. A variable the person has set
// already is left as it is.
void set_engine_environment();

// The variables set_engine_environment() set itself: they are meant for the
// engine alone, not for the programs the desktop starts for this one.
std::span<const std::string> engine_environment_set_here();

}  // namespace rt

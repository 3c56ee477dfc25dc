#pragma once

#include <filesystem>
#include <optional>

namespace rt {

// The folder the running program's file is in, when the system says.
std::optional<std::filesystem::path> program_folder();

}  // namespace rt

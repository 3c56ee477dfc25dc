#include "runtime/program_folder.h"

namespace rt {

std::optional<std::filesystem::path> program_folder() {
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::nullopt;
    return program.parent_path();
}

}  // namespace rt

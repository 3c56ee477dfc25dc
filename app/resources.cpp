#include "app/resources.h"

#include "program_resources.h"

namespace app {
namespace {

const std::span<const unsigned char> kProgramIconSizes[] = {
    resources::program_icon_16_png,
    resources::program_icon_32_png,
    resources::program_icon_48_png,
};

}  // namespace

const std::span<const std::span<const unsigned char>> program_icon{kProgramIconSizes};

}  // namespace app

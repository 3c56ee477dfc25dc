#include "app/routines.h"

#include "runtime/visual_style.h"

namespace app {

namespace {
constexpr int kOliveGreenScheme = 2;
}

void start_up_routine() {}

void exit_routine() {}

void apply_program_style() {
    rt::apply_visual_style(kOliveGreenScheme);
}

}  // namespace app

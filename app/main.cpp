#include "app/routines.h"
#include "runtime/runtime.h"
#include "search_window/search_window.h"

int main() {
    rt::initialise();
    app::start_up_routine();
    rt::register_exit_routine(app::exit_routine);
    rt::load_startup_window(search_window::description);
    rt::run_event_loop();
    return rt::end_normally();
}

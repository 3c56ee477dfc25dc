#pragma once

#include <gtkmm.h>

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "runtime/built_window.h"
#include "runtime/runtime.h"

namespace rt {

// What the run time keeps between calls, all on the GUI thread.
struct RuntimeState {
    bool initialised = false;
    // Never shown: owns the windows loaded modally, so they get no taskbar entry.
    std::unique_ptr<Gtk::Window> hidden_owner;
    // The program windows that exist, in the order they were loaded.
    std::vector<std::unique_ptr<BuiltWindow>> windows;
    // For each modal window: the windows it disabled and whether each was enabled.
    std::map<const BuiltWindow*, std::vector<std::pair<BuiltWindow*, bool>>> disabled_by;
    struct Waiter {
        const BuiltWindow* window;
        Glib::RefPtr<Glib::MainLoop> loop;
    };
    std::vector<Waiter> waiters;  // nested loops of modal loads, innermost last
    Routine exit_routine = nullptr;
    bool loop_entered = false;
    bool building = false;
    Glib::RefPtr<Glib::MainLoop> main_loop;
};

RuntimeState& state();

// The most recently loaded window of the description that still exists, or nullptr.
BuiltWindow* find_loaded(const WindowDescription& description);

}  // namespace rt

#pragma once

#include <string_view>

#include "runtime/text.h"
#include "runtime/window_description.h"

// The windowing run time as the program sees it. Windows are named by their
// description; controls by the name in it. Everything runs on the GUI thread.
namespace rt {

using Routine = void (*)();

// Sets up the toolkit, makes the program file's folder the working directory
// and creates the hidden owner window. Does not return on failure.
void initialise();

// The routine is called once when the program ends normally.
void register_exit_routine(Routine routine);

// Builds the start-up window, delivers its created, moved and size-changed
// events in that order and shows it. Does not return on failure.
void load_startup_window(const WindowDescription& window);

// Runs until no program window remains; returns at once if none exists.
void run_event_loop();

// Loads a window; modal: disables the other program windows and returns only
// after the new window has been destroyed. False when it could not be created.
bool load_window(const WindowDescription& window, bool modal);

// The normal end: calls the exit routine once and releases the run time.
// Returns the exit status, 0.
int end_normally();

// Reports a fatal error in a message box, then ends the process with status -1
// without calling the exit routine.
[[noreturn]] void fatal_error(std::string_view message);

// Client area of a loaded window, 0 x 0 while minimised.
int client_width(const WindowDescription& window);
int client_height(const WindowDescription& window);

// Resize a control at once, keeping its place; the value is clamped to 0 ... 32627.
void set_width(const WindowDescription& window, std::string_view control, int width);
void set_height(const WindowDescription& window, std::string_view control, int height);

// A fresh copy of an edit box's whole text in the system code page, or no text when empty.
Text read_text(const WindowDescription& window, std::string_view control);

// Stores a copy of the address in a web view and starts loading it there.
void write_address(const WindowDescription& window, std::string_view control, const char* address);

}  // namespace rt

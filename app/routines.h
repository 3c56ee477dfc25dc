#pragma once

// The program's own routines around the run time's start-up and end.
namespace app {

void start_up_routine();  // nothing to set up: no settings, no command line
void exit_routine();      // nothing to tidy: called once at a normal end

// The search window's created handler: the olive-green colour scheme for
// push buttons and edit boxes, before the window is first shown.
void apply_program_style();

}  // namespace app

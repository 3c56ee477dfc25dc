#pragma once

#include "runtime/window_description.h"

namespace search_window {

// The program's start-up window and only main window.
extern const rt::WindowDescription description;

// Handlers bound in the description.
void resize_action();  // the web view takes the client area's width and height
void search_action();  // the results page for the typed film name

// "http://", the search service's host and "/so.asp?k=".
extern const char* const search_address_prefix;

}  // namespace search_window

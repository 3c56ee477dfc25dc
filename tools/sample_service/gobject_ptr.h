#pragma once
// Owning handles for GLib objects and strings, so that no code here has to pair
// a g_object_unref or g_free by hand.

#include <glib-object.h>

#include <memory>

namespace sample_service {

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};

template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct GFree {
    void operator()(gpointer memory) const { g_free(memory); }
};

using GCharPtr = std::unique_ptr<char, GFree>;

}  // namespace sample_service

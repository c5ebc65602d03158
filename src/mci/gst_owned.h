#pragma once
// Owning handles for GStreamer and GLib objects: each is released by the
// function that matches how it was obtained, on every path out of a scope.

#include <gst/gst.h>

#include <memory>

namespace snipwell::mci {

struct GstObjectRelease {
    void operator()(gpointer object) const { gst_object_unref(object); }
};
struct GstMessageRelease {
    void operator()(GstMessage* message) const { gst_message_unref(message); }
};
struct GFreeRelease {
    void operator()(gpointer memory) const { g_free(memory); }
};

// A GstElement, GstBus or any other GstObject we hold a reference to.
template <typename T>
using GstOwned = std::unique_ptr<T, GstObjectRelease>;
using GstMessageOwned = std::unique_ptr<GstMessage, GstMessageRelease>;
using GCharOwned = std::unique_ptr<gchar, GFreeRelease>;

}  // namespace snipwell::mci

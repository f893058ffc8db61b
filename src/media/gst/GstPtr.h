#pragma once

#include <gst/gst.h>

#include <memory>

// Owning references to GStreamer objects, released on every way out of a scope.
struct TGstObjectUnref {
    void operator()(gpointer aObject) const
    {
        if (aObject)
            gst_object_unref(aObject);
    }
};
template <class T> using TGstRef = std::unique_ptr<T, TGstObjectUnref>;

struct TGstMiniObjectUnref {
    void operator()(gpointer aObject) const
    {
        if (aObject)
            gst_mini_object_unref(GST_MINI_OBJECT_CAST(aObject));
    }
};
using TGstCapsRef = std::unique_ptr<GstCaps, TGstMiniObjectUnref>;
using TGstMessageRef = std::unique_ptr<GstMessage, TGstMiniObjectUnref>;
using TGstSampleRef = std::unique_ptr<GstSample, TGstMiniObjectUnref>;
using TGstEventRef = std::unique_ptr<GstEvent, TGstMiniObjectUnref>;

struct TGFree {
    void operator()(gpointer aPointer) const { g_free(aPointer); }
};
using TGChars = std::unique_ptr<gchar, TGFree>;

// Takes over a reference the caller already owns (the "transfer full" results).
template <class T> TGstRef<T> AdoptRef(T* aObject)
{
    return TGstRef<T>(aObject);
}
// Adds a reference of our own.
template <class T> TGstRef<T> ShareRef(T* aObject)
{
    return TGstRef<T>(aObject ? static_cast<T*>(gst_object_ref(aObject)) : nullptr);
}

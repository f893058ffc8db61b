#include "media/gst/MediaElements.h"

#include "media/gst/GstFramesNotifier.h"
#include "media/gst/GstStreamNotifier.h"

gboolean TessMediaPluginInit(GstPlugin* plugin)
{
    return gst_element_register(plugin, "streamnotifier", GST_RANK_NONE,
                                TESS_TYPE_STREAM_NOTIFIER) &&
           gst_element_register(plugin, "framesnotifier", GST_RANK_NONE, TESS_TYPE_FRAMES_NOTIFIER);
}

bool TessRegisterMediaElements()
{
    static const bool registered = [] {
        return bool(gst_plugin_register_static(GST_VERSION_MAJOR, GST_VERSION_MINOR, "tessarine",
                                               "Tessarine stream and frames notifiers",
                                               TessMediaPluginInit, TESS_VERSION, "LGPL",
                                               "tessarine", "Tessarine", "local"));
    }();
    return registered;
}

#pragma once

#include <gst/gst.h>

// Registers the "streamnotifier" and "framesnotifier" elements with a plugin.
gboolean TessMediaPluginInit(GstPlugin* plugin);

// Registers both elements statically in this process (after gst_init); safe to call again.
// The program uses this; the plugin module of the same elements is for the GStreamer tools.
bool TessRegisterMediaElements();

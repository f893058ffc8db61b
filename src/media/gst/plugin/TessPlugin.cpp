// The notifier elements as a loadable plugin module, for gst-inspect-1.0 and gst-launch-1.0.
#include "media/gst/MediaElements.h"

#define PACKAGE "tessarine"

GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, tessarine,
                  "Tessarine stream and frames notifiers", TessMediaPluginInit, TESS_VERSION,
                  "LGPL", "Tessarine", "local")

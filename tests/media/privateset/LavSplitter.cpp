// LAVSplitter.ax of the tests' private set: a splitter reading what a file source gives it.
#include "PrivateSetPlugin.h"

namespace {

const TessPrivateSet::TWrap kSplitter{"TessLavSplitter", "tesslavsplitter", "parsebin",
                                      "Codec/Demuxer", "Tessarine test LAV splitter"};

gboolean PluginInit(GstPlugin* aPlugin)
{
    TessPrivateSet::Register(aPlugin, kSplitter);
    return TRUE;
}

} // namespace

GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, LAVSplitter,
                  "Tessarine tests: private LAV splitter", PluginInit, "1.0", "LGPL",
                  "Tessarine tests", "local")

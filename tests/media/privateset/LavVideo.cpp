// LAVVideo.ax of the tests' private set.
#include "PrivateSetPlugin.h"

namespace {

const TessPrivateSet::TWrap kVideo{"TessLavVideoDec", "tesslavvideodec", "avdec_h264",
                                   "Codec/Decoder/Video", "Tessarine test LAV video decoder"};

gboolean PluginInit(GstPlugin* aPlugin)
{
    TessPrivateSet::Register(aPlugin, kVideo);
    return TRUE;
}

} // namespace

GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, LAVVideo,
                  "Tessarine tests: private LAV video decoder", PluginInit, "1.0", "LGPL",
                  "Tessarine tests", "local")

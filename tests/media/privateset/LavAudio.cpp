// LAVAudio.ax of the tests' private set.
#include "PrivateSetPlugin.h"

namespace {

const TessPrivateSet::TWrap kAudio{"TessLavAudioDec", "tesslavaudiodec", "avdec_aac",
                                   "Codec/Decoder/Audio", "Tessarine test LAV audio decoder"};

gboolean PluginInit(GstPlugin* aPlugin)
{
    TessPrivateSet::Register(aPlugin, kAudio);
    return TRUE;
}

} // namespace

GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, LAVAudio,
                  "Tessarine tests: private LAV audio decoder", PluginInit, "1.0", "LGPL",
                  "Tessarine tests", "local")

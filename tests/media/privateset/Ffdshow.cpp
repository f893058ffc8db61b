// ffdshow.ax of the tests' private set: the video and the audio decoder in one module.
#include "PrivateSetPlugin.h"

namespace {

const TessPrivateSet::TWrap kVideo{"TessFfVideoDec", "tessffvideodec", "avdec_h264",
                                   "Codec/Decoder/Video", "Tessarine test ffdshow video decoder"};
const TessPrivateSet::TWrap kAudio{"TessFfAudioDec", "tessffaudiodec", "avdec_aac",
                                   "Codec/Decoder/Audio", "Tessarine test ffdshow audio decoder"};

gboolean PluginInit(GstPlugin* aPlugin)
{
    TessPrivateSet::Register(aPlugin, kVideo);
    TessPrivateSet::Register(aPlugin, kAudio);
    return TRUE;
}

} // namespace

GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, ffdshow,
                  "Tessarine tests: private ffdshow set", PluginInit, "1.0", "LGPL",
                  "Tessarine tests", "local")

#include "media/MediaInit.h"

#include "media/gst/MediaElements.h"

#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>

#include <mutex>

void EnsureMediaFramework()
{
    static std::once_flag once;
    std::call_once(once, [] {
        if (!gst_is_initialized())
            gst_init(nullptr, nullptr);
        gst_pb_utils_init(); // codec names for the messages
        TessRegisterMediaElements();
    });
}

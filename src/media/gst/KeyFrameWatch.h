#pragma once

#include <gst/gst.h>

#include <memory>

class TKeyFrames;

// Notes into aKeys every compressed frame that passes aPad (a decoder's input), key or not, at
// its stream time. The probe keeps aKeys alive until it is removed with the pad.
void WatchKeyFrames(GstPad* aPad, std::shared_ptr<TKeyFrames> aKeys);

#pragma once

#include <QString>
#include <QtGlobal>

// One recorded scene of a DV capture, as its scene file lists it.
struct TScene {
    QString Path;          // the scene file it was read from
    qint32 StartFrame = 0; // counted from 0 at the start of the video
    qint32 Second = 0;     // read beside the start; the program makes no use of it
};

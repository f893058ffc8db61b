#pragma once

#include <QString>

// "h:mm:ss:ff" for a reference time. A frame duration of 0 or less counts as 10,000; a negative
// time gives "0:00:00:00". A frame starting within half a frame of the next second belongs to it.
QString FormatPosition(qint64 frameDuration, qint64 time);

// A position text back to a reference time, read from the text's right end: "ff", "ss:ff",
// "mm:ss:ff" and any longer hours part all work; a field outside the text or not made of decimal
// digits counts as 0. Never negative; huge hours saturate instead of overflowing.
qint64 ParsePosition(const QString& text, qint64 frameDuration);

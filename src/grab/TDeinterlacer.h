#pragma once

#include <QImage>

#include <vector>

// Motion-adaptive deinterlacing of a grabbed frame: pixels of the odd rows that form a comb with
// the rows around them are replaced by the average of those rows; still areas keep their full
// resolution. Only 32-bit frames (RGB32, ARGB32, ARGB32_Premultiplied) are worked on.
class TDeinterlacer {
public:
    // dest receives a copy of source, deinterlaced when source is a 32-bit frame. source and
    // dest may be the same image.
    void Deinterlace(const QImage& source, QImage& dest);

private:
    // One byte per pixel, kept between calls so that grabs of one size do not allocate. Rows a
    // call does not write keep older values; they are never read for the output.
    std::vector<uchar> m_combs;  // pixels whose channels stand out from both vertical neighbours
    std::vector<uchar> m_marked; // combs with a comb beside them on the row
};

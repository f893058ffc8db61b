#include "grab/TDeinterlacer.h"

namespace {

bool IsFourBytesPerPixel(QImage::Format aFormat)
{
    return aFormat == QImage::Format_RGB32 || aFormat == QImage::Format_ARGB32 ||
           aFormat == QImage::Format_ARGB32_Premultiplied;
}

// Positive when the centre is brighter, or darker, than both neighbours in the channels that
// count most to the eye.
qint32 CombStrength(QRgb aAbove, QRgb aCentre, QRgb aBelow)
{
    const qint32 r = qRed(aCentre), g = qGreen(aCentre), b = qBlue(aCentre);
    return 3 * (qRed(aAbove) - r) * (qRed(aBelow) - r) +
           6 * (qGreen(aAbove) - g) * (qGreen(aBelow) - g) +
           (qBlue(aAbove) - b) * (qBlue(aBelow) - b);
}

constexpr qint32 kCombThreshold = 2000;

} // namespace

void TDeinterlacer::Deinterlace(const QImage& source, QImage& dest)
{
    // A second reference keeps the original pixels readable when dest is source.
    const QImage src = source;
    dest = src;
    if (!IsFourBytesPerPixel(src.format()))
        return;
    const int w = src.width();
    const int h = src.height();
    const size_t size = size_t(w) * size_t(h);
    // resize() keeps the capacity: no allocation for a size already seen.
    m_combs.resize(size);
    m_marked.resize(size);

    bool anyMarked = false;
    for (int r = 1; r < h - 1; r += 2) {
        const auto* above = reinterpret_cast<const QRgb*>(src.constScanLine(r - 1));
        const auto* centre = reinterpret_cast<const QRgb*>(src.constScanLine(r));
        const auto* below = reinterpret_cast<const QRgb*>(src.constScanLine(r + 1));
        uchar* combs = m_combs.data() + size_t(r) * size_t(w);
        for (int x = 0; x < w; ++x)
            combs[x] = CombStrength(above[x], centre[x], below[x]) > kCombThreshold ? 1 : 0;

        // A lone comb pixel is noise.
        uchar* marked = m_marked.data() + size_t(r) * size_t(w);
        for (int x = 0; x < w; ++x) {
            const bool left = x > 0 && combs[x - 1] != 0;
            const bool right = x + 1 < w && combs[x + 1] != 0;
            marked[x] = combs[x] != 0 && (left || right) ? 1 : 0;
            anyMarked = anyMarked || marked[x] != 0;
        }
    }
    if (!anyMarked)
        return;

    for (int r = 1; r < h - 1; r += 2) {
        const uchar* marked = m_marked.data() + size_t(r) * size_t(w);
        const auto* above = reinterpret_cast<const QRgb*>(src.constScanLine(r - 1));
        const auto* below = reinterpret_cast<const QRgb*>(src.constScanLine(r + 1));
        QRgb* out = nullptr;
        for (int x = 0; x < w; ++x) {
            if (marked[x] == 0)
                continue;
            if (!out)
                out = reinterpret_cast<QRgb*>(dest.scanLine(r)); // detaches dest once
            const QRgb a = above[x], b = below[x];
            const QRgb average = qRgb((qRed(a) + qRed(b)) / 2, (qGreen(a) + qGreen(b)) / 2,
                                      (qBlue(a) + qBlue(b)) / 2);
            out[x] = (out[x] & 0xFF000000u) | (average & 0x00FFFFFFu);
        }
    }
}

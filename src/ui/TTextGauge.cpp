#include "ui/TTextGauge.h"

#include "actions/ActionColors.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

// Figure and text are combined with the picture by a bitwise exclusive-or of the pixels.
void XorInto(QImage& aPicture, const QImage& aLayer)
{
    const int rows = std::min(aPicture.height(), aLayer.height());
    const int cols = std::min(aPicture.width(), aLayer.width());
    for (int y = 0; y < rows; ++y) {
        auto* dst = reinterpret_cast<quint32*>(aPicture.scanLine(y));
        const auto* src = reinterpret_cast<const quint32*>(aLayer.constScanLine(y));
        for (int x = 0; x < cols; ++x)
            dst[x] ^= src[x] & 0x00FFFFFFu;
    }
}

QImage BlackImage(const QSize& aSize, qreal aRatio)
{
    QImage image(aSize, QImage::Format_RGB32);
    image.setDevicePixelRatio(aRatio);
    image.fill(0xFF000000u);
    return image;
}

QString BoundsMessage(qint64 aLow, qint64 aHigh)
{
    return QStringLiteral("La valeur doit être comprise entre %1 et %2").arg(aLow).arg(aHigh);
}

// Reads a decimal count of a format placeholder, kept small so no pattern asks for megabytes.
int ReadCount(const QString& aText, qsizetype& aAt)
{
    int n = 0;
    while (aAt < aText.size() && aText.at(aAt).isDigit()) {
        n = std::min(n * 10 + aText.at(aAt).digitValue(), 64);
        ++aAt;
    }
    return n;
}

} // namespace

TTextGauge::TTextGauge(QWidget* aParent)
    : QWidget(aParent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(100, 100);
}

void TTextGauge::Changed()
{
    update();
}

void TTextGauge::SetCustomText(bool aCustom)
{
    if (aCustom == m_customText)
        return;
    m_customText = aCustom;
    Changed();
}

void TTextGauge::SetBackColor(TColor aColor)
{
    if (aColor == m_backColor)
        return;
    m_backColor = aColor;
    Changed();
}

void TTextGauge::SetBorderStyle(TBorderStyle aStyle)
{
    if (aStyle == m_borderStyle)
        return;
    m_borderStyle = aStyle;
    Changed();
}

void TTextGauge::SetForeColor(TColor aColor)
{
    if (aColor == m_foreColor)
        return;
    m_foreColor = aColor;
    Changed();
}

void TTextGauge::SetColor(TColor aColor)
{
    if (aColor == m_color)
        return;
    m_color = aColor;
    Changed();
}

void TTextGauge::SetGaugeKind(TGaugeKind aKind)
{
    if (aKind == m_gaugeKind)
        return;
    m_gaugeKind = aKind;
    Changed();
}

void TTextGauge::SetMinValue(int aValue)
{
    if (aValue == m_minValue)
        return;
    if (!m_loading && aValue > m_maxValue)
        throw EInvalidOperation(
            BoundsMessage(-std::numeric_limits<int>::max(), qint64(m_maxValue) - 1));
    m_minValue = aValue;
    if (!m_loading && m_progress < aValue)
        m_progress = aValue;
    Changed();
}

void TTextGauge::SetMaxValue(int aValue)
{
    if (aValue == m_maxValue)
        return;
    if (!m_loading && aValue < m_minValue)
        throw EInvalidOperation(
            BoundsMessage(qint64(m_minValue) + 1, std::numeric_limits<int>::max()));
    m_maxValue = aValue;
    if (!m_loading && m_progress > aValue)
        m_progress = aValue;
    Changed();
}

void TTextGauge::SetAlertValue(int aValue)
{
    if (aValue == m_alertValue)
        return;
    m_alertValue = aValue;
    Changed();
}

void TTextGauge::SetProgress(int aValue)
{
    if (!m_loading)
        aValue = std::clamp(aValue, m_minValue, m_maxValue);
    if (aValue == m_progress)
        return;
    const int percent = PercentDone();
    const QString text = DisplayText();
    m_progress = aValue;
    // A value text can change while the percentage does not.
    if (m_loading || percent != PercentDone() || (m_showText && text != DisplayText()))
        Changed();
}

void TTextGauge::SetShowText(bool aShow)
{
    if (aShow == m_showText)
        return;
    m_showText = aShow;
    Changed();
}

void TTextGauge::SetCaption(const QString& aCaption)
{
    if (aCaption == m_caption)
        return;
    m_caption = aCaption;
    Changed();
}

void TTextGauge::SetTextKind(TTextKind aKind)
{
    if (aKind == m_textKind)
        return;
    m_textKind = aKind;
    Changed();
}

void TTextGauge::EndLoading()
{
    m_loading = false;
    m_maxValue = std::max(m_maxValue, m_minValue);
    m_progress = std::clamp(m_progress, m_minValue, m_maxValue);
    Changed();
}

int TTextGauge::PercentDone() const
{
    // In 64 bits: the span of two integers does not fit in one.
    const qint64 span = qint64(m_maxValue) - m_minValue;
    if (span <= 0)
        return 0;
    return int((qint64(m_progress) - m_minValue) * 100 / span);
}

TColor TTextGauge::FillColor() const
{
    const bool done = m_textKind == tkPercentDone || m_textKind == tkValueDone;
    if (done ? m_progress > m_alertValue : m_progress < m_alertValue)
        return kAlertColor;
    return m_foreColor;
}

QString TTextGauge::DisplayText() const
{
    if (m_customText)
        return m_caption;
    switch (m_textKind) {
    case tkPercentDone:
        return QString::number(PercentDone()) + u'%';
    case tkValueDone:
        return FormatValue(m_caption, m_progress);
    case tkValueRemaining:
        return FormatValue(m_caption, qint64(m_maxValue) - m_progress);
    case tkPercentRemaining:
        return QString::number(100 - PercentDone()) + u'%';
    }
    return QString();
}

QRect TTextGauge::FigureArea() const
{
    return m_borderStyle == bsSingle ? rect().adjusted(1, 1, -1, -1) : rect();
}

QImage TTextGauge::Picture() const
{
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    // The picture starts black; a single border is what the figure leaves of it.
    QImage picture = BlackImage(pixels, ratio);
    const QRect area = FigureArea();
    if (area.isEmpty())
        return picture;
    QImage layer = BlackImage(pixels, ratio);
    PaintFigure(layer, area);
    XorInto(picture, layer);
    if (m_showText) {
        layer.fill(0xFF000000u);
        PaintText(layer, area);
        XorInto(picture, layer);
    }
    return picture;
}

void TTextGauge::PaintFigure(QImage& aLayer, const QRect& aArea) const
{
    QPainter p(&aLayer);
    p.setClipRect(aArea);
    const QColor back = ColorToQColor(m_backColor);
    const QColor fill = ColorToQColor(FillColor());
    const QColor around = ColorToQColor(m_color);
    const int w = aArea.width();
    const int h = aArea.height();
    const int percent = std::clamp(PercentDone(), 0, 100);
    switch (m_gaugeKind) {
    case gkText:
        p.fillRect(aArea, back);
        break;
    case gkHorizontalBar: {
        p.fillRect(aArea, back);
        const int width = std::min(w, int(qint64(w) * percent / 100));
        if (width >= 1)
            p.fillRect(QRect(aArea.left(), aArea.top(), width, h), fill);
        break;
    }
    case gkVerticalBar: {
        p.fillRect(aArea, back);
        const int height = std::min(h, int(qint64(h) * percent / 100));
        if (height >= 1)
            p.fillRect(QRect(aArea.left(), aArea.bottom() - height + 1, w, height), fill);
        break;
    }
    case gkPie: {
        p.fillRect(aArea, around);
        const QRect ellipse = aArea.adjusted(0, 0, -1, -1);
        p.setPen(fill);
        p.setBrush(back);
        p.drawEllipse(ellipse);
        if (percent > 0) {
            // From the top, clockwise.
            p.setBrush(fill);
            p.drawPie(ellipse, 90 * 16, -percent * 360 * 16 / 100);
        }
        break;
    }
    case gkNeedle: {
        p.fillRect(aArea, around);
        // The upper half of an ellipse whose centre is the middle of the bottom edge.
        const QRect ellipse(aArea.left(), aArea.top(), w - 1, 2 * (h - 1));
        p.setPen(fill);
        p.setBrush(back);
        p.drawPie(ellipse, 0, 180 * 16);
        p.drawLine(aArea.left(), aArea.bottom(), aArea.right(), aArea.bottom());
        if (percent > 0) {
            const double angle = percent * std::numbers::pi / 100.0; // from the left
            const double cx = aArea.left() + (w - 1) / 2.0;
            const double cy = aArea.bottom();
            const QPointF tip(cx - std::cos(angle) * (w - 1) / 2.0, cy - std::sin(angle) * (h - 1));
            p.drawLine(QPointF(cx, cy), tip);
        }
        break;
    }
    }
}

void TTextGauge::PaintText(QImage& aLayer, const QRect& aArea) const
{
    QPainter p(&aLayer);
    p.setClipRect(aArea);
    // Plain pixels: grey edges would turn into odd colours once combined.
    QFont f = font();
    f.setStyleStrategy(QFont::NoAntialias);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(aArea, Qt::AlignCenter, DisplayText());
}

void TTextGauge::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, Picture());
}

QString TTextGauge::FormatValue(const QString& aPattern, qint64 aValue)
{
    QString out;
    const qsizetype n = aPattern.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = aPattern.at(i);
        if (c != u'%') {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 < n && aPattern.at(i + 1) == u'%') {
            out += u'%';
            i += 2;
            continue;
        }
        qsizetype j = i + 1;
        // An argument index ("%0:d") names the only argument there is.
        qsizetype k = j;
        ReadCount(aPattern, k);
        if (k > j && k < n && aPattern.at(k) == u':')
            j = k + 1;
        const bool left = j < n && aPattern.at(j) == u'-';
        if (left)
            ++j;
        const int width = ReadCount(aPattern, j);
        int precision = 0;
        if (j < n && aPattern.at(j) == u'.') {
            ++j;
            precision = ReadCount(aPattern, j);
        }
        const QChar type = j < n ? aPattern.at(j).toLower() : QChar();
        if (type != u'd' && type != u'u' && type != u'x') {
            out += c; // not a placeholder of ours: shown as written
            ++i;
            continue;
        }
        // Unsigned forms show a 32-bit value as the 32-bit unsigned number it is.
        const bool fits32 = aValue >= std::numeric_limits<qint32>::min() &&
                            aValue <= std::numeric_limits<qint32>::max();
        const quint64 bits = fits32 ? quint64(quint32(qint32(aValue))) : quint64(aValue);
        QString digits;
        if (type == u'd')
            digits = QString::number(aValue < 0 ? -(aValue + 1) + quint64(1) : quint64(aValue));
        else if (type == u'u')
            digits = QString::number(bits);
        else
            digits = QString::number(bits, 16);
        if (aPattern.at(j) == u'X')
            digits = digits.toUpper();
        digits = digits.rightJustified(precision, u'0');
        if (type == u'd' && aValue < 0)
            digits.prepend(u'-');
        out += left ? digits.leftJustified(width, u' ') : digits.rightJustified(width, u' ');
        i = j + 1;
    }
    return out;
}

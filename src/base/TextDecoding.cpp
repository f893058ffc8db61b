#include "base/TextDecoding.h"

#include <QStringDecoder>
#include <QtEndian>

namespace {

constexpr char16_t kHigh1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString DecodeUtf16(const char* aData, qsizetype aBytes, bool aBigEndian)
{
    const qsizetype n = aBytes / 2;
    QString text(n, Qt::Uninitialized);
    if (aBigEndian)
        qFromBigEndian<char16_t>(aData, n, text.data());
    else
        qFromLittleEndian<char16_t>(aData, n, text.data());
    return text;
}

} // namespace

QString DecodeWindows1252(const QByteArray& aBytes)
{
    QString text(aBytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : aBytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = QChar(b >= 0x80 && b < 0xA0 ? kHigh1252[b - 0x80] : char16_t(b));
    }
    return text;
}

QString DecodeText(const QByteArray& aBytes)
{
    const auto* d = reinterpret_cast<const unsigned char*>(aBytes.constData());
    const qsizetype n = aBytes.size();
    if (n >= 2 && d[0] == 0xFF && d[1] == 0xFE)
        return DecodeUtf16(aBytes.constData() + 2, n - 2, false);
    if (n >= 2 && d[0] == 0xFE && d[1] == 0xFF)
        return DecodeUtf16(aBytes.constData() + 2, n - 2, true);
    if (n >= 3 && d[0] == 0xEF && d[1] == 0xBB && d[2] == 0xBF)
        return QString::fromUtf8(aBytes.constData() + 3, n - 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(aBytes);
    if (!utf8.hasError())
        return text;
    return DecodeWindows1252(aBytes);
}

QByteArray EncodeUtf16LeBom(const QString& aText)
{
    QByteArray bytes(2 + aText.size() * 2, Qt::Uninitialized);
    bytes[0] = char(0xFF);
    bytes[1] = char(0xFE);
    qToLittleEndian<char16_t>(aText.utf16(), aText.size(), bytes.data() + 2);
    return bytes;
}

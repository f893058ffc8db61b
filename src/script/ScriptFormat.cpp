#include "script/ScriptFormat.h"

#include "script/ScriptSource.h"

#include "base/NumberText.h"

#include <QLocale>

#include <cmath>

namespace tscript {

namespace {

[[noreturn]] void BadFormat(const QString& aFormat)
{
    ThrowFault(QStringLiteral("Format '") % aFormat %
               QStringLiteral("' incorrect ou incompatible avec l'argument"));
}

QString Fixed(double aValue, int aDecimals)
{
    if (std::isnan(aValue))
        return QStringLiteral("NAN");
    if (std::isinf(aValue))
        return aValue < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    return QString::number(aValue, 'f', aDecimals);
}

QString WithThousands(const QString& aFixed)
{
    qsizetype start = aFixed.startsWith(QLatin1Char('-')) ? 1 : 0;
    qsizetype end = aFixed.indexOf(QLatin1Char('.'));
    if (end < 0)
        end = aFixed.size();
    QString out = aFixed.left(start);
    const QString intPart = aFixed.mid(start, end - start);
    for (qsizetype k = 0; k < intPart.size(); ++k) {
        if (k > 0 && (intPart.size() - k) % 3 == 0)
            out += QLatin1Char(',');
        out += intPart.at(k);
    }
    return out + aFixed.mid(end);
}

QString Scientific(double aValue, int aDigits)
{
    if (std::isnan(aValue))
        return QStringLiteral("NAN");
    if (std::isinf(aValue))
        return aValue < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    const QString raw = QString::number(aValue, 'e', std::clamp(aDigits, 1, 18) - 1);
    const qsizetype e = raw.indexOf(QLatin1Char('e'));
    const QString mantissa = raw.left(e);
    const int exponent = raw.mid(e + 1).toInt();
    const QString expText = QString::number(std::abs(exponent)).rightJustified(3, QLatin1Char('0'));
    return mantissa % QLatin1Char('E') % (exponent < 0 ? QLatin1Char('-') : QLatin1Char('+')) %
           expText;
}

QString General(double aValue, int aDigits)
{
    if (std::isnan(aValue))
        return QStringLiteral("NAN");
    if (std::isinf(aValue))
        return aValue < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (aValue == 0)
        return QStringLiteral("0");
    const int digits = std::clamp(aDigits, 1, 18);
    const QString raw = QString::number(std::fabs(aValue), 'e', digits - 1);
    const qsizetype e = raw.indexOf(QLatin1Char('e'));
    QString mantissa = raw.left(e);
    mantissa.remove(QLatin1Char('.'));
    int exponent = raw.mid(e + 1).toInt();
    while (mantissa.size() > 1 && mantissa.endsWith(QLatin1Char('0')))
        mantissa.chop(1);
    const QString sign = aValue < 0 ? QStringLiteral("-") : QString();
    if (exponent < -5 || exponent >= digits) {
        QString text = mantissa.left(1);
        if (mantissa.size() > 1)
            text += QLatin1Char('.') % mantissa.mid(1);
        return sign % text % QLatin1Char('E') % QString::number(exponent);
    }
    if (exponent < 0)
        return sign % QStringLiteral("0.") % QString(-exponent - 1, QLatin1Char('0')) % mantissa;
    if (mantissa.size() <= exponent + 1)
        return sign % mantissa % QString(exponent + 1 - mantissa.size(), QLatin1Char('0'));
    return sign % mantissa.left(exponent + 1) % QLatin1Char('.') % mantissa.mid(exponent + 1);
}

} // namespace

QString FloatToText(double aValue)
{
    return General(aValue, 15);
}

bool TextToFloat(const QString& aText, double& aValue)
{
    return ::TextToFloat(aText, aValue); // a point or a comma, as the preferences read them
}

bool TextToInt(const QString& aText, qint64& aValue)
{
    QString t = aText.trimmed();
    bool negative = false;
    if (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) {
        negative = t.startsWith(QLatin1Char('-'));
        t = t.mid(1);
    }
    int base = 10;
    if (t.startsWith(QLatin1Char('$'))) {
        base = 16;
        t = t.mid(1);
    } else if (t.startsWith(QLatin1String("0x")) || t.startsWith(QLatin1String("0X"))) {
        base = 16;
        t = t.mid(2);
    }
    if (t.isEmpty())
        return false;
    for (const QChar c : std::as_const(t))
        if (!(c.isDigit() && c.unicode() < 128) &&
            !(base == 16 && c.isLetter() && c.unicode() < 128))
            return false;
    bool ok = false;
    if (base == 16) {
        const quint64 u = t.toULongLong(&ok, 16);
        if (!ok)
            return false;
        aValue = negative ? qint64(0 - u) : qint64(u);
        return true;
    }
    const quint64 u = t.toULongLong(&ok, 10);
    if (!ok)
        return false;
    if (negative) {
        if (u > quint64(std::numeric_limits<qint64>::max()) + 1)
            return false;
        aValue = qint64(0 - u);
    } else {
        if (u > quint64(std::numeric_limits<qint64>::max()))
            return false;
        aValue = qint64(u);
    }
    return true;
}

QString FormatText(const QString& aFormat, const std::vector<TFormatArg>& aArgs)
{
    QString out;
    size_t next = 0;
    const qsizetype n = aFormat.size();
    auto takeInt = [&]() -> qint64 {
        if (next >= aArgs.size() || aArgs[next].kind != TFormatArg::TKind::Int)
            BadFormat(aFormat);
        return aArgs[next++].i;
    };
    for (qsizetype p = 0; p < n; ++p) {
        const QChar c = aFormat.at(p);
        if (c != u'%') {
            out += c;
            continue;
        }
        if (++p >= n)
            BadFormat(aFormat);
        if (aFormat.at(p) == u'%') {
            out += QLatin1Char('%');
            continue;
        }
        // Optional argument index "n:".
        qsizetype q = p;
        qint64 number = -1;
        while (q < n && aFormat.at(q).isDigit()) {
            number = std::max<qint64>(number, 0) * 10 + (aFormat.at(q).unicode() - u'0');
            if (number > 1000000)
                BadFormat(aFormat);
            ++q;
        }
        if (q < n && aFormat.at(q) == u':' && number >= 0) {
            next = size_t(number);
            p = q + 1;
        }
        bool left = false;
        if (p < n && aFormat.at(p) == u'-') {
            left = true;
            ++p;
        }
        qint64 width = -1;
        if (p < n && aFormat.at(p) == u'*') {
            width = takeInt();
            ++p;
        } else {
            while (p < n && aFormat.at(p).isDigit()) {
                width = std::max<qint64>(width, 0) * 10 + (aFormat.at(p).unicode() - u'0');
                if (width > 100000)
                    BadFormat(aFormat);
                ++p;
            }
        }
        qint64 precision = -1;
        if (p < n && aFormat.at(p) == u'.') {
            ++p;
            precision = 0;
            if (p < n && aFormat.at(p) == u'*') {
                precision = takeInt();
                ++p;
            } else {
                while (p < n && aFormat.at(p).isDigit()) {
                    precision = precision * 10 + (aFormat.at(p).unicode() - u'0');
                    if (precision > 100000)
                        BadFormat(aFormat);
                    ++p;
                }
            }
        }
        width = std::min<qint64>(width, 100000);
        if (p >= n || next >= aArgs.size())
            BadFormat(aFormat);
        const QChar type = aFormat.at(p).toLower();
        const TFormatArg& arg = aArgs[next++];
        QString text;
        switch (type.unicode()) {
        case u'd':
        case u'u': {
            if (arg.kind != TFormatArg::TKind::Int)
                BadFormat(aFormat);
            qint64 v = arg.i;
            bool negative = v < 0;
            QString digits =
                type == u'u' ? QString::number(quint64(negative ? quint64(quint32(v)) : quint64(v)))
                             : QString::number(v < 0 ? 0 - quint64(v) : quint64(v));
            if (type == u'u')
                negative = false;
            if (precision > digits.size())
                digits = QString(qsizetype(std::min<qint64>(precision, 100000)) - digits.size(),
                                 QLatin1Char('0')) +
                         digits;
            text = negative ? QLatin1Char('-') + digits : digits;
            break;
        }
        case u'x':
        case u'p': {
            if (arg.kind != TFormatArg::TKind::Int)
                BadFormat(aFormat);
            const quint64 u = (arg.i < 0 && arg.i >= std::numeric_limits<qint32>::min())
                                  ? quint64(quint32(arg.i))
                                  : quint64(arg.i);
            text = QString::number(u, 16).toUpper();
            const qint64 minDigits = type == u'p' ? 8 : precision;
            if (minDigits > text.size())
                text = QString(qsizetype(std::min<qint64>(minDigits, 100000)) - text.size(),
                               QLatin1Char('0')) +
                       text;
            break;
        }
        case u'e':
        case u'f':
        case u'g':
        case u'n':
        case u'm': {
            double v = 0;
            if (arg.kind == TFormatArg::TKind::Float)
                v = arg.f;
            else if (arg.kind == TFormatArg::TKind::Int)
                v = double(arg.i);
            else
                BadFormat(aFormat);
            const int prec = int(std::min<qint64>(precision, 100));
            if (type == u'e')
                text = Scientific(v, prec < 0 ? 15 : prec);
            if (type == u'f')
                text = Fixed(v, prec < 0 ? 2 : prec);
            if (type == u'g')
                text = General(v, prec < 0 ? 15 : prec);
            if (type == u'n' || type == u'm')
                text = WithThousands(Fixed(v, prec < 0 ? 2 : prec));
            break;
        }
        case u's': {
            if (arg.kind == TFormatArg::TKind::Str)
                text = arg.s;
            else if (arg.kind == TFormatArg::TKind::Int)
                text = QString::number(arg.i);
            else
                text = FloatToText(arg.f);
            if (precision >= 0 && precision < text.size())
                text.truncate(qsizetype(precision));
            break;
        }
        default:
            BadFormat(aFormat);
        }
        if (width > text.size()) {
            const QString pad(qsizetype(width) - text.size(), QLatin1Char(' '));
            text = left ? text + pad : pad + text;
        }
        out += text;
        if (out.size() > 64 * 1024 * 1024)
            ThrowFault(QStringLiteral("Chaîne trop longue"));
    }
    return out;
}

} // namespace tscript

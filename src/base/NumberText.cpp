#include "base/NumberText.h"

#include <QLocale>

#include <cmath>

QString FloatToText(double aValue)
{
    if (std::isnan(aValue))
        return QStringLiteral("NAN");
    if (std::isinf(aValue))
        return aValue > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    return QString::number(aValue, 'g', QLocale::FloatingPointShortest);
}

bool TextToFloat(const QString& aText, double& aValue)
{
    QString t = aText.trimmed();
    if (t.count(u',') == 1 && !t.contains(u'.'))
        t.replace(u',', u'.');
    // "1,000.5" is not a thousand: a comma is the decimal separator of a text without a point,
    // and group separators are not numbers.
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double v = c.toDouble(t, &ok);
    if (!ok)
        return false;
    aValue = v;
    return true;
}

bool TextToInt(const QString& aText, qint32& aValue)
{
    bool ok = false;
    const int v = aText.trimmed().toInt(&ok, 10);
    if (!ok)
        return false;
    aValue = v;
    return true;
}

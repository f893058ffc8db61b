#include "script/ScriptHost.h"

#include <QLocale>

#include <limits>

namespace {
template <class... F> struct Overload : F... {
    using F::operator()...;
};
template <class... F> Overload(F...) -> Overload<F...>;
} // namespace

qint64 TScriptValue::ToInt() const
{
    return std::visit(Overload{[](std::monostate) { return qint64(0); }, [](qint64 v) { return v; },
                               [](double v) {
                                   // Out of range (or NaN) would be undefined: saturate.
                                   if (!(v == v))
                                       return qint64(0);
                                   if (v >= 9.2233720368547758e18)
                                       return std::numeric_limits<qint64>::max();
                                   if (v <= -9.2233720368547758e18)
                                       return std::numeric_limits<qint64>::min();
                                   return qint64(v);
                               },
                               [](bool v) { return qint64(v ? 1 : 0); },
                               [](const QString& v) { return v.trimmed().toLongLong(); }},
                      m_v);
}

double TScriptValue::ToDouble() const
{
    return std::visit(Overload{[](std::monostate) { return 0.0; },
                               [](qint64 v) { return double(v); }, [](double v) { return v; },
                               [](bool v) { return v ? 1.0 : 0.0; },
                               [](const QString& v) { return QLocale::c().toDouble(v.trimmed()); }},
                      m_v);
}

bool TScriptValue::ToBool() const
{
    return std::visit(
        Overload{[](std::monostate) { return false; }, [](qint64 v) { return v != 0; },
                 [](double v) { return v != 0.0; }, [](bool v) { return v; },
                 [](const QString& v) {
                     return v.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
                 }},
        m_v);
}

QString TScriptValue::ToString() const
{
    return std::visit(
        Overload{[](std::monostate) { return QString(); },
                 [](qint64 v) { return QString::number(v); },
                 [](double v) { return QString::number(v, 'g', QLocale::FloatingPointShortest); },
                 [](bool v) { return v ? QStringLiteral("True") : QStringLiteral("False"); },
                 [](const QString& v) { return v; }},
        m_v);
}

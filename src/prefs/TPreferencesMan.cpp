#include "prefs/TPreferencesMan.h"

#include <exception>

QString TPreferencesMan::ChildPath(const QString& aPath, const QString& aName)
{
    if (aPath.isEmpty())
        return aName;
    if (aName.isEmpty())
        return aPath;
    return aPath + u'\\' + aName;
}

QString TPreferencesMan::ParentPath(const QString& aPath)
{
    const qsizetype p = aPath.lastIndexOf(u'\\');
    return p < 0 ? QString() : aPath.left(p);
}

namespace {

// Runs the steps of a composite value inside its sub-key; every step must succeed.
template <class Steps>
bool InSubKey(TPreferencesMan& store, const QString& aName, bool create, Steps&& steps)
{
    try {
        if (!store.OpenKey(aName, create))
            return false;
        const bool ok = steps();
        store.CloseKey();
        return ok;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

bool TPreferencesMan::WriteFont(const QString& aName, const TFontDesc& f)
{
    return InSubKey(*this, aName, true, [&] {
        return WriteInteger(QStringLiteral("Charset"), f.Charset) &&
               WriteInteger(QStringLiteral("Color"), f.Color) &&
               WriteString(QStringLiteral("Name"), f.Name) &&
               WriteInteger(QStringLiteral("Pitch"), f.Pitch) &&
               WriteInteger(QStringLiteral("PixelsperInch"), f.PixelsPerInch) &&
               WriteInteger(QStringLiteral("Size"), f.Size) &&
               WriteBool(QStringLiteral("Bold"), f.Bold) &&
               WriteBool(QStringLiteral("Italic"), f.Italic) &&
               WriteBool(QStringLiteral("StrikeOut"), f.StrikeOut) &&
               WriteBool(QStringLiteral("Underline"), f.Underline);
    });
}

bool TPreferencesMan::ReadFont(const QString& aName, TFontDesc& f)
{
    return InSubKey(*this, aName, false, [&] {
        // The style starts empty; a flag is added only when it reads True.
        f.Bold = f.Italic = f.StrikeOut = f.Underline = false;
        const bool ok = ReadInteger(QStringLiteral("Charset"), f.Charset) &&
                        ReadInteger(QStringLiteral("Color"), f.Color) &&
                        ReadString(QStringLiteral("Name"), f.Name) &&
                        ReadInteger(QStringLiteral("Pitch"), f.Pitch) &&
                        ReadInteger(QStringLiteral("PixelsperInch"), f.PixelsPerInch) &&
                        ReadInteger(QStringLiteral("Size"), f.Size) &&
                        ReadBool(QStringLiteral("Bold"), f.Bold) &&
                        ReadBool(QStringLiteral("Italic"), f.Italic) &&
                        ReadBool(QStringLiteral("StrikeOut"), f.StrikeOut) &&
                        ReadBool(QStringLiteral("Underline"), f.Underline);
        return ok;
    });
}

bool TPreferencesMan::WriteRect(const QString& aName, const TRect& r)
{
    return InSubKey(*this, aName, true, [&] {
        return WriteInteger(QStringLiteral("Left"), r.Left) &&
               WriteInteger(QStringLiteral("Top"), r.Top) &&
               WriteInteger(QStringLiteral("Right"), r.Right) &&
               WriteInteger(QStringLiteral("Bottom"), r.Bottom);
    });
}

bool TPreferencesMan::ReadRect(const QString& aName, TRect& r)
{
    return InSubKey(*this, aName, false, [&] {
        return ReadInteger(QStringLiteral("Top"), r.Top) &&
               ReadInteger(QStringLiteral("Left"), r.Left) &&
               ReadInteger(QStringLiteral("Right"), r.Right) &&
               ReadInteger(QStringLiteral("Bottom"), r.Bottom);
    });
}

bool TPreferencesMan::WritePoint(const QString& aName, const TPoint& p)
{
    try {
        return WriteInteger(aName + QStringLiteral(".X"), p.X) &&
               WriteInteger(aName + QStringLiteral(".Y"), p.Y);
    } catch (const std::exception&) {
        return false;
    }
}

bool TPreferencesMan::ReadPoint(const QString& aName, TPoint& p)
{
    try {
        const bool x = ReadInteger(aName + QStringLiteral(".X"), p.X);
        const bool y = ReadInteger(aName + QStringLiteral(".Y"), p.Y);
        return x && y;
    } catch (const std::exception&) {
        return false;
    }
}

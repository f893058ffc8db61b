// Any bytes as an ini file: reading never fails badly, and every text written reads back whole.
#include "base/TextDecoding.h"
#include "prefs/TIniPreferencesMan.h"

#include <QDir>
#include <QFile>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QString file = QDir::tempPath() + QStringLiteral("/fuzz_ini_%1.ini").arg(getpid());
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly))
            return 0;
        f.write(bytes);
    }
    {
        TIniPreferencesMan ini(file);
        QStringList names;
        ini.GetKeyNames(names);
        for (const QString& key : std::as_const(names).mid(0, 8)) {
            ini.OpenKey(key, false);
            QStringList values;
            ini.GetValueNames(values);
            for (const QString& v : std::as_const(values).mid(0, 8)) {
                QString s;
                bool b;
                qint32 i;
                double d;
                ini.ReadString(v, s);
                ini.ReadBool(v, b);
                ini.ReadInteger(v, i);
                ini.ReadFloat(v, d);
            }
            TRect r;
            TFontDesc f;
            ini.ReadRect(key, r);
            ini.ReadFont(key, f);
            ini.CloseKey();
        }
        // Whatever the text, it reads back as written and forges no section.
        const QString text = DecodeText(bytes);
        const auto headers = [&ini] {
            qsizetype n = 0;
            for (const QString& l : ini.Lines())
                n += l.startsWith(u'[') && l.endsWith(u']');
            return n;
        };
        const qsizetype before = headers();
        ini.OpenKey(QStringLiteral("ScriptForm"), true);
        ini.WriteString(QStringLiteral("Fuzz"), text);
        QString back;
        if (!ini.ReadString(QStringLiteral("Fuzz"), back) || back != text)
            abort();
        if (TIniPreferencesMan::DecodeValue(TIniPreferencesMan::EncodeValue(text)) != text)
            abort();
        if (headers() > before + 1)
            abort();
        if (!names.isEmpty())
            ini.DeleteKey(names.first());
    }
    return 0;
}

#include "prefs/TIniPreferencesMan.h"

#include "base/NumberText.h"
#include "base/TextDecoding.h"

#include <QFile>
#include <QSaveFile>

#include <unistd.h>

namespace {

bool IsHeader(const QString& aLine)
{
    return aLine.startsWith(u'[') && aLine.endsWith(u']');
}

bool IsSectionEnd(const QString& aLine)
{
    return aLine.isEmpty() || IsHeader(aLine);
}

QString HeaderOf(const QString& aPath)
{
    return u'[' + aPath + u']';
}

bool NameMatches(const QString& aLine, const QString& aName)
{
    const qsizetype eq = aLine.indexOf(u'=');
    return eq >= 0 && QStringView(aLine).left(eq).compare(aName, Qt::CaseInsensitive) == 0;
}

} // namespace

TIniPreferencesMan::TIniPreferencesMan(const QString& aFileName)
    : m_fileName(aFileName)
{
    QFile file(aFileName);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        if (file.error() == QFileDevice::NoError)
            m_lines = SplitLines(DecodeText(bytes));
        else
            m_readFailed = true;
    } else if (file.exists()) {
        m_readFailed = true; // there, but not for us: never written over with defaults
    }
    if (m_lines.isEmpty())
        m_lines << QStringLiteral("[]");
    OpenKey(QString(), true);
}

TIniPreferencesMan::~TIniPreferencesMan()
{
    Flush();
}

bool TIniPreferencesMan::Flush()
{
    if (m_readFailed)
        return false;
    if (m_discarded || (!m_dirty && QFile::exists(m_fileName)))
        return true;
    QString text;
    for (const QString& line : std::as_const(m_lines))
        text += line + QStringLiteral("\r\n");
    const QByteArray bytes = EncodeUtf16LeBom(text);
    // QSaveFile reports a small write as done while it sits in its buffer, and commits even
    // when the real write then fails (a full disk): check every step, down to the disk, and
    // keep the old file whole unless all of it went through.
    QSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size() || !file.flush() ||
        file.error() != QFileDevice::NoError || ::fsync(file.handle()) != 0) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit())
        return false;
    m_dirty = false;
    return true;
}

void TIniPreferencesMan::Discard()
{
    m_discarded = true;
}

QStringList TIniPreferencesMan::SplitLines(const QString& aText)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = aText.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = aText.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines << aText.mid(start, i - start);
        if (c == u'\r' && i + 1 < n && aText.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines << aText.mid(start);
    return lines;
}

QString TIniPreferencesMan::EncodeValue(const QString& aValue)
{
    if (!aValue.contains(u'\r') && !aValue.contains(u'\n') && !aValue.startsWith(u'"'))
        return aValue;
    QString out = QStringLiteral("\"");
    for (const QChar c : aValue) {
        switch (c.unicode()) {
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        case u'"':
            out += QStringLiteral("\\\"");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        default:
            out += c;
        }
    }
    return out + u'"';
}

QString TIniPreferencesMan::DecodeValue(const QString& aRaw)
{
    if (aRaw.size() < 2 || !aRaw.startsWith(u'"') || !aRaw.endsWith(u'"'))
        return aRaw;
    QString out;
    const qsizetype last = aRaw.size() - 1;
    for (qsizetype i = 1; i < last; ++i) {
        const QChar c = aRaw.at(i);
        if (c == u'"')
            return aRaw; // an unescaped quote: not a value of ours, keep it as it stands
        if (c != u'\\') {
            out += c;
            continue;
        }
        if (++i >= last)
            return aRaw;
        switch (aRaw.at(i).unicode()) {
        case u'\\':
            out += u'\\';
            break;
        case u'"':
            out += u'"';
            break;
        case u'r':
            out += u'\r';
            break;
        case u'n':
            out += u'\n';
            break;
        default:
            return aRaw;
        }
    }
    return out;
}

qsizetype TIniPreferencesMan::Header(const QString& aPath) const
{
    const QString header = HeaderOf(aPath);
    for (qsizetype i = 0; i < m_lines.size(); ++i)
        if (m_lines.at(i).compare(header, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

qsizetype TIniPreferencesMan::SectionEnd(qsizetype aHeader) const
{
    qsizetype i = aHeader + 1;
    while (i < m_lines.size() && !IsSectionEnd(m_lines.at(i)))
        ++i;
    return i;
}

qsizetype TIniPreferencesMan::FindLine(const QString& aName) const
{
    const qsizetype h = Header(m_path);
    if (h < 0)
        return -1;
    const qsizetype end = SectionEnd(h);
    for (qsizetype i = h + 1; i < end; ++i)
        if (NameMatches(m_lines.at(i), aName))
            return i;
    return -1;
}

bool TIniPreferencesMan::OpenKey(const QString& aName, bool)
{
    // Like the file it models, a missing section is added whatever aCanCreate says.
    const QString path = ChildPath(m_path, aName);
    if (Header(path) < 0) {
        if (!m_lines.isEmpty())
            m_lines << QString();
        m_lines << HeaderOf(path);
        m_dirty = true;
    }
    m_path = path;
    return true;
}

bool TIniPreferencesMan::CloseKey()
{
    m_path = ParentPath(m_path);
    return OpenKey(QString(), false);
}

bool TIniPreferencesMan::GetValueNames(QStringList& aList)
{
    const qsizetype h = Header(m_path);
    if (h < 0)
        return false;
    const qsizetype end = SectionEnd(h);
    for (qsizetype i = h + 1; i < end; ++i) {
        const qsizetype eq = m_lines.at(i).indexOf(u'=');
        if (eq >= 0)
            aList << m_lines.at(i).left(eq);
    }
    return true;
}

bool TIniPreferencesMan::GetKeyNames(QStringList& aList)
{
    // Direct sub-keys only, each once, as the registry store lists them.
    const QString prefix = m_path.isEmpty() ? QStringLiteral("[") : u'[' + m_path + u'\\';
    QStringList found;
    for (const QString& line : std::as_const(m_lines)) {
        if (!IsHeader(line) || line.size() < prefix.size() + 2 ||
            !line.startsWith(prefix, Qt::CaseInsensitive))
            continue;
        const QString rest = line.mid(prefix.size(), line.size() - prefix.size() - 1);
        const QString child = rest.section(u'\\', 0, 0);
        if (!child.isEmpty() && !found.contains(child, Qt::CaseInsensitive))
            found << child;
    }
    aList += found;
    return true;
}

bool TIniPreferencesMan::ReadRaw(const QString& aName, QString& aRaw) const
{
    const qsizetype i = FindLine(aName);
    if (i < 0)
        return false;
    aRaw = m_lines.at(i).mid(m_lines.at(i).indexOf(u'=') + 1);
    return true;
}

bool TIniPreferencesMan::WriteRaw(const QString& aName, const QString& aRaw)
{
    const QString line = aName + u'=' + aRaw;
    const qsizetype i = FindLine(aName);
    if (i >= 0) {
        if (m_lines.at(i) != line) {
            m_lines[i] = line;
            m_dirty = true;
        }
        return true;
    }
    qsizetype h = Header(m_path);
    if (h < 0) {
        OpenKey(QString(), true);
        h = Header(m_path);
    }
    m_lines.insert(SectionEnd(h), line);
    m_dirty = true;
    return true;
}

bool TIniPreferencesMan::WriteString(const QString& aName, const QString& aValue)
{
    return WriteRaw(aName, EncodeValue(aValue));
}

bool TIniPreferencesMan::ReadString(const QString& aName, QString& aValue)
{
    QString raw;
    if (!ReadRaw(aName, raw))
        return false;
    aValue = DecodeValue(raw);
    return true;
}

bool TIniPreferencesMan::DeleteValue(const QString& aName)
{
    const qsizetype i = FindLine(aName);
    if (i < 0)
        return false;
    m_lines.removeAt(i);
    m_dirty = true;
    return true;
}

bool TIniPreferencesMan::WriteBool(const QString& aName, bool aValue)
{
    return WriteRaw(aName, aValue ? QStringLiteral("True") : QStringLiteral("False"));
}

bool TIniPreferencesMan::ReadBool(const QString& aName, bool& aValue)
{
    QString raw;
    if (!ReadRaw(aName, raw))
        return false;
    if (raw == QLatin1String("True"))
        aValue = true;
    else if (raw == QLatin1String("False"))
        aValue = false;
    else
        return false;
    return true;
}

bool TIniPreferencesMan::WriteInteger(const QString& aName, qint32 aValue)
{
    return WriteRaw(aName, QString::number(aValue));
}

bool TIniPreferencesMan::ReadInteger(const QString& aName, qint32& aValue)
{
    QString raw;
    if (!ReadRaw(aName, raw))
        return false;
    if (!TextToInt(raw, aValue))
        aValue = 0;
    return true;
}

bool TIniPreferencesMan::WriteFloat(const QString& aName, double aValue)
{
    return WriteRaw(aName, FloatToText(aValue));
}

bool TIniPreferencesMan::ReadFloat(const QString& aName, double& aValue)
{
    QString raw;
    return ReadRaw(aName, raw) && TextToFloat(raw, aValue);
}

bool TIniPreferencesMan::DeleteKey(const QString& aName)
{
    if (aName.isEmpty())
        return false;
    const QString path = ChildPath(m_path, aName);
    const QString exact = HeaderOf(path);
    const QString below = u'[' + path + u'\\';
    for (qsizetype i = 0; i < m_lines.size();) {
        const QString& line = m_lines.at(i);
        const bool doomed = IsHeader(line) && (line.compare(exact, Qt::CaseInsensitive) == 0 ||
                                               line.startsWith(below, Qt::CaseInsensitive));
        if (!doomed) {
            ++i;
            continue;
        }
        qsizetype end = SectionEnd(i);
        // Take the blank line that separated it from what came before.
        qsizetype start = i > 0 && m_lines.at(i - 1).isEmpty() ? i - 1 : i;
        m_lines.remove(start, end - start);
        i = start;
        m_dirty = true;
    }
    return true;
}

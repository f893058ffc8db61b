#include "prefs/TRegFile.h"

#include "base/TextDecoding.h"

#include <QFile>
#include <QStringDecoder>
#include <QtEndian>

#include <algorithm>

namespace {

// Windows' own limits: deeper keys or longer names cannot come from a real registry.
constexpr qsizetype kMaxKeyDepth = 512;
constexpr qsizetype kMaxKeyNameChars = 255;
constexpr qsizetype kMaxValueNameChars = 16383;

const QString kCurrentUser = QStringLiteral("HKEY_CURRENT_USER");

class TErrors {
public:
    explicit TErrors(QStringList& aList)
        : m_list(aList)
    {
    }
    TErrors(const TErrors&) = delete;
    TErrors& operator=(const TErrors&) = delete;

    void Add(qsizetype aLine, const QString& aText, bool aAlways = false)
    {
        if (aAlways || m_list.size() < TRegFile::kMaxErrors)
            m_list << QStringLiteral("ligne %1 : %2").arg(QString::number(aLine), aText);
        else
            ++m_dropped;
    }
    void Finish()
    {
        if (m_dropped > 0)
            m_list << QStringLiteral("… et %1 autres erreurs").arg(m_dropped);
        m_dropped = 0;
    }

private:
    QStringList& m_list;
    qsizetype m_dropped = 0;
};

// A key or value name quoted in a message, cut when long.
QString Shown(QStringView aText)
{
    constexpr qsizetype kMax = 80;
    return aText.size() <= kMax ? aText.toString() : aText.first(kMax).toString() + u'…';
}

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

qsizetype SkipBlanks(QStringView aText, qsizetype i)
{
    while (i < aText.size() && IsBlank(aText[i]))
        ++i;
    return i;
}

QStringView TrimRight(QStringView aText)
{
    qsizetype n = aText.size();
    while (n > 0 && IsBlank(aText[n - 1]))
        --n;
    return aText.first(n);
}

// Some tools pad files with NULs: a line of nothing else is blank.
bool IsBlankLine(QStringView aLine)
{
    return std::all_of(aLine.begin(), aLine.end(),
                       [](QChar c) { return c.isSpace() || c.unicode() == 0; });
}

// Nothing left but blanks and a comment.
bool IsEnd(QStringView aRest)
{
    const qsizetype i = SkipBlanks(aRest, 0);
    return i == aRest.size() || aRest[i] == u';';
}

int HexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// 1 to 8 hex digits from aText[i]; i is left after them.
std::optional<quint32> HexNumber(QStringView aText, qsizetype& i)
{
    quint32 v = 0;
    const qsizetype start = i;
    while (i < aText.size() && HexDigit(aText[i]) >= 0) {
        if (i - start == 8)
            return std::nullopt;
        v = v * 16 + quint32(HexDigit(aText[i]));
        ++i;
    }
    if (i == start)
        return std::nullopt;
    return v;
}

// A quoted name or string from aText[i] == '"': only \\ and \" are escapes, as regedit writes
// them; any other backslash is kept as it is.
bool ReadQuoted(QStringView aText, qsizetype& i, QString& aOut)
{
    ++i;
    while (i < aText.size()) {
        const QChar c = aText[i];
        if (c == u'\\' && i + 1 < aText.size() && (aText[i + 1] == u'\\' || aText[i + 1] == u'"')) {
            aOut += aText[i + 1];
            i += 2;
        } else if (c == u'"') {
            ++i;
            return true;
        } else {
            aOut += c;
            ++i;
        }
    }
    return false;
}

QByteArray Utf16Le(QStringView aText)
{
    if (aText.isEmpty()) // a null view has no data pointer to convert from
        return QByteArray();
    QByteArray data(aText.size() * 2, Qt::Uninitialized);
    qToLittleEndian<char16_t>(aText.utf16(), aText.size(), data.data());
    return data;
}

// REG_SZ as regedit stores it: UTF-16LE with a whole two-byte terminator.
QByteArray StringData(const QString& aText)
{
    return Utf16Le(aText) + QByteArray(2, '\0');
}

// REGEDIT4 keeps hex(2) and hex(7) strings in the 8-bit code page: read like an 8-bit text
// file (strict UTF-8, else Windows-1252), one character per 16-bit unit, NULs kept.
QByteArray EightBitToUtf16(const QByteArray& aData)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(aData);
    if (utf8.hasError())
        text = DecodeWindows1252(aData);
    return Utf16Le(text);
}

bool IsCurrentUser(QStringView aRoot)
{
    return aRoot.compare(kCurrentUser, Qt::CaseInsensitive) == 0 ||
           aRoot.compare(u"HKCU", Qt::CaseInsensitive) == 0;
}

bool IsOtherRoot(QStringView aRoot)
{
    static const char16_t* const kRoots[] = {u"HKEY_LOCAL_MACHINE",  u"HKLM",
                                             u"HKEY_CLASSES_ROOT",   u"HKCR",
                                             u"HKEY_USERS",          u"HKU",
                                             u"HKEY_CURRENT_CONFIG", u"HKCC",
                                             u"HKEY_DYN_DATA",       u"HKEY_PERFORMANCE_DATA"};
    for (const char16_t* root : kRoots)
        if (aRoot.compare(QStringView(root), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// Lines ended by CRLF, LF or CR, numbered from 1; a mark gives a looked-at line back.
class TLines {
public:
    explicit TLines(QStringView aText)
        : m_text(aText)
    {
    }
    bool Next(QStringView& aLine)
    {
        const qsizetype n = m_text.size();
        if (m_pos >= n)
            return false;
        qsizetype end = m_pos;
        while (end < n && m_text[end] != u'\n' && m_text[end] != u'\r')
            ++end;
        aLine = m_text.sliced(m_pos, end - m_pos);
        m_pos = end + (end + 1 < n && m_text[end] == u'\r' && m_text[end + 1] == u'\n' ? 2 : 1);
        ++m_number;
        return true;
    }
    qsizetype Number() const { return m_number; }
    struct TMark {
        qsizetype Pos, Number;
    };
    TMark Mark() const { return {m_pos, m_number}; }
    void Reset(TMark aMark)
    {
        m_pos = aMark.Pos;
        m_number = aMark.Number;
    }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
    qsizetype m_number = 0;
};

class TParser {
public:
    TParser(QStringView aText, TRegFileContent& aOut, TErrors& aErrors)
        : m_lines(aText)
        , m_out(aOut)
        , m_errors(aErrors)
    {
    }

    bool Header()
    {
        QStringView line;
        while (m_lines.Next(line)) {
            const QStringView t = line.trimmed();
            if (t.isEmpty())
                continue;
            if (t.compare(u"REGEDIT4", Qt::CaseInsensitive) == 0)
                m_out.Version = 4;
            else if (t.compare(u"Windows Registry Editor Version 5.00", Qt::CaseInsensitive) == 0)
                m_out.Version = 5;
            break;
        }
        if (m_out.Version == 0)
            m_errors.Add(qMax<qsizetype>(m_lines.Number(), 1),
                         QStringLiteral("en-tête « REGEDIT4 » ou « Windows Registry Editor "
                                        "Version 5.00 » absent : fichier refusé"));
        return m_out.Version != 0;
    }

    void Body()
    {
        QStringView line;
        while (m_lines.Next(line)) {
            if (m_out.Operations.size() >= TRegFile::kMaxOperations) {
                m_errors.Add(
                    m_lines.Number(),
                    QStringLiteral("plus de %1 opérations : la suite du fichier est ignorée")
                        .arg(TRegFile::kMaxOperations),
                    true);
                return;
            }
            if (IsBlankLine(line))
                continue;
            const qsizetype i = SkipBlanks(line, 0);
            const QChar c = line[i];
            if (c == u';')
                continue;
            if (c == u'[') {
                Section(line.sliced(i));
            } else if (c == u'"' || c == u'@') {
                Value(line.sliced(i));
            } else {
                Error(QStringLiteral("ligne illisible"));
                SkipContinuation(line);
            }
        }
    }

private:
    enum TState { NoKey, InKey, Refused, Deleted };

    void Error(const QString& aText) { m_errors.Add(m_lines.Number(), aText); }

    void Section(QStringView aLine)
    {
        m_state = Refused; // until the header proves good: its values must not land elsewhere
        const QStringView t = TrimRight(aLine);
        if (t.size() < 2 || t.back() != u']') {
            Error(QStringLiteral("clé illisible : %1").arg(Shown(t)));
            return;
        }
        QStringView inner = t.sliced(1, t.size() - 2);
        const bool remove = inner.startsWith(u'-');
        if (remove)
            inner = inner.sliced(1);
        const qsizetype cut = inner.indexOf(u'\\');
        const QStringView root = cut < 0 ? inner : inner.first(cut);
        QStringView path = cut < 0 ? QStringView() : inner.sliced(cut + 1);
        if (!IsCurrentUser(root)) {
            Error(IsOtherRoot(root)
                      ? QStringLiteral("racine %1 refusée : seule HKEY_CURRENT_USER est importée")
                            .arg(root.toString())
                      : QStringLiteral("clé illisible : %1").arg(Shown(inner)));
            return;
        }
        if (path.endsWith(u'\\')) // regedit accepts one trailing separator
            path.chop(1);
        if (path.startsWith(u'\\') || path.contains(u"\\\\")) {
            Error(QStringLiteral("clé illisible : %1").arg(Shown(inner)));
            return;
        }
        qsizetype depth = 0;
        // An empty path is HKEY_CURRENT_USER itself.
        for (const QStringView level : path.tokenize(u'\\', Qt::SkipEmptyParts)) {
            const bool control =
                std::any_of(level.begin(), level.end(), [](QChar c) { return c.unicode() < 0x20; });
            if (level.size() > kMaxKeyNameChars || control || ++depth > kMaxKeyDepth) {
                Error(QStringLiteral("clé illisible : %1").arg(Shown(inner)));
                return;
            }
        }
        m_key = path.toString();
        m_state = remove ? Deleted : InKey;
        TRegOperation op;
        op.Kind = remove ? TRegOperation::DeleteKey : TRegOperation::CreateKey;
        op.Line = m_lines.Number();
        op.Key = m_key;
        m_out.Operations.append(std::move(op));
    }

    void Value(QStringView aLine)
    {
        const qsizetype line = m_lines.Number();
        if (m_state != InKey) {
            if (m_state == NoKey)
                Error(QStringLiteral("valeur hors de toute clé"));
            else if (m_state == Deleted)
                Error(QStringLiteral("valeur sous une clé supprimée, ignorée"));
            SkipContinuation(aLine);
            return;
        }
        TRegOperation op;
        op.Line = line;
        op.Key = m_key; // shared, not copied
        qsizetype i = 0;
        if (aLine[0] == u'@') {
            i = 1;
        } else if (!ReadQuoted(aLine, i, op.Name) || op.Name.size() > kMaxValueNameChars) {
            Error(QStringLiteral("nom de valeur illisible"));
            SkipContinuation(aLine);
            return;
        }
        i = SkipBlanks(aLine, i);
        if (i == aLine.size() || aLine[i] != u'=') {
            Error(QStringLiteral("valeur illisible"));
            SkipContinuation(aLine);
            return;
        }
        const QStringView rest = aLine.sliced(SkipBlanks(aLine, i + 1));
        if (!Data(rest, op)) {
            // At the value's first line, whatever continuation lines were read.
            m_errors.Add(line, QStringLiteral("valeur illisible"));
            return;
        }
        m_out.Operations.append(std::move(op));
    }

    // The part after "=": fills aOp's kind, type and data. False (continuation lines skipped)
    // when it cannot be read.
    bool Data(QStringView aRest, TRegOperation& aOp)
    {
        qsizetype i = 0;
        if (aRest.startsWith(u'"')) {
            QString text;
            if (!ReadQuoted(aRest, i, text) || !IsEnd(aRest.sliced(i))) {
                SkipContinuation(aRest);
                return false;
            }
            aOp.Kind = TRegOperation::SetValue;
            aOp.Type = TRegistryHive::REG_SZ;
            aOp.Data = StringData(text);
            return true;
        }
        if (aRest.startsWith(u'-') && IsEnd(aRest.sliced(1))) {
            aOp.Kind = TRegOperation::DeleteValue;
            return true;
        }
        if (aRest.startsWith(u"dword:", Qt::CaseInsensitive)) {
            i = 6;
            const auto v = HexNumber(aRest, i);
            if (!v || !IsEnd(aRest.sliced(i))) {
                SkipContinuation(aRest);
                return false;
            }
            aOp.Kind = TRegOperation::SetValue;
            aOp.Type = TRegistryHive::REG_DWORD;
            aOp.Data = QByteArray(4, Qt::Uninitialized);
            qToLittleEndian<quint32>(*v, aOp.Data.data());
            return true;
        }
        if (aRest.startsWith(u"hex", Qt::CaseInsensitive)) {
            i = 3;
            int type = TRegistryHive::REG_BINARY;
            if (i < aRest.size() && aRest[i] == u'(') {
                ++i;
                const auto t = HexNumber(aRest, i);
                if (!t || i == aRest.size() || aRest[i] != u')') {
                    SkipContinuation(aRest);
                    return false;
                }
                ++i;
                type = int(*t);
            }
            if (i == aRest.size() || aRest[i] != u':') {
                SkipContinuation(aRest);
                return false;
            }
            if (!HexList(aRest.sliced(i + 1), aOp.Data))
                return false;
            if (m_out.Version == 4 &&
                (type == TRegistryHive::REG_EXPAND_SZ || type == TRegistryHive::REG_MULTI_SZ))
                aOp.Data = EightBitToUtf16(aOp.Data);
            aOp.Kind = TRegOperation::SetValue;
            aOp.Type = type;
            return true;
        }
        SkipContinuation(aRest);
        return false;
    }

    // "00,1f,..." with lines continued by a final backslash; ends at the end of a line without
    // one, or at a comment. A trailing comma is allowed.
    bool HexList(QStringView aLine, QByteArray& aData)
    {
        QStringView cur = aLine;
        qsizetype i = 0;
        bool afterByte = false; // a comma or the end must come next
        for (;;) {
            i = SkipBlanks(cur, i);
            if (i == cur.size() || cur[i] == u';')
                return true;
            if (cur[i] == u'\\' && SkipBlanks(cur, i + 1) == cur.size()) {
                if (!NextContinued(cur))
                    return true; // nothing follows: the list ends here
                i = 0;
                afterByte = false;
                continue;
            }
            if (afterByte) {
                if (cur[i] != u',')
                    break;
                ++i;
                afterByte = false;
                continue;
            }
            int v = HexDigit(cur[i]);
            if (v < 0)
                break;
            ++i;
            if (i < cur.size() && HexDigit(cur[i]) >= 0)
                v = v * 16 + HexDigit(cur[i++]);
            aData.append(char(v));
            afterByte = true;
        }
        SkipContinuation(cur);
        return false;
    }

    // The next line of a continued value, leading blanks removed; comment lines are passed
    // over. A blank line, or one starting a key or a value, is not part of it and is left for
    // the main loop.
    bool NextContinued(QStringView& aLine)
    {
        for (;;) {
            const TLines::TMark mark = m_lines.Mark();
            QStringView line;
            if (!m_lines.Next(line))
                return false;
            const qsizetype i = SkipBlanks(line, 0);
            if (i < line.size() && line[i] == u';')
                continue;
            if (i == line.size() || line[i] == u'[' || line[i] == u'"' || line[i] == u'@') {
                m_lines.Reset(mark);
                return false;
            }
            aLine = line.sliced(i);
            return true;
        }
    }

    // After an unreadable line: its continuation lines go with it, one error for all.
    void SkipContinuation(QStringView aLine)
    {
        QStringView cur = aLine;
        while (TrimRight(cur).endsWith(u'\\') && NextContinued(cur)) {
        }
    }

    TLines m_lines;
    TRegFileContent& m_out;
    TErrors& m_errors;
    TState m_state = NoKey;
    QString m_key;
};

QStringList Levels(const QString& aPath)
{
    return aPath.split(u'\\', Qt::SkipEmptyParts);
}

bool IsWithin(const QStringList& aKey, const QStringList& aAllowed)
{
    if (aKey.size() < aAllowed.size())
        return false;
    for (qsizetype i = 0; i < aAllowed.size(); ++i)
        if (aKey[i].compare(aAllowed[i], Qt::CaseInsensitive) != 0)
            return false;
    return true;
}

QString FullName(const QString& aPath)
{
    return aPath.isEmpty() ? kCurrentUser : kCurrentUser + u'\\' + aPath;
}

} // namespace

TRegFileContent TRegFile::Parse(const QByteArray& aBytes)
{
    TRegFileContent out;
    TErrors errors(out.Errors);
    const QString text = DecodeText(aBytes);
    TParser parser(text, out, errors);
    if (parser.Header())
        parser.Body();
    errors.Finish();
    return out;
}

namespace {

void ApplyAll(const TRegFileContent& aContent, TRegistryHive& aHive, const QString& aAllowedKey,
              TRegApplyResult& aResult, TErrors& aErrors)
{
    const QStringList allowed = Levels(aAllowedKey);
    if (aContent.Operations.isEmpty())
        return;
    if (allowed.isEmpty()) {
        aErrors.Add(aContent.Operations.first().Line,
                    QStringLiteral("aucune clé permise : rien n'est importé"));
        return;
    }
    if (!aHive.IsOpen()) {
        aErrors.Add(aContent.Operations.first().Line,
                    QStringLiteral("registre inaccessible : %1").arg(aHive.FileName()));
        return;
    }
    const QString allowedName = FullName(allowed.join(u'\\'));
    // The key last opened, so that a section's values do not look it up again.
    std::optional<qint64> current;
    QString currentPath;
    QString refused; // the refused key last reported, for one message per section
    bool anyRefused = false;
    for (const TRegOperation& op : aContent.Operations) {
        const QStringList levels = Levels(op.Key);
        const QString path = levels.join(u'\\');
        if (!IsWithin(levels, allowed)) {
            const bool section =
                op.Kind == TRegOperation::CreateKey || op.Kind == TRegOperation::DeleteKey;
            if (section || !anyRefused || path.compare(refused, Qt::CaseInsensitive) != 0)
                aErrors.Add(op.Line, QStringLiteral("clé %1 hors de %2, ignorée")
                                         .arg(Shown(FullName(path)), allowedName));
            refused = path;
            anyRefused = true;
            continue;
        }
        const auto open = [&](bool aCreate) {
            if (!current || path.compare(currentPath, Qt::CaseInsensitive) != 0) {
                current = aHive.OpenKey(path, aCreate);
                currentPath = path;
            }
            return current;
        };
        bool ok = false;
        switch (op.Kind) {
        case TRegOperation::DeleteKey: {
            current.reset();
            const auto key = aHive.OpenKey(path, false);
            ok = key ? aHive.DeleteKey(*key) : !aHive.Failed();
            break;
        }
        case TRegOperation::CreateKey:
            current.reset(); // it may have been deleted since it was opened
            ok = open(true).has_value();
            break;
        case TRegOperation::SetValue: {
            const auto key = open(true);
            ok = key && aHive.SetValue(*key, op.Name, op.Type, op.Data);
            break;
        }
        case TRegOperation::DeleteValue: {
            // Deleting what is not there is no failure, as in regedit.
            const auto key = open(false);
            ok = key ? (aHive.DeleteValue(*key, op.Name) || !aHive.Failed()) : !aHive.Failed();
            break;
        }
        }
        if (ok)
            ++aResult.Applied;
        else
            aErrors.Add(op.Line, QStringLiteral("écriture impossible dans le registre : %1")
                                     .arg(Shown(FullName(path))));
    }
}

} // namespace

TRegApplyResult TRegFile::Apply(const TRegFileContent& aContent, TRegistryHive& aHive,
                                const QString& aAllowedKey)
{
    TRegApplyResult result;
    TErrors errors(result.Errors);
    ApplyAll(aContent, aHive, aAllowedKey, result, errors);
    errors.Finish();
    return result;
}

bool ImportRegFile(const QString& aFile, const QString& aAllowedKey, const QString& aHiveFile,
                   QStringList* aErrors)
{
    QStringList errors;
    const auto done = [&] {
        if (aErrors)
            *aErrors += errors;
        return errors.isEmpty();
    };
    QFile file(aFile);
    if (!file.open(QIODevice::ReadOnly)) {
        errors << QStringLiteral("fichier illisible : %1").arg(aFile);
        return done();
    }
    // The size may be unknown (a pipe, a special file): the read is bounded as well.
    QByteArray bytes;
    if (file.size() <= TRegFile::kMaxFileBytes)
        bytes = file.read(TRegFile::kMaxFileBytes + 1);
    if (file.size() > TRegFile::kMaxFileBytes || bytes.size() > TRegFile::kMaxFileBytes) {
        errors << QStringLiteral("fichier trop grand (plus de 16 Mio) : %1").arg(aFile);
        return done();
    }
    const TRegFileContent content = TRegFile::Parse(bytes);
    errors += content.Errors;
    if (!content.Recognised())
        return done();
    TRegistryHive hive(aHiveFile, TRegistryHive::Create);
    errors += TRegFile::Apply(content, hive, aAllowedKey).Errors;
    return done();
}

bool DeleteRegKey(const QString& aKeyPath, const QString& aHiveFile)
{
    QStringList levels = Levels(aKeyPath);
    if (!levels.isEmpty() && IsCurrentUser(levels.first()))
        levels.removeFirst();
    if (levels.isEmpty())
        return false; // never all of HKEY_CURRENT_USER
    const QString path = levels.join(u'\\');
    // A read-only look first: nothing to delete takes no write lock and creates no hive.
    switch (TRegistryHive::ProbeKey(aHiveFile, path)) {
    case TRegistryHive::Missing:
        return true;
    case TRegistryHive::Unknown:
        return false;
    case TRegistryHive::Exists:
        break;
    }
    TRegistryHive hive(aHiveFile, TRegistryHive::ReadWrite);
    const auto key = hive.OpenKey(path, false);
    if (!key)
        return !hive.Failed();
    return hive.DeleteKey(*key);
}

#include "script/TScriptPreprocessor.h"

#include "base/TextDecoding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tscript {

int TSourceFiles::Add(const QString& aPath, const QString& aName)
{
    names.push_back(aName);
    paths.push_back(aPath);
    return int(names.size()) - 1;
}

TScriptPreprocessor::TScriptPreprocessor(TSourceFiles& aFiles, QSet<QString> aDefines, TWarn aWarn)
    : m_files(aFiles)
    , m_warn(std::move(aWarn))
{
    for (const QString& d : std::as_const(aDefines))
        m_defines.insert(d.toLower());
}

std::vector<TToken> TScriptPreprocessor::Run(const QString& aText, const QString& aPath)
{
    const QFileInfo info(aPath);
    const QString name = aPath.isEmpty() ? QStringLiteral("script") : info.fileName();
    const QString folder = aPath.isEmpty() ? QDir::currentPath() : info.absolutePath();
    const int file = m_files.Add(aPath.isEmpty() ? QString() : info.absoluteFilePath(), name);
    ProcessText(aText, file, folder, 0);
    TToken eof;
    eof.kind = TTok::Eof;
    eof.pos = m_out.empty() ? TSrcPos{file, 1, 1} : m_out.back().pos;
    // The end of the main text is where the closing token is missing.
    m_out.push_back(eof);
    return std::move(m_out);
}

void TScriptPreprocessor::ProcessText(const QString& aText, int aFile, const QString& aFolder,
                                      int aDepth)
{
    TScriptLexer lexer(aText, aFile);
    const size_t condsAtStart = m_conds.size();
    for (;;) {
        TToken tok = Active() ? lexer.Next() : lexer.SkipToDirective();
        if (tok.kind == TTok::Eof) {
            if (m_conds.size() > condsAtStart)
                ThrowCompile(m_conds.back().pos, QStringLiteral("{$ENDIF} manquant"));
            return;
        }
        if (tok.kind == TTok::Directive) {
            Directive(tok, aFolder, aDepth);
            continue;
        }
        if (!Active())
            continue;
        if (qsizetype(m_out.size()) >= kMaxTokens)
            ThrowCompile(tok.pos, QStringLiteral("Programme trop long"));
        m_out.push_back(std::move(tok));
    }
}

void TScriptPreprocessor::Directive(const TToken& aTok, const QString& aFolder, int aDepth)
{
    const QString body = aTok.text.trimmed();
    qsizetype n = 0;
    while (n < body.size() && (body.at(n).isLetter() || body.at(n) == u'_'))
        ++n;
    const QString name = body.left(n).toUpper();
    // {$I+}, {$R-}...: compiler switches, meaningless here.
    if (n < body.size() && (body.at(n) == u'+' || body.at(n) == u'-'))
        return;
    const QString rest = body.mid(n).trimmed();
    // The first word, whatever blank follows it (a tab, a line break of any kind).
    qsizetype wordEnd = 0;
    while (wordEnd < rest.size() && !rest.at(wordEnd).isSpace())
        ++wordEnd;
    const QString symbol = rest.left(wordEnd).toLower();

    auto needSymbol = [&] {
        if (symbol.isEmpty())
            ThrowCompile(aTok.pos, QStringLiteral("Nom de symbole attendu après {$") % name %
                                       QLatin1Char('}'));
    };

    if (name == QLatin1String("IFDEF") || name == QLatin1String("IFNDEF") ||
        name == QLatin1String("IF")) {
        const bool parent = Active();
        bool taking = false;
        // Inside a skipped region only the nesting counts.
        if (parent && name == QLatin1String("IF")) {
            taking = Condition(aTok, name, rest);
        } else if (parent) {
            needSymbol();
            taking = m_defines.contains(symbol) == (name == QLatin1String("IFDEF"));
        }
        m_conds.push_back({aTok.pos, parent, taking, taking, false});
        return;
    }
    if (name == QLatin1String("ELSEIF")) {
        if (m_conds.empty() || m_conds.back().sawElse)
            ThrowCompile(aTok.pos, QStringLiteral("{$ELSEIF} sans {$IF}"));
        TCond& c = m_conds.back();
        c.taking = c.parentActive && !c.taken && Condition(aTok, name, rest);
        c.taken = c.taken || c.taking;
        return;
    }
    if (name == QLatin1String("ELSE")) {
        if (m_conds.empty() || m_conds.back().sawElse)
            ThrowCompile(aTok.pos, QStringLiteral("{$ELSE} sans {$IFDEF}"));
        TCond& c = m_conds.back();
        c.taking = !c.taken;
        c.taken = true;
        c.sawElse = true;
        return;
    }
    if (name == QLatin1String("ENDIF") || name == QLatin1String("IFEND")) {
        if (m_conds.empty())
            ThrowCompile(aTok.pos, QStringLiteral("{$ENDIF} sans {$IFDEF}"));
        m_conds.pop_back();
        return;
    }
    if (!Active())
        return;
    if (name == QLatin1String("DEFINE")) {
        needSymbol();
        m_defines.insert(symbol);
    } else if (name == QLatin1String("UNDEF")) {
        needSymbol();
        m_defines.remove(symbol);
    } else if (name == QLatin1String("I") || name == QLatin1String("INCLUDE")) {
        QString file = rest;
        if (file.size() >= 2 &&
            (file.startsWith(QLatin1Char('\'')) || file.startsWith(QLatin1Char('"'))) &&
            file.endsWith(file.at(0)))
            file = file.mid(1, file.size() - 2);
        if (file.isEmpty())
            ThrowCompile(aTok.pos, QStringLiteral("Nom de fichier attendu après {$I}"));
        Include(aTok, file, aFolder, aDepth);
    } else if (m_warn) {
        m_warn(aTok.pos, QStringLiteral("Directive inconnue ignorée {$") % name % QLatin1Char('}'));
    }
}

namespace {

// defined(X), not, and, or and parentheses, with Pascal's precedence.
class TConditionParser {
public:
    TConditionParser(std::vector<TToken> aTokens, const QSet<QString>& aDefines)
        : m_toks(std::move(aTokens))
        , m_defines(aDefines)
    {
    }
    // False when the text is no such expression.
    bool Parse(bool& aValue) { return Or(aValue, 0) && m_toks[m_p].kind == TTok::Eof; }

private:
    static constexpr int kMaxDepth = 64;

    bool Accept(TKw aKw)
    {
        if (!m_toks[m_p].Is(aKw))
            return false;
        ++m_p;
        return true;
    }
    bool Accept(TSym aSym)
    {
        if (!m_toks[m_p].Is(aSym))
            return false;
        ++m_p;
        return true;
    }
    bool Or(bool& aValue, int aDepth)
    {
        if (!And(aValue, aDepth))
            return false;
        while (Accept(TKw::Or)) {
            bool right = false;
            if (!And(right, aDepth))
                return false;
            aValue = aValue || right;
        }
        return true;
    }
    bool And(bool& aValue, int aDepth)
    {
        if (!Factor(aValue, aDepth))
            return false;
        while (Accept(TKw::And)) {
            bool right = false;
            if (!Factor(right, aDepth))
                return false;
            aValue = aValue && right;
        }
        return true;
    }
    bool Factor(bool& aValue, int aDepth)
    {
        if (aDepth > kMaxDepth)
            return false;
        if (Accept(TKw::Not)) {
            if (!Factor(aValue, aDepth + 1))
                return false;
            aValue = !aValue;
            return true;
        }
        if (Accept(TSym::LParen))
            return Or(aValue, aDepth + 1) && Accept(TSym::RParen);
        const TToken& tok = m_toks[m_p];
        if (!tok.IsPlainIdent() || tok.key != QLatin1String("defined"))
            return false;
        ++m_p;
        if (!Accept(TSym::LParen) || !m_toks[m_p].IsPlainIdent())
            return false;
        aValue = m_defines.contains(m_toks[m_p].key);
        ++m_p;
        return Accept(TSym::RParen);
    }

    std::vector<TToken> m_toks;
    const QSet<QString>& m_defines;
    size_t m_p = 0;
};

} // namespace

bool TScriptPreprocessor::Condition(const TToken& aTok, const QString& aName,
                                    const QString& aText) const
{
    bool value = false;
    bool ok = false;
    try {
        TConditionParser parser(TScriptLexer::Tokenize(aText, aTok.pos.file), m_defines);
        ok = parser.Parse(value);
    } catch (const TCompileError&) {
        ok = false;
    }
    if (!ok)
        ThrowCompile(aTok.pos, QStringLiteral("Condition de {$") % aName %
                                   QStringLiteral("} non prise en charge : seuls defined(...), "
                                                  "not, and, or et les parenthèses sont admis"));
    return value;
}

QString TScriptPreprocessor::Resolve(const QString& aName, const QString& aFolder) const
{
    QString name = aName;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString base = QDir::isAbsolutePath(name) ? name : QDir(aFolder).filePath(name);
    QStringList candidates{base};
    if (QFileInfo(name).suffix().isEmpty()) {
        candidates << base + QStringLiteral(".pas") << base + QStringLiteral(".inc");
    }
    for (const QString& c : std::as_const(candidates))
        if (QFileInfo(c).isFile())
            return QFileInfo(c).absoluteFilePath();
    // Scripts written on Windows do not always spell file names with their case.
    for (const QString& c : std::as_const(candidates)) {
        const QFileInfo info(c);
        const QDir dir = info.dir();
        if (!dir.exists())
            continue;
        const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden);
        for (const QString& e : entries)
            if (e.compare(info.fileName(), Qt::CaseInsensitive) == 0)
                return dir.absoluteFilePath(e);
    }
    return QString();
}

void TScriptPreprocessor::Include(const TToken& aTok, const QString& aName, const QString& aFolder,
                                  int aDepth)
{
    if (aDepth + 1 > kMaxIncludeDepth)
        ThrowCompile(aTok.pos, QStringLiteral("Inclusions trop imbriquées"));
    const QString path = Resolve(aName, aFolder);
    if (path.isEmpty())
        ThrowCompile(aTok.pos, QStringLiteral("Fichier d'inclusion introuvable '") % aName %
                                   QLatin1Char('\''));
    // Kernel and device files are no sources, and some of them block when read.
    const QString real = QFileInfo(path).canonicalFilePath();
    for (const char* system : {"/proc/", "/sys/", "/dev/"})
        if (real.startsWith(QLatin1String(system)))
            ThrowCompile(aTok.pos, QStringLiteral("Fichier d'inclusion refusé '") % aName %
                                       QLatin1Char('\''));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        ThrowCompile(aTok.pos, QStringLiteral("Lecture impossible du fichier d'inclusion '") %
                                   aName % QLatin1Char('\''));
    const qint64 room = kMaxIncludeBytes - m_includedBytes;
    const QByteArray bytes = file.read(room + 1);
    if (bytes.size() > room)
        ThrowCompile(aTok.pos, QStringLiteral("Fichiers d'inclusion trop volumineux"));
    m_includedBytes += bytes.size();
    const QFileInfo info(path);
    const int index = m_files.Add(path, info.fileName());
    ProcessText(DecodeText(bytes), index, info.absolutePath(), aDepth + 1);
}

} // namespace tscript

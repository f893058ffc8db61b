#pragma once

#include "script/TScriptLexer.h"

#include <QSet>
#include <QString>

#include <functional>
#include <vector>

namespace tscript {

// The files of one compilation; a position's file index points here.
struct TSourceFiles {
    std::vector<QString> names; // as shown in messages
    std::vector<QString> paths; // absolute, empty for a text without file
    int Add(const QString& aPath, const QString& aName);
};

// Turns the main text and its include files into one token list, applying the conditional
// directives: {$IFDEF}, {$IFNDEF}, {$IF} with defined(X), not, and, or and parentheses,
// {$ELSEIF}, {$ELSE}, {$ENDIF} or {$IFEND}. {$I name} is looked up beside the including file.
class TScriptPreprocessor {
public:
    using TWarn = std::function<void(const TSrcPos&, const QString&)>;

    static constexpr int kMaxIncludeDepth = 16;
    static constexpr qsizetype kMaxTokens = 1'000'000;
    static constexpr qint64 kMaxIncludeBytes = 16 * 1024 * 1024;

    TScriptPreprocessor(TSourceFiles& aFiles, QSet<QString> aDefines, TWarn aWarn);

    // Throws TCompileError.
    std::vector<TToken> Run(const QString& aText, const QString& aPath);

private:
    struct TCond {
        TSrcPos pos;
        bool parentActive;
        bool taking; // this branch is taken
        bool taken;  // this branch or an earlier one, so that no later one is
        bool sawElse;
    };

    void ProcessText(const QString& aText, int aFile, const QString& aFolder, int aDepth);
    void Directive(const TToken& aTok, const QString& aFolder, int aDepth);
    // The condition of {$IF} or {$ELSEIF}.
    bool Condition(const TToken& aTok, const QString& aName, const QString& aText) const;
    void Include(const TToken& aTok, const QString& aName, const QString& aFolder, int aDepth);
    QString Resolve(const QString& aName, const QString& aFolder) const;
    bool Active() const
    {
        return m_conds.empty() || (m_conds.back().parentActive && m_conds.back().taking);
    }

    TSourceFiles& m_files;
    QSet<QString> m_defines; // lower case
    TWarn m_warn;
    std::vector<TCond> m_conds;
    std::vector<TToken> m_out;
    qint64 m_includedBytes = 0;
};

} // namespace tscript

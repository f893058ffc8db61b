#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Where a macro being recorded goes: the script editor's lines.
class TMacroLines {
public:
    virtual ~TMacroLines() = default;
    virtual void Append(const QString& aLine) = 0;
    virtual void Clear() = 0;
};

// Lines kept in memory.
class TMacroLineList : public TMacroLines {
public:
    void Append(const QString& aLine) override { Lines << aLine; }
    void Clear() override { Lines.clear(); }
    QStringList Lines;
};

// The recording, shared by all actions and used on the main thread only: lines go to MacroLines
// while it is set; InApply is true while a recorded action is being applied, so that what its
// handlers apply in turn is not recorded.
extern TMacroLines* MacroLines;
extern bool InApply;

// The macro step of one apply: when recording, not nested and aRecorded, appends the line (none
// when aLine gives a null text) and holds InApply until the scope ends, also when a handler
// throws.
class TMacroScope {
public:
    explicit TMacroScope(const std::function<QString()>& aLine, bool aRecorded = true);
    ~TMacroScope();
    TMacroScope(const TMacroScope&) = delete;
    TMacroScope& operator=(const TMacroScope&) = delete;

private:
    bool m_set = false;
};

// Applies made by the program itself while it lives (layout, start-up) are not recorded.
class TMacroPause {
public:
    TMacroPause()
        : m_was(InApply)
    {
        InApply = true;
    }
    ~TMacroPause() { InApply = m_was; }
    TMacroPause(const TMacroPause&) = delete;
    TMacroPause& operator=(const TMacroPause&) = delete;

private:
    bool m_was;
};

// A text as a script literal: 'l''été', control characters as #13 outside the quotes.
QString PascalQuote(const QString& aText);

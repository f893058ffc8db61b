#pragma once

#include "actions/TValueAction.h"

#include "prefs/PrefTypes.h"

#include <QByteArray>

// The text forms that the command line gives: "true", "vrai", "t", "v" or a non-zero integer,
// in any case and with spaces around, are True; anything else is False.
bool TextToBoolean(const QString& aText);

class TWidestringAction : public TValueAction<QString> {
    Q_OBJECT
public:
    using TValueAction::TValueAction;
    void SetAsText(const QString& aText) override;

protected:
    void ReadValue(TDravikPreferences& gp) override;
    bool WriteValue(TDravikPreferences& gp) override;
    QString MacroArguments(const QString& aValue) const override;
    QString TypeSuffix() const override { return QStringLiteral(":widestring);"); }
    QString DeclarationVariables() const override { return QStringLiteral("aWidestring"); }
    QString SwitchVariables() const override { return QStringLiteral("aWidestring"); }
    QString FromScript(const TScriptArgs& aArgs) const override;
};

// An 8-bit string; UTF-8 is the system code page here.
class TStringAction : public TValueAction<QByteArray> {
    Q_OBJECT
public:
    using TValueAction::TValueAction;
    void SetAsText(const QString& aText) override;

protected:
    void ReadValue(TDravikPreferences& gp) override;
    bool WriteValue(TDravikPreferences& gp) override;
    QString MacroArguments(const QByteArray& aValue) const override;
    QString TypeSuffix() const override { return QStringLiteral(":string);"); }
    QString DeclarationVariables() const override { return QStringLiteral("aString"); }
    QString SwitchVariables() const override { return QStringLiteral("aString"); }
    QByteArray FromScript(const TScriptArgs& aArgs) const override;
};

class TIntegerAction : public TValueAction<qint32> {
    Q_OBJECT
public:
    using TValueAction::TValueAction;
    // The decimal integer, or -1 for text that is none.
    void SetAsText(const QString& aText) override;

protected:
    void ReadValue(TDravikPreferences& gp) override;
    bool WriteValue(TDravikPreferences& gp) override;
    QString MacroArguments(const qint32& aValue) const override;
    QString TypeSuffix() const override { return QStringLiteral(":integer);"); }
    QString DeclarationVariables() const override { return QStringLiteral("aInteger"); }
    QString SwitchVariables() const override { return QStringLiteral("aInteger"); }
    qint32 FromScript(const TScriptArgs& aArgs) const override;
};

class TColorAction : public TValueAction<TColor> {
    Q_OBJECT
public:
    using TValueAction::TValueAction;
    // A colour constant, a decimal or a "$" hexadecimal number; other text changes nothing.
    void SetAsText(const QString& aText) override;

protected:
    void ReadValue(TDravikPreferences& gp) override;
    bool WriteValue(TDravikPreferences& gp) override;
    QString MacroArguments(const TColor& aValue) const override;
    QString TypeSuffix() const override { return QStringLiteral(":TColor);"); }
    QString DeclarationVariables() const override { return QStringLiteral("aColor"); }
    QString SwitchVariables() const override { return QStringLiteral("aColor"); }
    TColor FromScript(const TScriptArgs& aArgs) const override;
};

class TDoubleAction : public TValueAction<double> {
    Q_OBJECT
public:
    using TValueAction::TValueAction;
    // The float with a point or a comma, or -1.0 for text that is none.
    void SetAsText(const QString& aText) override;

protected:
    void ReadValue(TDravikPreferences& gp) override;
    bool WriteValue(TDravikPreferences& gp) override;
    QString MacroArguments(const double& aValue) const override;
    QString TypeSuffix() const override { return QStringLiteral(":Double);"); }
    QString DeclarationVariables() const override { return QStringLiteral("aDouble"); }
    QString SwitchVariables() const override { return QStringLiteral("aDouble"); }
    double FromScript(const TScriptArgs& aArgs) const override;
};

class TBooleanAction : public TValueAction<bool> {
    Q_OBJECT
public:
    using TValueAction::TValueAction;
    // An unchanged value returns at once: no recording, no apply.
    void SetValue(const bool& aValue) override;
    void SetAsText(const QString& aText) override;

protected:
    void ReadValue(TDravikPreferences& gp) override;
    bool WriteValue(TDravikPreferences& gp) override;
    QString MacroArguments(const bool& aValue) const override;
    QString TypeSuffix() const override { return QStringLiteral(":Boolean);"); }
    QString DeclarationVariables() const override { return QStringLiteral("aBoolean"); }
    QString SwitchVariables() const override { return QStringLiteral("aBoolean"); }
    bool FromScript(const TScriptArgs& aArgs) const override;
};

class TPointAction : public TValueAction<TPoint> {
    Q_OBJECT
public:
    using TValueAction::SetValue;
    using TValueAction::TValueAction;
    void SetValue(qint32 x, qint32 y) { SetValue(TPoint{x, y}); }
    // "(x, y)"; text without the brackets or the comma changes nothing.
    void SetAsText(const QString& aText) override;

protected:
    void ReadValue(TDravikPreferences& gp) override;
    bool WriteValue(TDravikPreferences& gp) override;
    QString MacroArguments(const TPoint& aValue) const override;
    QString TypeSuffix() const override { return QStringLiteral(":integer);"); }
    QString DeclarationVariables() const override { return QStringLiteral("x,y"); }
    QString SwitchVariables() const override { return QStringLiteral("aPoint"); }
    TPoint FromScript(const TScriptArgs& aArgs) const override;
};

class TRectAction : public TValueAction<TRect> {
    Q_OBJECT
public:
    using TValueAction::SetValue;
    using TValueAction::TValueAction;
    // The order of the script procedure: left, right, top, bottom.
    void SetValue(qint32 left, qint32 right, qint32 top, qint32 bottom)
    {
        SetValue(TRect{left, top, right, bottom});
    }
    // "(left, top, right, bottom)"; fewer than three commas change nothing.
    void SetAsText(const QString& aText) override;

protected:
    void ReadValue(TDravikPreferences& gp) override;
    bool WriteValue(TDravikPreferences& gp) override;
    QString MacroArguments(const TRect& aValue) const override;
    QString TypeSuffix() const override { return QStringLiteral(":integer);"); }
    QString DeclarationVariables() const override
    {
        return QStringLiteral("left,right,top,bottom");
    }
    QString SwitchVariables() const override { return QStringLiteral("aRect"); }
    TRect FromScript(const TScriptArgs& aArgs) const override;
};

class TFontAction : public TValueAction<TFontDesc> {
    Q_OBJECT
public:
    using TValueAction::SetValue;
    using TValueAction::TValueAction;
    void SetValue(const QString& aName, qint32 aSize, TColor aColor, bool isBold, bool isItalic,
                  bool isUnderline, bool isStrikeOut);
    // Fonts have no text form: nothing happens.
    void SetAsText(const QString&) override {}
    QString ScriptDeclaration() override;

protected:
    void ReadValue(TDravikPreferences& gp) override;
    bool WriteValue(TDravikPreferences& gp) override;
    QString MacroArguments(const TFontDesc& aValue) const override;
    QString TypeSuffix() const override { return QString(); }
    QString DeclarationVariables() const override { return QString(); }
    QString SwitchVariables() const override { return QStringLiteral("aFont"); }
    TFontDesc FromScript(const TScriptArgs& aArgs) const override;
};

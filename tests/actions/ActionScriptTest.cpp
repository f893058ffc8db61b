#include "FakeScript.h"

#include "actions/TCheckAction.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(ScriptDeclarations, EveryClassDeclaresItsProcedures)
{
    TNopeAction n;
    n.ScriptName = QStringLiteral("Grab");
    n.Switch = QStringLiteral("swi_g");
    EXPECT_EQ(n.ScriptDeclaration(), QStringLiteral("procedure Grab;"));
    EXPECT_EQ(n.SwitchSyntax(), QStringLiteral("/swi_g"));

    TIntegerAction i;
    i.ScriptName = QStringLiteral("Volume");
    i.Switch = QStringLiteral("swi_vol");
    EXPECT_EQ(i.ScriptDeclaration(), QStringLiteral("procedure Volume(const aInteger:integer);"));
    EXPECT_EQ(i.SwitchSyntax(), QStringLiteral("/swi_vol=aInteger"));

    TColorAction c;
    c.ScriptName = QStringLiteral("Col");
    EXPECT_EQ(c.ScriptDeclaration(), QStringLiteral("procedure Col(const aColor:TColor);"));
    TDoubleAction d;
    d.ScriptName = QStringLiteral("D");
    EXPECT_EQ(d.ScriptDeclaration(), QStringLiteral("procedure D(const aDouble:Double);"));
    TWidestringAction w;
    w.ScriptName = QStringLiteral("W");
    w.Variables = QStringLiteral("aText");
    EXPECT_EQ(w.ScriptDeclaration(), QStringLiteral("procedure W(const aText:widestring);"));
    TStringAction s;
    s.ScriptName = QStringLiteral("S");
    EXPECT_EQ(s.ScriptDeclaration(), QStringLiteral("procedure S(const aString:string);"));
    TBooleanAction b;
    b.ScriptName = QStringLiteral("B");
    EXPECT_EQ(b.ScriptDeclaration(), QStringLiteral("procedure B(const aBoolean:Boolean);"));

    TCheckAction m;
    m.ScriptName = QStringLiteral("Mute");
    m.Switch = QStringLiteral("swi_m");
    EXPECT_EQ(m.ScriptDeclaration(),
              QStringLiteral("procedure setMute(const fisTrue:Boolean);\r\nprocedure Mute;"));
    EXPECT_EQ(m.SwitchSyntax(), QStringLiteral("/swi_m +swi_m -swi_m"));

    TFontAction f;
    f.ScriptName = QStringLiteral("InsertFont");
    f.Switch = QStringLiteral("swi_if");
    EXPECT_EQ(f.ScriptDeclaration(),
              QStringLiteral("procedure InsertFont(aName:widestring;aSize:integer;aColor:TColor;"
                             "isBold:Boolean;isItalic:Boolean;isUnderline:Boolean;"
                             "isStrikeOut:Boolean);"));
    EXPECT_EQ(f.SwitchSyntax(), QStringLiteral("/swi_if=aFont"));
}

TEST(ScriptDeclarations, TheFirstTextBuiltFixesTheParameterNames)
{
    TPointAction p;
    p.ScriptName = QStringLiteral("InsertPosition");
    p.Switch = QStringLiteral("swi_inpos");
    EXPECT_EQ(p.ScriptDeclaration(),
              QStringLiteral("procedure InsertPosition(const x,y:integer);"));
    EXPECT_EQ(p.SwitchSyntax(), QStringLiteral("/swi_inpos=x,y"));

    TRectAction r;
    r.ScriptName = QStringLiteral("FormSave");
    r.Switch = QStringLiteral("swi_fs");
    EXPECT_EQ(r.SwitchSyntax(), QStringLiteral("/swi_fs=aRect"));
    EXPECT_EQ(r.ScriptDeclaration(), QStringLiteral("procedure FormSave(const aRect:integer);"));
}

TEST(ScriptRegistration, ProceduresCallTheSettersWithTheirArguments)
{
    TRecordingScript script;
    TIntegerAction vol;
    vol.ScriptName = QStringLiteral("Volume");
    TRectAction rect;
    rect.ScriptName = QStringLiteral("FormSave");
    TPointAction pos;
    pos.ScriptName = QStringLiteral("Pos");
    TFontAction font;
    font.ScriptName = QStringLiteral("Font");
    TColorAction col;
    col.ScriptName = QStringLiteral("Col");
    for (TCustomAbstractAction* a :
         std::initializer_list<TCustomAbstractAction*>{&vol, &rect, &pos, &font, &col})
        EXPECT_TRUE(a->RegisterInScript(script));

    script.Call(QStringLiteral("volume"), {qint64(50)});
    EXPECT_EQ(vol.Value(), 50);
    // left, right, top, bottom
    script.Call(QStringLiteral("FormSave"), {qint64(1), qint64(3), qint64(2), qint64(4)});
    EXPECT_EQ(rect.Value(), (TRect{1, 2, 3, 4}));
    script.Call(QStringLiteral("Pos"), {qint64(-1), qint64(2)});
    EXPECT_EQ(pos.Value(), (TPoint{-1, 2}));
    script.Call(QStringLiteral("Font"),
                {QStringLiteral("Arial"), qint64(12), qint64(0xFF), true, false, true, false});
    EXPECT_EQ(font.Value().Name, QStringLiteral("Arial"));
    EXPECT_EQ(font.Value().Size, 12);
    EXPECT_EQ(font.Value().Color, 0xFF);
    EXPECT_TRUE(font.Value().Bold);
    EXPECT_TRUE(font.Value().Underline);
    EXPECT_FALSE(font.Value().Italic);
    script.Call(QStringLiteral("Col"), {qint64(0xFF00000F)}); // the 32-bit pattern
    EXPECT_EQ(col.Value(), TColor(0xFF00000F));
}

TEST(ScriptRegistration, ChecksRegisterSetAndToggleAndCommandsNeedAName)
{
    TRecordingScript script;
    TCheckAction mute;
    mute.ScriptName = QStringLiteral("Mute");
    mute.Variables = QStringLiteral("ignored");
    EXPECT_TRUE(mute.RegisterInScript(script));
    EXPECT_EQ(script.Declarations,
              (QStringList{QStringLiteral("procedure setMute(const aBoolean:Boolean);"),
                           QStringLiteral("procedure Mute;")}));
    script.Call(QStringLiteral("setMute"), {true});
    EXPECT_TRUE(mute.Checked());
    script.Call(QStringLiteral("mute"));
    EXPECT_FALSE(mute.Checked());

    TNopeAction unnamed;
    EXPECT_FALSE(unnamed.RegisterInScript(script));
    EXPECT_EQ(script.Declarations.size(), 2);

    TRecordingScript refusing;
    refusing.Refuse = [](const QString& d) { return d.contains(QStringLiteral("setOther")); };
    TCheckAction other;
    other.ScriptName = QStringLiteral("Other");
    EXPECT_FALSE(other.RegisterInScript(refusing));
    EXPECT_TRUE(refusing.Declarations.isEmpty()); // no toggle without its setter

    class Throwing : public TRecordingScript {
        bool RegisterRoutine(const QString&, THostRoutine) override
        {
            throw std::runtime_error("engine");
        }
    } throwing;
    EXPECT_FALSE(other.RegisterInScript(throwing));
}

} // namespace

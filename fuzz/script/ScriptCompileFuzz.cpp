// Random program texts through the script compiler, and the interpreter with a step limit:
// nothing may crash, leak or hang. Only routines without effects outside are registered. The
// editor's scan of the same text, line by line, must cover each line and never throw.

#include "script/ColorConstants.h"
#include "script/TScriptEngine.h"
#include "script/TScriptLexer.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

namespace {

void Register(IScriptRegistrar& r)
{
    const THostRoutine nop = [](const TScriptArgs&) { return TScriptValue(); };
    const THostRoutine text = [](const TScriptArgs& a) {
        return TScriptValue(a.value(0).ToString());
    };
    const THostRoutine fail = [](const TScriptArgs&) -> TScriptValue {
        throw std::runtime_error("x");
    };
    const char* const declarations[] = {
        "procedure Grab;",
        "procedure Volume(const aInteger:integer);",
        "procedure Color(const aColor:TColor);",
        "procedure Ratio(const aDouble:Double);",
        "procedure setMute(const aBoolean:Boolean);",
        "procedure Name(const aWidestring:widestring);",
        "procedure Pos(const x,y:integer);",
        "procedure Rect(const left,right,top,bottom:integer);",
        ("procedure Font(aName:widestring;aSize:integer;aColor:TColor;isBold:Boolean;"
         "isItalic:Boolean;isUnderline:Boolean;isStrikeOut:Boolean);"),
        "procedure showmessage(z:string);",
        "procedure renamefile(oldfile,newname:widestring);",
    };
    for (const char* d : declarations)
        r.RegisterRoutine(QString::fromLatin1(d), nop);
    r.RegisterRoutine(
        QStringLiteral("function findfirst(dossier:widestring;masque:widestring):widestring;"),
        text);
    r.RegisterRoutine(QStringLiteral("function findnext:widestring;"), text);
    r.RegisterRoutine(QStringLiteral("procedure Boom;"), fail);
    r.RegisterConstant(QStringLiteral("SecsPerDay"), QStringLiteral("Longint"),
                       TScriptValue(86400));
    r.RegisterType(QStringLiteral("TPoint"), QStringLiteral("record x,y: Longint; end;"));
    r.RegisterType(QStringLiteral("TBorderIcon"),
                   QStringLiteral("(biSystemMenu, biMinimize, biMaximize, biHelp)"));
    r.RegisterType(QStringLiteral("TBorderIcons"), QStringLiteral("set of TBorderIcon"));
    r.RegisterType(
        QStringLiteral("TGUID"),
        QStringLiteral("record D1: LongWord; D2: Word; D3: Word; D4: array[0..7] of Byte; end;"));
    for (const TColorConstant& c : ColorConstants())
        r.RegisterConstant(QString::fromLatin1(c.name), QStringLiteral("TColor"),
                           TScriptValue(qint64(c.value)));
}

// As the editor's highlighter does: one line at a time, the state carried to the next.
void ScanLines(const QString& aText)
{
    using namespace tscript;
    TScanState state = TScanState::Code;
    for (const QString& line : aText.split(u'\n')) {
        const TScanResult result = TScriptLexer::Scan(line, state);
        qsizetype at = 0;
        for (const TScanSpan& span : result.spans) {
            if (span.start != at || span.length <= 0)
                std::abort();
            at += span.length;
        }
        if (at != line.size())
            std::abort();
        state = result.state;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize)
{
    if (aSize > 16 * 1024)
        return 0;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(aData), qsizetype(aSize));
    ScanLines(text);
    TScriptEngine engine;
    engine.SetStepLimit(20000);
    engine.SetRegistration(Register);
    // A folder without files, so that relative includes find nothing.
    if (engine.Compile(text, QStringLiteral("/nonexistent-tessarine-fuzz/fuzz.pas")))
        engine.Execute();
    (void)engine.MessageLines();
    (void)engine.ErrorText();
    return 0;
}

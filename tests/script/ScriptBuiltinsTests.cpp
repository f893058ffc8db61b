// The built-in routines, constants and types registered for scripts, with their Linux meaning.

#include "ScriptTestSupport.h"
#include "script/ColorConstants.h"
#include "script/ScriptBuiltins.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class ScriptBuiltins : public ::testing::Test {
protected:
    void SetUp() override
    {
        h.extra = [this](IScriptRegistrar& r) { RegisterScriptBuiltins(r, hooks); };
        hooks.ShowMessage = [this](const QString& aText) { shown << aText; };
        hooks.Sleep = [this](quint32 aMs) { slept << aMs; };
    }
    QString Run(const QString& aBody)
    {
        if (!h.Run(Program(QString(), aBody)))
            return QStringLiteral("FAILED: ") + h.Failure();
        return h.out.join(QLatin1Char('|'));
    }
    void Touch(const QString& aName)
    {
        QDir().mkpath(QFileInfo(dir.filePath(aName)).absolutePath());
        QFile f(dir.filePath(aName));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }

    QTemporaryDir dir;
    TScriptHarness h;
    TScriptBuiltinHooks hooks;
    QStringList shown;
    QList<quint32> slept;
};

TEST_F(ScriptBuiltins, PathRoutinesTakeBothSeparators)
{
    EXPECT_EQ(Run(S(R"(
        Emit(extractfilename('C:\vidéos\clip.dv') + ' ' + extractfilename('/home/u/a.b.jpg') + ' ' + extractfilename('nom'));
        Emit(extractfilepath('C:\vidéos\clip.dv') + ' ' + extractfilepath('/home/u/a.jpg') + ' [' + extractfilepath('nom') + ']');
        Emit(extractfileext('a/b.c/d') + '|' + extractfileext('x.JPG') + '|' + extractfileext('dir.d\file'));
        Emit(changefileext('a\b.bmp', '.jpg') + ' ' + changefileext('a.b/c', '.txt') + ' ' + changefileext('x.tar.gz', ''));
    )")),
              S("clip.dv a.b.jpg nom|C:\\vidéos\\ /home/u/ []||.JPG||a\\b.jpg a.b/c.txt x.tar"));
}

TEST_F(ScriptBuiltins, FindFirstListsEveryEntryOfTheFolder)
{
    Touch(S("b.txt"));
    Touch(S("a.TXT"));
    Touch(S("c.jpg"));
    Touch(S("sub/inner.txt"));
    const QString folder = dir.path();
    const QString program =
        S(R"(
        var s, all: string;
        begin
          s := findfirst('%1', '*.txt');
          while s <> '' do begin all := all + extractfilename(s) + ' '; s := findnext; end;
          Emit(all);
          if findnext = '' then Emit('end');
          findclose;
          if findnext = '' then Emit('closed');
          Emit(findfirst('%1/', 'c.*'));
          Emit(findfirst('%2', 'C.JPG'));
          all := '';
          s := findfirst('%1', '*.*');
          while s <> '' do begin all := all + extractfilename(s) + ' '; s := findnext; end;
          Emit(all);
          Emit('[' + findfirst('%1', '*.none') + ']');
          Emit('[' + findfirst('%1/nowhere', '*.*') + ']');
          Emit(extractfilename(findfirst('%1', 'sub\*.txt')));
        end.)")
            .arg(folder, QString(folder).replace(QLatin1Char('/'), QLatin1Char('\\')));
    ASSERT_TRUE(h.Run(program)) << h.Failure().toStdString();
    EXPECT_EQ(h.out, QStringList({S("a.TXT b.txt "), S("end"), S("closed"), folder + S("/c.jpg"),
                                  folder + S("/c.jpg"), S(". .. a.TXT b.txt c.jpg sub "), S("[]"),
                                  S("[]"), S("inner.txt")}));
}

TEST_F(ScriptBuiltins, FindFirstOnAnEmptyFolderSearchesTheCurrentOne)
{
    Touch(S("here.txt"));
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const QString out = Run(S("Emit(findfirst('', '*.txt')); Emit(findnext);"));
    QDir::setCurrent(previous);
    EXPECT_EQ(out, S("here.txt|"));
}

TEST_F(ScriptBuiltins, FoldersAreCreatedAndFilesRenamed)
{
    const QString deep = dir.filePath(S("x/y/z"));
    Touch(S("old.txt"));
    EXPECT_EQ(Run(S("forcedirectories('%1'); renamefile('%2', '%3'); Emit('ok');")
                      .arg(QString(deep).replace(QLatin1Char('/'), QLatin1Char('\\')),
                           dir.filePath(S("old.txt")), dir.filePath(S("new.txt")))),
              S("ok"));
    EXPECT_TRUE(QFileInfo(deep).isDir());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(S("old.txt"))));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(S("new.txt"))));
    ASSERT_TRUE(h.Compile(S("begin\n  forcedirectories('');\nend.")));
    EXPECT_FALSE(h.engine.Execute());
    EXPECT_EQ(h.engine.ErrorText(), S("test.pas(2:3): forcedirectories : nom de dossier vide"));
}

TEST_F(ScriptBuiltins, DeleteToRecycleBinNeverDeletesForGood)
{
    // The trash of a private data home.
    const QByteArray previous = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(S("data"))));
    QDir().mkpath(dir.filePath(S("data")));
    Touch(S("doomed.txt"));
    const QString out =
        Run(S("if deletefiletorecyclebin('%1') then Emit('moved') else Emit('kept');"
              "if not deletefiletorecyclebin('%2') then Emit('absent');")
                .arg(dir.filePath(S("doomed.txt")), dir.filePath(S("never.txt"))));
    if (previous.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", previous);
    const bool gone = !QFileInfo::exists(dir.filePath(S("doomed.txt")));
    if (out.startsWith(S("moved"))) {
        EXPECT_TRUE(gone);
        EXPECT_TRUE(QFileInfo::exists(dir.filePath(S("data/Trash/files/doomed.txt"))));
    } else {
        EXPECT_FALSE(gone);
    }
    EXPECT_TRUE(out.endsWith(S("absent"))) << out.toStdString();
}

TEST_F(ScriptBuiltins, ShowMessageAndSleepGoThroughTheHooks)
{
    EXPECT_EQ(Run(S("showmessage('Bonjour !'); sleep(25); Emit('done');")), S("done"));
    EXPECT_EQ(shown, QStringList{S("Bonjour !")});
    EXPECT_EQ(slept, QList<quint32>{25});
}

TEST_F(ScriptBuiltins, ConstantsTypesAndColours)
{
    EXPECT_EQ(
        Run(S(R"(
        Emit(IntToStr(clMoneyGreen) + ' ' + IntToStr(clSkyBlue) + ' ' + IntToStr(clCream));
        Emit(IntToStr(SecsPerDay) + ' ' + IntToStr(MSecPerDay));
        Emit(IntToHex(clBtnFace, 8) + ' ' + IntToHex(clNone, 8) + ' ' + IntToHex(clDefault, 8) + ' ' + IntToHex(clScrollBar, 8) + ' ' + IntToHex(clRed, 6));
    )")),
        S("12639424 15780518 15793151|86400 86400000|FF00000F 1FFFFFFF 20000000 FF000000 0000FF"));
    const QString types = S(R"(
        var p: TPoint; r: TRect; a: TAlignment; icons: TBorderIcons; g: TGUID; c: TCLSID; h: HResult;
            k: TSHORTCUT; s: TSavePreferences; st: TOwnerDrawState; l: TTextLayout; w: TWindowState;
        begin
          p.x := 1; p.y := 2; r.Left := 3; r.Bottom := 4; a := taCenter; icons := [biSystemMenu, biHelp];
          g.D4[7] := 255; c := g; h := -1; k := 70000; s := spPortable; st := [odFocused, odComboBoxEdit];
          l := tlBottom; w := wsMaximized;
          Emit(IntToStr(p.x + p.y + r.Left + r.Bottom) + ' ' + IntToStr(Ord(a)) + ' ' + IntToStr(c.D4[7]) + ' ' +
               IntToStr(h) + ' ' + IntToStr(k) + ' ' + IntToStr(Ord(s)) + ' ' + IntToStr(Ord(l) + Ord(w)));
          if (biHelp in icons) and not (biMinimize in icons) and (odComboBoxEdit in st) then Emit('sets');
          if (poNone <> poPrintToFit) and (caFree > caHide) and (bsDialog = bsDialog) then Emit('enums');
        end.)");
    ASSERT_TRUE(h.Run(types)) << h.Failure().toStdString();
    EXPECT_EQ(h.out, QStringList({S("10 2 255 -1 4464 1 4"), S("sets"), S("enums")}));
}

TEST(ScriptColours, TableHasTheSystemAndPlainColours)
{
    EXPECT_EQ(ColorFromName(S("clBtnFace")), 0xFF00000Fu);
    EXPECT_EQ(ColorFromName(S("CLRED")), 0x0000FFu);
    EXPECT_EQ(ColorFromName(S("clNone")), 0x1FFFFFFFu);
    EXPECT_EQ(ColorFromName(S("clDefault")), 0x20000000u);
    EXPECT_EQ(ColorFromName(S("clMenuBar")), 0xFF00001Eu);
    EXPECT_EQ(ColorFromName(S("clWhite")), 0xFFFFFFu);
    EXPECT_FALSE(ColorFromName(S("clPlaid")).has_value());
    EXPECT_EQ(ColorName(0xFF000000u), S("clScrollBar"));
    EXPECT_EQ(QString::fromLatin1(ColorConstants().front().name), S("clScrollBar"));
    EXPECT_EQ(QString::fromLatin1(ColorConstants().back().name), S("clDefault"));
}

TEST(ScriptMasks, WindowsWildcards)
{
    EXPECT_TRUE(ScriptMaskMatches(S("*.*"), S("noextension")));
    EXPECT_TRUE(ScriptMaskMatches(S("*.jpg"), S("Photo.JPG")));
    EXPECT_TRUE(ScriptMaskMatches(S("img??.bmp"), S("img01.bmp")));
    EXPECT_FALSE(ScriptMaskMatches(S("img??.bmp"), S("img1.bmp")));
    EXPECT_TRUE(ScriptMaskMatches(S("*a*b*"), S("xxaYYbzz")));
    EXPECT_FALSE(ScriptMaskMatches(S("*.txt"), S("a.txt.bak")));
    EXPECT_TRUE(ScriptMaskMatches(S("[x].txt"), S("[x].txt")));
}

} // namespace

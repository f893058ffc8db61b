#include "script/ScriptBuiltins.h"

#include "script/ColorConstants.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <stdexcept>

namespace {

qsizetype LastSeparator(const QString& aPath)
{
    return std::max(aPath.lastIndexOf(QLatin1Char('/')), aPath.lastIndexOf(QLatin1Char('\\')));
}

QString LocalPath(const QString& aPath)
{
    QString p = aPath;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return p;
}

[[noreturn]] void Fail(const QString& aText)
{
    throw std::runtime_error(aText.toStdString());
}

struct TTypeDef {
    const char* name;
    const char* definition;
};

const TTypeDef kTypes[] = {
    {"TAlignment", "(taLeftJustify, taRightJustify, taCenter)"},
    {"HResult", "LongInt"},
    {"TGUID", "record D1: LongWord; D2: Word; D3: Word; D4: array[0..7] of Byte; end;"},
    {"TCLSID", "TGUID"},
    {"TIID", "TGUID"},
    {"TPoint", "record x,y: Longint; end;"},
    {"TScrollBarKind", "(sbHorizontal, sbVertical)"},
    {"TScrollBarInc", "SmallInt"},
    {"TFormBorderStyle", "(bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin)"},
    {"TBorderStyle", "TFormBorderStyle"},
    {"TWindowState", "(wsNormal, wsMinimized, wsMaximized)"},
    {"TFormStyle", "(fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop)"},
    {"TPosition", "(poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, "
                  "poDesktopCenter, poMainFormCenter, poOwnerFormCenter)"},
    {"TPrintScale", "(poNone, poProportional, poPrintToFit)"},
    {"TCloseAction", "(caNone, caHide, caFree, caMinimize)"},
    {"TBorderIcon", "(biSystemMenu, biMinimize, biMaximize, biHelp)"},
    {"TBorderIcons", "set of TBorderIcon"},
    {"THELPCONTEXT", "Longint"},
    {"TRect", "record Left, Top, Right, Bottom: Integer; end;"},
    {"TEditCharCase", "(ecNormal, ecUpperCase, ecLowerCase)"},
    {"TScrollStyle", "(ssNone, ssHorizontal, ssVertical, ssBoth)"},
    {"TComboBoxStyle",
     "(csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable)"},
    {"TCheckBoxState", "(cbUnchecked, cbChecked, cbGrayed)"},
    {"TListBoxStyle", "(lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable)"},
    {"TScrollCode", "(scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, "
                    "scBottom, scEndScroll)"},
    {"TEOwnerDrawState", "(odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, "
                         "odHotLight, odInactive, odNoAccel, odNoFocusRect, odReserved1, "
                         "odReserved2, odComboBoxEdit)"},
    {"TTextLayout", "( tlTop, tlCenter, tlBottom )"},
    {"TOwnerDrawState", "set of TEOwnerDrawState"},
    {"TSHORTCUT", "WORD"},
    {"TSavePreferences", "(spRegistre,spPortable,spNone)"},
};

QString Latin(const char* aText)
{
    return QString::fromLatin1(aText);
}

} // namespace

QString ScriptExtractFileName(const QString& aPath)
{
    return aPath.mid(LastSeparator(aPath) + 1);
}

QString ScriptExtractFilePath(const QString& aPath)
{
    return aPath.left(LastSeparator(aPath) + 1);
}

QString ScriptExtractFileExt(const QString& aPath)
{
    const qsizetype dot = aPath.lastIndexOf(QLatin1Char('.'));
    return dot > LastSeparator(aPath) ? aPath.mid(dot) : QString();
}

QString ScriptChangeFileExt(const QString& aPath, const QString& aExt)
{
    const qsizetype dot = aPath.lastIndexOf(QLatin1Char('.'));
    return (dot > LastSeparator(aPath) ? aPath.left(dot) : aPath) + aExt;
}

bool ScriptMaskMatches(const QString& aMask, const QString& aName)
{
    const QString mask = aMask == QLatin1String("*.*") ? QStringLiteral("*") : aMask;
    qsizetype m = 0, n = 0, star = -1, mark = 0;
    while (n < aName.size()) {
        if (m < mask.size() &&
            (mask.at(m) == u'?' || mask.at(m).toCaseFolded() == aName.at(n).toCaseFolded())) {
            ++m;
            ++n;
        } else if (m < mask.size() && mask.at(m) == u'*') {
            star = m++;
            mark = n;
        } else if (star >= 0) {
            m = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask.at(m) == u'*')
        ++m;
    return m == mask.size();
}

void RegisterScriptBuiltins(IScriptRegistrar& aRegistrar, TScriptBuiltinHooks& aHooks)
{
    TScriptBuiltinHooks* hooks = &aHooks;
    auto reg = [&](const char* aDeclaration, THostRoutine aImpl) {
        aRegistrar.RegisterRoutine(Latin(aDeclaration), std::move(aImpl));
    };

    reg("function findfirst(dossier:widestring;masque:widestring):widestring;",
        [hooks](const TScriptArgs& a) {
            QString folder = LocalPath(a.value(0).ToString());
            QString mask = LocalPath(a.value(1).ToString());
            if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')))
                folder += QLatin1Char('/');
            // A mask may carry folders of its own ("sub/*.txt").
            const qsizetype sep = mask.lastIndexOf(QLatin1Char('/'));
            if (sep >= 0) {
                folder += mask.left(sep + 1);
                mask = mask.mid(sep + 1);
            }
            // An empty folder means the current one, never the root.
            const QDir dir(folder.isEmpty() ? QDir::currentPath() : folder);
            QStringList found;
            if (dir.exists()) {
                const QStringList all =
                    dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System, QDir::Name);
                for (const QString& e : all)
                    if (ScriptMaskMatches(mask, e))
                        found << e;
            }
            hooks->m_searchFolder = folder;
            hooks->m_searchEntries = found;
            hooks->m_searchNext = 0;
            if (found.isEmpty())
                return TScriptValue(QString());
            hooks->m_searchNext = 1;
            return TScriptValue(QString(folder + found.first()));
        });
    reg("function findnext:widestring;", [hooks](const TScriptArgs&) {
        if (hooks->m_searchNext <= 0 || hooks->m_searchNext >= hooks->m_searchEntries.size())
            return TScriptValue(QString());
        return TScriptValue(
            QString(hooks->m_searchFolder + hooks->m_searchEntries.at(hooks->m_searchNext++)));
    });
    reg("procedure findclose;", [hooks](const TScriptArgs&) {
        hooks->m_searchFolder.clear();
        hooks->m_searchEntries.clear();
        hooks->m_searchNext = 0;
        return TScriptValue();
    });
    reg("procedure showmessage(z:string);", [hooks](const TScriptArgs& a) {
        if (hooks->ShowMessage)
            hooks->ShowMessage(a.value(0).ToString());
        return TScriptValue();
    });
    reg("procedure sleep(milli:Cardinal);", [hooks](const TScriptArgs& a) {
        const auto ms = quint32(a.value(0).ToInt());
        if (hooks->Sleep)
            hooks->Sleep(ms);
        else
            QThread::msleep(ms);
        return TScriptValue();
    });
    reg("procedure forcedirectories(dir:widestring);", [](const TScriptArgs& a) {
        const QString dir = LocalPath(a.value(0).ToString());
        if (dir.trimmed().isEmpty())
            Fail(QStringLiteral("forcedirectories : nom de dossier vide"));
        QDir().mkpath(dir);
        return TScriptValue();
    });
    reg("function changefileext(fichier:widestring;ext:widestring):widestring;",
        [](const TScriptArgs& a) {
            return TScriptValue(ScriptChangeFileExt(a.value(0).ToString(), a.value(1).ToString()));
        });
    reg("function deletefiletorecyclebin(fichier:widestring):Boolean;", [](const TScriptArgs& a) {
        const QString path = LocalPath(a.value(0).ToString());
        if (path.isEmpty() || !QFileInfo(path).exists())
            return TScriptValue(false);
        // Only ever to the trash: where there is none, the file stays.
        return TScriptValue(QFile::moveToTrash(path));
    });
    reg("procedure renamefile(oldfile,newname:widestring);", [](const TScriptArgs& a) {
        QDir().rename(LocalPath(a.value(0).ToString()), LocalPath(a.value(1).ToString()));
        return TScriptValue();
    });
    reg("function extractfilename(fichier:widestring):widestring;", [](const TScriptArgs& a) {
        return TScriptValue(ScriptExtractFileName(a.value(0).ToString()));
    });
    reg("function extractfilepath(fichier:widestring):widestring;", [](const TScriptArgs& a) {
        return TScriptValue(ScriptExtractFilePath(a.value(0).ToString()));
    });
    reg("function extractfileext(fichier:widestring):widestring;", [](const TScriptArgs& a) {
        return TScriptValue(ScriptExtractFileExt(a.value(0).ToString()));
    });

    aRegistrar.RegisterConstant(QStringLiteral("clMoneyGreen"), QStringLiteral("Integer"),
                                TScriptValue(12639424));
    aRegistrar.RegisterConstant(QStringLiteral("clSkyBlue"), QStringLiteral("Integer"),
                                TScriptValue(15780518));
    aRegistrar.RegisterConstant(QStringLiteral("clCream"), QStringLiteral("Integer"),
                                TScriptValue(15793151));
    aRegistrar.RegisterConstant(QStringLiteral("SecsPerDay"), QStringLiteral("Longint"),
                                TScriptValue(86400));
    aRegistrar.RegisterConstant(QStringLiteral("MSecPerDay"), QStringLiteral("Longint"),
                                TScriptValue(86400000));

    for (const TTypeDef& t : kTypes)
        aRegistrar.RegisterType(Latin(t.name), Latin(t.definition));

    // The three colours registered above as integers keep that registration.
    for (const TColorConstant& c : ColorConstants())
        aRegistrar.RegisterConstant(Latin(c.name), QStringLiteral("TColor"),
                                    TScriptValue(qint64(c.value)));
}

#include "actions/TKoSwitch.h"

#include "base/TCommandQueue.h"

#include "actions/TCheckAction.h"
#include "actions/TCustomKoActionList.h"

#include "base/TBatchRun.h"

#include "base/TextDecoding.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <cstring>
#include <exception>

#include <sys/stat.h>
#include <unistd.h>

namespace {
bool PathExists(const QByteArray& aPath)
{
    struct stat st {};
    return !aPath.isEmpty() && ::stat(aPath.constData(), &st) == 0;
}
} // namespace

namespace {
QStringList& SavedArguments()
{
    static QStringList args;
    return args;
}
} // namespace

void TKoSwitch::SaveProgramArguments(int argc, char** argv)
{
    QStringList& args = SavedArguments();
    args.clear();
    for (int i = 1; i < argc; ++i)
        args << DecodeArgument(QByteArray(argv[i]));
}

QString TKoSwitch::DecodeArgument(const QByteArray& aBytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(aBytes);
    if (!utf8.hasError())
        return text;
    // A file name in another encoding (an old disk, a camera's card): Qt cannot name it, so it
    // is reached through a link with a readable name. Switches take it after their "=".
    const qsizetype eq = aBytes.indexOf('=');
    const bool isSwitch = !aBytes.isEmpty() && std::strchr("+-/", aBytes[0]) && eq > 0;
    const QByteArray path = isSwitch ? aBytes.mid(eq + 1) : aBytes;
    if (!PathExists(path))
        return text;
    const QString link = LinkToRawPath(path);
    if (link.isEmpty())
        return text;
    return isSwitch ? QString::fromUtf8(aBytes.left(eq + 1)) + link : link;
}

QString TKoSwitch::LinkToRawPath(const QByteArray& aPath)
{
    static QTemporaryDir links(QDir::tempPath() + QStringLiteral("/tessarine-links-XXXXXX"));
    if (!links.isValid())
        return QString();
    const qsizetype slash = aPath.lastIndexOf('/');
    const QString name = DecodeText(aPath.mid(slash + 1)); // Windows-1252 when not UTF-8
    QString link = links.filePath(name);
    for (int n = 2; QFileInfo(link).isSymLink() || QFileInfo::exists(link); ++n)
        link = links.filePath(QStringLiteral("%1/%2").arg(n).arg(name));
    QDir().mkpath(QFileInfo(link).absolutePath());
    const QByteArray target =
        aPath.startsWith('/') ? aPath : QFile::encodeName(QDir::currentPath()) + '/' + aPath;
    if (::symlink(target.constData(), QFile::encodeName(link).constData()) != 0)
        return QString();
    return link;
}

QStringList TKoSwitch::ProgramArguments()
{
    return SavedArguments();
}

TKoSwitch::TKoSwitch(QObject* aOwner)
    : QObject(aOwner)
    , Arguments(ProgramArguments())
{
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::applicationStateChanged, this,
                &TKoSwitch::ApplicationStateChanged);
}

TKoSwitch::~TKoSwitch() = default;

void TKoSwitch::RegisterList(TCustomKoActionList* aList)
{
    for (TCustomAbstractAction* a : aList->TypedActions())
        m_table << Entry{a->Switch, a};
}

void TKoSwitch::UnregisterList(TCustomKoActionList* aList)
{
    for (TCustomAbstractAction* a : aList->TypedActions()) {
        for (qsizetype i = 0; i < m_table.size(); ++i) {
            if (m_table.at(i).Action == a) {
                m_table.removeAt(i);
                break;
            }
        }
    }
}

TCustomAbstractAction* TKoSwitch::Lookup(const QString& aLowerName) const
{
    for (const Entry& e : m_table)
        if (e.Action && e.Name.compare(aLowerName, Qt::CaseInsensitive) == 0)
            return e.Action;
    return nullptr;
}

TCustomAbstractAction* TKoSwitch::FindSwitch(const QString& aName)
{
    if (m_table.isEmpty())
        return nullptr;
    const QString name = aName.toLower();
    if (name.isEmpty())
        return DefaultAction;
    if (name == QLatin1String("quit")) {
        m_quitRequested = true;
        return nullptr;
    }
    TCustomAbstractAction* a = Lookup(name);
    return a ? a : DefaultAction.data();
}

void TKoSwitch::ParseParam(const QString& aParam)
{
    TSwitchKind kind = skBare;
    if (aParam.startsWith(u'+'))
        kind = skPlus;
    else if (aParam.startsWith(u'-'))
        kind = skMinus;
    else if (aParam.startsWith(u'/'))
        kind = skSlash;

    QString name;
    QString value;
    if (kind == skBare) {
        value = aParam;
    } else {
        const qsizetype eq = aParam.indexOf(u'=');
        name = (eq >= 0 ? aParam.mid(1, eq - 1) : aParam.mid(1)).toLower();
        if (eq >= 0)
            value = aParam.mid(eq + 1);
    }

    TCustomAbstractAction* action = nullptr;
    if (name == QLatin1String("quit")) {
        m_quitRequested = true;
        return;
    }
    if (name.isEmpty()) {
        action = DefaultAction;
    } else if (!Lookup(name)) {
        // An unknown name is ignored, unless the argument is a path ("/home/me/tape.dv"; no
        // switch name holds a "/"), which the default action opens or reports missing.
        if (!QFileInfo(aParam).isFile() && !name.contains(u'/')) {
            TBatchRun::Note(QStringLiteral("option inconnue ignorée : %1").arg(aParam));
            return;
        }
        action = DefaultAction;
        value = aParam;
    } else {
        action = FindSwitch(name);
    }
    if (action)
        m_entries.push_back(std::make_unique<TActionEx>(TActionEx{action, value, kind}));
}

void TKoSwitch::ParseCommandLine()
{
    m_entries.clear();
    m_quitRequested = false;
    for (const QString& arg : std::as_const(Arguments))
        ParseParam(arg);
}

void TKoSwitch::ApplyEntry(const TActionEx& e)
{
    if (auto* check = qobject_cast<TCheckAction*>(e.Action.data())) {
        switch (e.Kind) {
        case skPlus:
            check->SetChecked(true);
            break;
        case skMinus:
            check->SetChecked(false);
            break;
        case skSlash:
            check->Toggle();
            break;
        case skBare:
            break;
        }
        return;
    }
    e.Action->SetAsText(e.ValueText);
}

void TKoSwitch::ExecuteSwitches()
{
    if (m_entries.empty())
        return;
    m_executing = true;
    m_current = -1;
    QString error;
    // The switches are one command: what the user does meanwhile runs after the last one.
    const TCommandQueue::TRun run;
    const auto turn = [] {
        const TCommandQueue::TWait wait;
        QCoreApplication::processEvents();
    };
    try {
        for (std::size_t i = 0; i < m_entries.size(); ++i) {
            m_current = int(i);
            turn();
            const TActionEx& e = *m_entries[i];
            if (!e.Action || !e.Action->Enabled())
                continue;
            ApplyEntry(e);
            turn();
        }
    } catch (const std::exception& ex) {
        error = QString::fromLocal8Bit(ex.what());
    }
    if (!error.isNull() && OnError)
        OnError(error);
    if (m_quitRequested)
        Quit();
    m_executing = false;
}

void TKoSwitch::Quit()
{
    if (OnQuit) {
        OnQuit();
    } else if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        const auto windows = app->topLevelWindows();
        for (QWindow* w : windows)
            if (w->isVisible())
                w->close();
    }
}

void TKoSwitch::ProcessCommandLine()
{
    ParseCommandLine();
    if (!m_entries.empty())
        ExecuteSwitches();
    else if (m_quitRequested)
        Quit(); // "quit" alone, or after arguments that were not understood, still quits
    else if (OnNoCommandLine)
        OnNoCommandLine(nullptr);
    m_entries.clear();
}

void TKoSwitch::FirstActivation()
{
    if (m_processed)
        return;
    m_processed = true;
    if (OnActivate)
        OnActivate(this);
    ProcessCommandLine();
}

void TKoSwitch::ApplicationStateChanged(Qt::ApplicationState aState)
{
    if (aState != Qt::ApplicationActive)
        return;
    if (!m_processed)
        FirstActivation();
    else if (OnActivate)
        OnActivate(this);
}

void TKoSwitch::MainWindowShown()
{
    QTimer::singleShot(0, this, &TKoSwitch::FirstActivation);
}

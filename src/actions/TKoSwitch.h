#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class TCustomAbstractAction;
class TCustomKoActionList;

enum TSwitchKind { skPlus, skMinus, skSlash, skBare };

// One parsed argument.
struct TActionEx {
    QPointer<TCustomAbstractAction> Action;
    QString ValueText;
    TSwitchKind Kind = skBare;
};

// The parsed arguments, owning them.
using TSuperList = std::vector<std::unique_ptr<TActionEx>>;

// The command line: "+name", "-name" or "/name", optionally "=value", for every typed action with
// a Switch text of the lists attached to it; processed once, when the application is first
// activated (or, on platforms that never report an activation, just after the first show).
class TKoSwitch : public QObject {
    Q_OBJECT
public:
    explicit TKoSwitch(QObject* aOwner = nullptr);
    ~TKoSwitch() override;

    // Copies the program's arguments before Qt takes its own out of argv.
    static void SaveProgramArguments(int argc, char** argv);
    static QStringList ProgramArguments();
    // An argument as the program received it: UTF-8, or, for a file whose name is in another
    // encoding, the path of a link to it under a readable name.
    static QString DecodeArgument(const QByteArray& aBytes);
    // The arguments parsed; the saved program arguments unless set.
    QStringList Arguments;

    QPointer<TCustomAbstractAction> DefaultAction;
    std::function<void(QObject*)> OnActivate;
    std::function<void(QObject*)> OnNoCommandLine;
    // Closes the main window through its normal close path; called after the entries when an
    // argument was "quit" (also when there was no other entry).
    std::function<void()> OnQuit;
    // An exception stopped the entries.
    std::function<void(const QString&)> OnError;

    bool Executing() const { return m_executing; }
    bool QuitRequested() const { return m_quitRequested; }
    int CurrentIndex() const { return m_current; }
    const TSuperList& Entries() const { return m_entries; }
    bool Processed() const { return m_processed; }

    void RegisterList(TCustomKoActionList* aList);
    void UnregisterList(TCustomKoActionList* aList);
    // The action of a switch name (any case); DefaultAction for an empty or unknown name; null
    // for "quit", which is remembered.
    TCustomAbstractAction* FindSwitch(const QString& aName);
    void ParseParam(const QString& aParam);
    void ParseCommandLine();
    void ExecuteSwitches();
    void ProcessCommandLine();

    // The main window's first show: the command line runs once the event loop turns, unless the
    // application's activation came first.
    void MainWindowShown();

private:
    struct Entry {
        QString Name;
        QPointer<TCustomAbstractAction> Action;
    };

    static QString LinkToRawPath(const QByteArray& aPath);
    void Quit();
    void ApplicationStateChanged(Qt::ApplicationState aState);
    void FirstActivation();
    TCustomAbstractAction* Lookup(const QString& aLowerName) const;
    void ApplyEntry(const TActionEx& aEntry);

    QList<Entry> m_table;
    TSuperList m_entries;
    bool m_executing = false;
    bool m_quitRequested = false;
    bool m_processed = false;
    int m_current = -1;
};

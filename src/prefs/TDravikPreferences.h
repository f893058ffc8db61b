#pragma once

#include "prefs/TPreferencesMan.h"
#include "prefs/TRegPreferencesMan.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>

enum TSavePreferences { spRegistre = 0, spPortable = 1, spNone = 2 };

// How the component asks the user; the program answers with its dialog, tests answer directly.
class TPrefsQuestion {
public:
    virtual ~TPrefsQuestion() = default;
    // Where to keep the preferences; nothing when the question was closed without a choice.
    virtual std::optional<TSavePreferences> AskSaveMode(const QString& aCaption) = 0;
    virtual void Warn(const QString& aText) = 0;
};

// The preferences component: finds where the preferences live at the owner's show and loads them,
// saves them when the owner closes (asking where when nothing is stored yet), holds the store
// of the current mode and gives the typed, default-aware reads and writes that the actions use.
class TDravikPreferences : public QObject {
    Q_OBJECT
public:
    explicit TDravikPreferences(QObject* aOwner = nullptr);
    ~TDravikPreferences() override;

    // Where the ini file lives (with a trailing "/"); the running program's folder by default.
    QString ProgramFolder() const { return m_programFolder; }
    void SetProgramFolder(const QString& aFolder);
    // The registry hive; tests point it elsewhere.
    QString HiveFile() const { return m_hiveFile; }
    void SetHiveFile(const QString& aFile) { m_hiveFile = aFile; }
    // How long the hive waits for another program's lock; tests shorten it.
    void SetBusyTimeout(int aMs) { m_busyMs = aMs; }

    QString titre = QStringLiteral("Tessarine");
    QString version;

    std::function<void(TSavePreferences)> OnChangeMode;
    std::function<void(TDravikPreferences&)> OnLoadPrefs;
    std::function<void(TDravikPreferences&)> OnSavePrefs;
    TPrefsQuestion* Question = nullptr;

    // Takes the owner's show and close: the load step runs at each show, in place of aShow (which
    // it calls), and the save step at each close request, in place of aCloseQuery.
    void HookOwner(QObject* aOwner, std::function<void()> aShow, std::function<void()> aCloseQuery);
    // Detects and applies the mode, runs the owner's show handler, then OnLoadPrefs.
    void LoadStep();
    // The question when no mode is set, the owner's close-query handler, then the root values
    // and OnSavePrefs; false (the close is refused) when the question was dismissed.
    bool SaveStep();
    // The question until it names a place that can be written; nothing when dismissed.
    std::optional<TSavePreferences> AskWhere();
    // Writes the root values and the owner's lists now; false when the store failed.
    bool SaveNow();
    // Can the ini file be written beside the program?
    bool CanWriteProgramFolder() const;

    TSavePreferences Mode() const { return m_mode; }
    TPreferencesMan& Store() { return *m_store; }

    QString IniFileName() const;
    QString ProductKeyPath() const;

    // Where the preferences are; nothing when that cannot be known (the ini file or the hive
    // exists but is busy or unreadable), which is never "nothing stored".
    std::optional<TSavePreferences> DetectMode() const;
    // The stored preferences could not be read at the last show: defaults are in use, and
    // nothing stored is written over or erased in this session.
    bool Unreadable() const { return m_unreadable; }
    // Frees the current store (an ini store writes its file), creates the store of aMode, tells
    // OnChangeMode and erases the storage of the modes not chosen.
    void ApplyMode(TSavePreferences aMode);
    // Changes the mode at run time; nothing when aMode is the current mode. The preferences are
    // written into the new store at once and the old one is erased only when that worked;
    // otherwise the mode stays, with a message (so does a program folder that cannot be
    // written for the portable mode).
    void SetMode(TSavePreferences aMode);

    bool DeleteProductKey() const;
    bool DeleteIniFile() const;

    // Access layer: in spNone every read gives its default and every write answers false.
    bool OpenSection(const QString& aName);
    bool CloseSection();
    bool GetKeyNames(QStringList& aList);
    bool DeleteSubKey(const QString& aName);
    bool ReadBool(const QString& aName, bool aDefault);
    qint32 ReadInteger(const QString& aName, qint32 aDefault);
    double ReadFloat(const QString& aName, double aDefault);
    QString ReadString(const QString& aName, const QString& aDefault);
    TRect ReadRect(const QString& aName, const TRect& aDefault);
    TPoint ReadPoint(const QString& aName, const TPoint& aDefault);
    void ReadFont(const QString& aName, const TFontDesc& aDefault, TFontDesc& aFont);
    bool WriteBool(const QString& aName, bool aValue);
    bool WriteInteger(const QString& aName, qint32 aValue);
    bool WriteFloat(const QString& aName, double aValue);
    bool WriteString(const QString& aName, const QString& aValue);
    bool WriteRect(const QString& aName, const TRect& aValue);
    bool WritePoint(const QString& aName, const TPoint& aValue);
    bool WriteFont(const QString& aName, const TFontDesc& aValue);

    bool eventFilter(QObject* aWatched, QEvent* aEvent) override;

protected:
    std::unique_ptr<TPreferencesMan> CreateStore(TSavePreferences aMode) const;
    void Unhook();
    // Saves into the store of aMode; only when that worked does aMode take over and the other
    // places get erased. False: nothing changed.
    bool MoveTo(TSavePreferences aMode);
    void Warn(const QString& aText);
    QString StoreName(TSavePreferences aMode) const;
    QString SaveFailedText(TSavePreferences aMode) const;
    QString PortableRefusedText() const;

    QObject* m_owner = nullptr;
    std::function<void()> m_ownerShow;
    std::function<void()> m_ownerCloseQuery;

    TSavePreferences m_mode = spNone;
    std::unique_ptr<TPreferencesMan> m_store;
    QString m_programFolder;
    QString m_hiveFile;
    int m_busyMs = TRegPreferencesMan::kBusyMs;
    bool m_unreadable = false;
    QString m_unreadableFile;
};

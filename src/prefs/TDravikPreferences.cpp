#include "prefs/TDravikPreferences.h"

#include "prefs/TIniPreferencesMan.h"
#include "prefs/TNonePreferencesMan.h"
#include "prefs/TRegPreferencesMan.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

TDravikPreferences::TDravikPreferences(QObject* aOwner)
    : QObject(aOwner)
    , m_store(std::make_unique<TNonePreferencesMan>())
    , m_hiveFile(TRegistryHive::DefaultFile())
{
    SetProgramFolder(QCoreApplication::applicationDirPath());
}

TDravikPreferences::~TDravikPreferences() = default;

void TDravikPreferences::SetProgramFolder(const QString& aFolder)
{
    m_programFolder = aFolder.endsWith(u'/') ? aFolder : aFolder + u'/';
}

QString TDravikPreferences::IniFileName() const
{
    return m_programFolder + titre + QStringLiteral(".ini");
}

QString TDravikPreferences::ProductKeyPath() const
{
    return QStringLiteral("Software\\Orvalis\\") + titre;
}

std::optional<TSavePreferences> TDravikPreferences::DetectMode() const
{
    const QString ini = IniFileName();
    if (QFileInfo::exists(ini)) {
        QFile probe(ini);
        if (!probe.open(QIODevice::ReadOnly))
            return std::nullopt;
        return spPortable;
    }
    switch (TRegistryHive::ProbeKey(m_hiveFile, ProductKeyPath(), m_busyMs)) {
    case TRegistryHive::Exists:
        return spRegistre;
    case TRegistryHive::Missing:
        return spNone;
    case TRegistryHive::Unknown:
        break;
    }
    return std::nullopt;
}

QString TDravikPreferences::StoreName(TSavePreferences aMode) const
{
    return aMode == spPortable
               ? QStringLiteral("le fichier %1").arg(QDir::toNativeSeparators(IniFileName()))
               : QStringLiteral("le registre (%1)").arg(QDir::toNativeSeparators(m_hiveFile));
}

QString TDravikPreferences::SaveFailedText(TSavePreferences aMode) const
{
    return QStringLiteral("Les préférences n'ont pas pu être enregistrées dans %1.")
        .arg(StoreName(aMode));
}

std::unique_ptr<TPreferencesMan> TDravikPreferences::CreateStore(TSavePreferences aMode) const
{
    switch (aMode) {
    case spRegistre:
        return std::make_unique<TRegPreferencesMan>(ProductKeyPath(), true, m_hiveFile, m_busyMs);
    case spPortable:
        return std::make_unique<TIniPreferencesMan>(IniFileName());
    case spNone:
        break;
    }
    return std::make_unique<TNonePreferencesMan>();
}

void TDravikPreferences::ApplyMode(TSavePreferences aMode)
{
    m_mode = aMode;
    m_store.reset();
    m_store = CreateStore(aMode);
    if (OnChangeMode)
        OnChangeMode(aMode);
    if (aMode != spPortable)
        DeleteIniFile();
    if (aMode != spRegistre)
        DeleteProductKey();
}

bool TDravikPreferences::MoveTo(TSavePreferences aMode)
{
    std::unique_ptr<TPreferencesMan> old = std::exchange(m_store, CreateStore(aMode));
    const TSavePreferences oldMode = std::exchange(m_mode, aMode);
    if (!SaveNow()) {
        m_store->Discard();
        m_store = std::move(old);
        m_mode = oldMode;
        return false;
    }
    // Only now that the new place holds the preferences may the old one go.
    old->Discard();
    old.reset();
    if (OnChangeMode)
        OnChangeMode(aMode);
    if (aMode != spPortable)
        DeleteIniFile();
    if (aMode != spRegistre)
        DeleteProductKey();
    return true;
}

void TDravikPreferences::SetMode(TSavePreferences aMode)
{
    if (aMode == m_mode && !m_unreadable)
        return;
    const auto refuse = [this](const QString& aWhy) {
        Warn(aWhy);
        if (OnChangeMode)
            OnChangeMode(m_mode); // the choice shown goes back to the mode in force
    };
    if (m_unreadable) {
        refuse(QStringLiteral("Les préférences enregistrées n'ont pas pu être lues au démarrage "
                              ": le mode d'enregistrement ne peut pas changer pendant cette "
                              "session. Relancez le programme quand %1 est de nouveau lisible.")
                   .arg(QDir::toNativeSeparators(m_unreadableFile)));
        return;
    }
    if (aMode == spNone) {
        ApplyMode(spNone); // erases both places at once; the next close asks again
        return;
    }
    if (aMode == spPortable && !CanWriteProgramFolder()) {
        refuse(PortableRefusedText());
        return;
    }
    // The preferences are written into the new place at once, and the old place is erased
    // only when that worked.
    if (!MoveTo(aMode))
        refuse(SaveFailedText(aMode) + QStringLiteral(" Le mode d'enregistrement n'a pas changé."));
}

void TDravikPreferences::Warn(const QString& aText)
{
    if (Question)
        Question->Warn(aText);
}

bool TDravikPreferences::CanWriteProgramFolder() const
{
    QTemporaryFile probe(m_programFolder + QStringLiteral("write-test-XXXXXX"));
    return probe.open();
}

QString TDravikPreferences::PortableRefusedText() const
{
    return QStringLiteral("Le dossier du programme %1 n'est pas accessible en écriture : les "
                          "préférences ne peuvent pas y être enregistrées en mode portable.")
        .arg(QDir::toNativeSeparators(m_programFolder));
}

void TDravikPreferences::HookOwner(QObject* aOwner, std::function<void()> aShow,
                                   std::function<void()> aCloseQuery)
{
    Unhook();
    m_owner = aOwner;
    m_ownerShow = std::move(aShow);
    m_ownerCloseQuery = std::move(aCloseQuery);
    if (aOwner)
        aOwner->installEventFilter(this);
}

void TDravikPreferences::Unhook()
{
    if (m_owner)
        m_owner->removeEventFilter(this);
    m_owner = nullptr;
}

bool TDravikPreferences::eventFilter(QObject* aWatched, QEvent* aEvent)
{
    if (aWatched == m_owner) {
        // Shows that the window system makes (un-minimising) are not the program's shows.
        if (aEvent->type() == QEvent::Show && !aEvent->spontaneous()) {
            LoadStep();
        } else if (aEvent->type() == QEvent::Close && !SaveStep()) {
            aEvent->ignore();
            return true;
        }
    }
    return QObject::eventFilter(aWatched, aEvent);
}

void TDravikPreferences::LoadStep()
{
    QCoreApplication::processEvents();
    m_unreadable = false;
    const std::optional<TSavePreferences> mode = DetectMode();
    if (mode) {
        ApplyMode(*mode);
    } else {
        // Neither mode nor "nothing stored": keep what is stored, untouched.
        m_mode = spNone;
        m_store = CreateStore(spNone);
        m_unreadable = true;
        m_unreadableFile = QFileInfo::exists(IniFileName()) ? IniFileName() : m_hiveFile;
    }
    if (m_ownerShow)
        m_ownerShow();
    if (OnLoadPrefs)
        OnLoadPrefs(*this);
    if (!m_unreadable && m_store->ReadFailed()) {
        m_unreadable = true;
        m_unreadableFile = m_mode == spPortable ? IniFileName() : m_hiveFile;
        m_store->Discard();
    }
    if (m_unreadable)
        Warn(QStringLiteral("Les préférences enregistrées n'ont pas pu être lues : %1 est "
                            "occupé par un autre programme ou illisible.\nLes réglages par "
                            "défaut sont utilisés pour cette session, et les préférences "
                            "enregistrées ne seront pas modifiées.")
                 .arg(QDir::toNativeSeparators(m_unreadableFile)));
}

std::optional<TSavePreferences> TDravikPreferences::AskWhere()
{
    const QString caption = QStringLiteral("Enregistrement des préférences de %1").arg(titre);
    for (;;) {
        const std::optional<TSavePreferences> chosen =
            Question ? Question->AskSaveMode(caption) : std::optional(spNone);
        if (chosen && *chosen == spPortable && !CanWriteProgramFolder()) {
            Warn(PortableRefusedText());
            continue; // asked again
        }
        return chosen;
    }
}

bool TDravikPreferences::SaveStep()
{
    // Asked before the owner tears anything down: closing the question with its window button
    // leaves the program exactly as it was.
    std::optional<TSavePreferences> chosen;
    if (!m_unreadable && m_mode == spNone) {
        chosen = AskWhere();
        if (!chosen)
            return false; // closed without a choice: the program stays open
    }
    if (m_ownerCloseQuery)
        m_ownerCloseQuery();
    if (m_unreadable) {
        Warn(QStringLiteral("Les préférences de cette session n'ont pas été enregistrées : "
                            "celles de %1 n'avaient pas pu être lues et restent telles quelles.")
                 .arg(QDir::toNativeSeparators(m_unreadableFile)));
    } else if (chosen) {
        while (*chosen != spNone && !MoveTo(*chosen)) {
            Warn(SaveFailedText(*chosen));
            chosen = AskWhere();
            if (!chosen)
                return false;
        }
        if (*chosen == spNone)
            ApplyMode(spNone);
    } else if (!SaveNow()) {
        Warn(SaveFailedText(m_mode));
    }
    Unhook();
    return true;
}

bool TDravikPreferences::SaveNow()
{
    bool ok = WriteString(QStringLiteral("Version"), version);
    ok =
        WriteString(QStringLiteral("Dernière Sauvegarde"),
                    QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"))) &&
        ok;
    ok = WriteString(QStringLiteral("ExeName"), QCoreApplication::applicationFilePath()) && ok;
    if (OnSavePrefs)
        OnSavePrefs(*this);
    return m_store->Flush() && ok;
}

bool TDravikPreferences::DeleteProductKey() const
{
    return TRegPreferencesMan::DeleteProductKey(ProductKeyPath(), m_hiveFile, m_busyMs);
}

bool TDravikPreferences::DeleteIniFile() const
{
    const QString name = IniFileName();
    if (!QFile::exists(name))
        return true;
    QFile::setPermissions(name, QFile::ReadOwner | QFile::WriteOwner);
    return QFile::remove(name);
}

bool TDravikPreferences::OpenSection(const QString& aName)
{
    return m_mode != spNone && m_store->OpenKey(aName, true);
}

bool TDravikPreferences::CloseSection()
{
    return m_mode != spNone && m_store->CloseKey();
}

bool TDravikPreferences::GetKeyNames(QStringList& aList)
{
    return m_mode != spNone && m_store->GetKeyNames(aList);
}

bool TDravikPreferences::DeleteSubKey(const QString& aName)
{
    return m_mode != spNone && m_store->DeleteKey(aName);
}

bool TDravikPreferences::ReadBool(const QString& aName, bool aDefault)
{
    bool v = aDefault;
    return m_mode != spNone && m_store->ReadBool(aName, v) ? v : aDefault;
}

qint32 TDravikPreferences::ReadInteger(const QString& aName, qint32 aDefault)
{
    qint32 v = aDefault;
    return m_mode != spNone && m_store->ReadInteger(aName, v) ? v : aDefault;
}

double TDravikPreferences::ReadFloat(const QString& aName, double aDefault)
{
    double v = aDefault;
    return m_mode != spNone && m_store->ReadFloat(aName, v) ? v : aDefault;
}

QString TDravikPreferences::ReadString(const QString& aName, const QString& aDefault)
{
    QString v = aDefault;
    return m_mode != spNone && m_store->ReadString(aName, v) ? v : aDefault;
}

TRect TDravikPreferences::ReadRect(const QString& aName, const TRect& aDefault)
{
    TRect v = aDefault;
    return m_mode != spNone && m_store->ReadRect(aName, v) ? v : aDefault;
}

TPoint TDravikPreferences::ReadPoint(const QString& aName, const TPoint& aDefault)
{
    TPoint v = aDefault;
    return m_mode != spNone && m_store->ReadPoint(aName, v) ? v : aDefault;
}

void TDravikPreferences::ReadFont(const QString& aName, const TFontDesc& aDefault, TFontDesc& aFont)
{
    if (m_mode == spNone || !m_store->ReadFont(aName, aFont))
        aFont = aDefault;
}

bool TDravikPreferences::WriteBool(const QString& aName, bool aValue)
{
    return m_mode != spNone && m_store->WriteBool(aName, aValue);
}

bool TDravikPreferences::WriteInteger(const QString& aName, qint32 aValue)
{
    return m_mode != spNone && m_store->WriteInteger(aName, aValue);
}

bool TDravikPreferences::WriteFloat(const QString& aName, double aValue)
{
    return m_mode != spNone && m_store->WriteFloat(aName, aValue);
}

bool TDravikPreferences::WriteString(const QString& aName, const QString& aValue)
{
    return m_mode != spNone && m_store->WriteString(aName, aValue);
}

bool TDravikPreferences::WriteRect(const QString& aName, const TRect& aValue)
{
    return m_mode != spNone && m_store->WriteRect(aName, aValue);
}

bool TDravikPreferences::WritePoint(const QString& aName, const TPoint& aValue)
{
    return m_mode != spNone && m_store->WritePoint(aName, aValue);
}

bool TDravikPreferences::WriteFont(const QString& aName, const TFontDesc& aValue)
{
    return m_mode != spNone && m_store->WriteFont(aName, aValue);
}

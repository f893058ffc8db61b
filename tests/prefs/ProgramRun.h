#pragma once

#include "prefs/TDravikPreferences.h"
#include <TestDirs.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QShowEvent>
#include <QWidget>

// Answers the save-at-exit question from a list, and keeps the warnings.
class TScriptedQuestion : public TPrefsQuestion {
public:
    QList<std::optional<TSavePreferences>> Answers;
    QStringList Captions;
    QStringList Warnings;
    std::optional<TSavePreferences> AskSaveMode(const QString& aCaption) override
    {
        Captions << aCaption;
        return Answers.isEmpty() ? std::nullopt : Answers.takeFirst();
    }
    void Warn(const QString& aText) override { Warnings << aText; }
};

// One run of the program: a window, its preferences and a stored setting.
class TProgramRun {
public:
    TProgramRun(const TTestConfigHome& home, TScriptedQuestion& question)
    {
        gp.SetProgramFolder(home.Path());
        gp.SetHiveFile(home.HiveFile());
        gp.version = QStringLiteral("Tessarine 0.1.0 fr de Orvalis");
        gp.Question = &question;
        gp.OnLoadPrefs = [this](TDravikPreferences& p) {
            steps << QStringLiteral("load");
            p.OpenSection(QStringLiteral("ShowForm"));
            setting = p.ReadBool(QStringLiteral("BasculerVue"), false);
            p.CloseSection();
        };
        gp.OnSavePrefs = [this](TDravikPreferences& p) {
            steps << QStringLiteral("save");
            p.OpenSection(QStringLiteral("ShowForm"));
            p.WriteBool(QStringLiteral("BasculerVue"), setting);
            p.CloseSection();
        };
        gp.HookOwner(
            &window, [this] { steps << QStringLiteral("show"); },
            [this] { steps << QStringLiteral("closequery"); });
    }
    void Show()
    {
        QShowEvent e;
        QCoreApplication::sendEvent(&window, &e);
    }
    bool Close()
    {
        QCloseEvent e;
        QCoreApplication::sendEvent(&window, &e);
        return e.isAccepted();
    }

    QWidget window;
    TDravikPreferences gp;
    QStringList steps;
    bool setting = false;
};

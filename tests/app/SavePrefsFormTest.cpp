#include "ui/TLinkEdit.h"
#include "ui/TSavePrefsForm.h"

#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Runs the question modally and acts on the dialog once it is up.
std::optional<TSavePreferences> Ask(TSavePrefsForm& form, std::function<void()> aAct)
{
    QTimer::singleShot(0, &form, std::move(aAct));
    return form.AskSaveMode(QStringLiteral("Enregistrement des préférences de Tessarine"));
}

TEST(SavePrefsForm, EachButtonChoosesItsModeAndTheWindowButtonNone)
{
    TSavePrefsForm form;
    EXPECT_EQ(Ask(form, [&] { form.btNormal->click(); }), spRegistre);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Enregistrement des préférences de Tessarine"));
    EXPECT_EQ(Ask(form, [&] { form.btPortable->click(); }), spPortable);
    EXPECT_EQ(Ask(form, [&] { form.btAucun->click(); }), spNone);
    EXPECT_EQ(Ask(form, [&] { form.reject(); }), std::nullopt); // closed without a choice
    EXPECT_TRUE(form.btPortable->toolTip().startsWith(
        QStringLiteral("Enregistre les préférences dans un fichier ini.")));
    EXPECT_TRUE(form.Label->toPlainText().contains(QStringLiteral("Cliquez sur votre choix:")));
}

} // namespace

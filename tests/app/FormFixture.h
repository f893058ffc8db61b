#pragma once

// A main window on a private configuration home, whose questions are answered by the test, with
// look-ups of its actions: what the window tests with real clips share.
#include "FakeQuestions.h"
#include "WindowTestSupport.h"
#include "app/TShowForm.h"
#include "ui/TKoAppliMan.h"

#include "actions/TCheckAction.h"
#include "actions/TKoSwitch.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "base/TCommandQueue.h"
#include "files/TFichierMan.h"
#include <TestDirs.h>

#include <gtest/gtest.h>

#include <memory>

namespace WindowTest {

class TFormTest : public ::testing::Test {
protected:
    TTestConfigHome home;
    TSaveToRegistry answer;
    TFakeQuestions questions;
    std::unique_ptr<TShowForm> form;

    void SetUp() override { m_previous = SetUserQuestions(&questions); }
    void TearDown() override
    {
        if (form) {
            form->close();
            form.reset();
        }
        SetUserQuestions(m_previous);
    }
    // The window shown at a desktop's size, its command line run (a video, switches).
    void StartForm(const QStringList& aArguments = {})
    {
        form = std::make_unique<TShowForm>(&answer);
        form->gp->SetProgramFolder(home.Path());
        form->gp->SetHiveFile(home.HiveFile());
        form->ficman->SetQuestions(&questions);
        form->am->SwitchComponent()->Arguments = aArguments;
        form->show();
        form->resize(1400, 1000);
        Settle(400);
        // A loaded machine may still be opening the file named on the command line.
        for (int i = 0; i < 1000 && !TCommandQueue::Instance().Idle(); ++i)
            Settle(10);
    }
    template <class A> A* Action(const char* aId)
    {
        return qobject_cast<A*>(form->FindAction(QString::fromLatin1(aId)));
    }
    TIntegerAction* Int(const char* aId) { return Action<TIntegerAction>(aId); }
    TBooleanAction* Bool(const char* aId) { return Action<TBooleanAction>(aId); }
    TWidestringAction* Text(const char* aId) { return Action<TWidestringAction>(aId); }
    TCheckAction* Check(const char* aId) { return Action<TCheckAction>(aId); }
    // A command applied as a menu would, then what it posted runs.
    void Apply(const char* aId)
    {
        Action<TNopeAction>(aId)->Apply();
        Settle();
    }

private:
    TUserQuestions* m_previous = nullptr;
};

} // namespace WindowTest

#include "FakeQuestions.h"

#include "base/TBatchRun.h"
#include "files/TUserQuestions.h"

#include <gtest/gtest.h>

namespace {

class BatchRun : public ::testing::Test {
protected:
    void SetUp() override { TBatchRun::SetActive(true); }
    void TearDown() override { TBatchRun::Reset(); }
};

TEST(Questions, SafeAnswers)
{
    TQuestion q;
    EXPECT_EQ(SafeAnswer(q), TAnswer::No);
    q.Buttons = TQuestionButtons::YesNoCancel;
    EXPECT_EQ(SafeAnswer(q), TAnswer::Cancel);
    q.Buttons = TQuestionButtons::YesNoCancelYesToAll;
    EXPECT_EQ(SafeAnswer(q), TAnswer::Cancel);
    q.BatchAnswer = TAnswer::No;
    EXPECT_EQ(SafeAnswer(q), TAnswer::No);
}

TEST_F(BatchRun, NoDialogTheSafeAnswerAndANote)
{
    TDialogQuestions dialogs;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(dialogs.YesNo(nullptr, QStringLiteral("Voulez-vous écraser le fichier "
                                                       "existant:\r\n/tmp/a.txt ?")));
    EXPECT_EQ(dialogs.YesNoCancel(nullptr, QStringLiteral("Q2")), TAnswer::Cancel);
    EXPECT_EQ(dialogs.YesNoCancelYesToAll(nullptr, QStringLiteral("Q3")), TAnswer::Cancel);
    TFileDialogRequest file;
    file.Title = QStringLiteral("Sélectionnez le fichier à ouvrir");
    EXPECT_FALSE(dialogs.AskOpenFile(nullptr, file));
    EXPECT_FALSE(dialogs.AskSaveFile(nullptr, file));
    TFolderDialogRequest folder;
    EXPECT_FALSE(dialogs.AskFolder(nullptr, folder));
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("/tmp/a.txt ? (réponse : Non)"), std::string::npos) << err;
    EXPECT_NE(err.find("Q3 (réponse : Annuler)"), std::string::npos) << err;
    EXPECT_NE(err.find("Sélectionnez le fichier à ouvrir"), std::string::npos) << err;
    // Information only: the run's status stays.
    EXPECT_EQ(TBatchRun::ExitStatus(), 0);
}

TEST(Questions, TheProgramsQuestionsCanBeReplaced)
{
    TUserQuestions* original = &UserQuestions();
    TFakeQuestions fake;
    EXPECT_EQ(SetUserQuestions(&fake), nullptr);
    EXPECT_EQ(&UserQuestions(), &fake);
    fake.Answers << TAnswer::Yes;
    EXPECT_TRUE(UserQuestions().YesNo(nullptr, QStringLiteral("Q")));
    EXPECT_EQ(SetUserQuestions(nullptr), &fake);
    EXPECT_EQ(&UserQuestions(), original);
}

} // namespace

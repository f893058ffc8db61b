#include "actions/ShortCut.h"

#include <gtest/gtest.h>

TEST(ShortCuts, CodesMapToQtKeySequencesIncludingTheKeypad)
{
    EXPECT_EQ(ShortCutToKeySequence(scCtrl | 'N'), QKeySequence(Qt::CTRL | Qt::Key_N));
    EXPECT_EQ(ShortCutToKeySequence(scAlt | 'W'), QKeySequence(Qt::ALT | Qt::Key_W));
    EXPECT_EQ(ShortCutToKeySequence(scCtrl | scShift | VK_NEXT),
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_PageDown));
    EXPECT_EQ(ShortCutToKeySequence((VK_F1 + 11)), QKeySequence(Qt::Key_F12));
    EXPECT_EQ(ShortCutToKeySequence(VK_ADD), QKeySequence(Qt::KeypadModifier | Qt::Key_Plus));
    EXPECT_EQ(ShortCutToKeySequence(VK_NUMPAD0 + 5), QKeySequence(Qt::KeypadModifier | Qt::Key_5));
    EXPECT_TRUE(ShortCutToKeySequence(0).isEmpty());
    EXPECT_TRUE(ShortCutToKeySequence(0xFF).isEmpty());

    for (const TShortCut sc :
         {TShortCut(scCtrl | VK_SPACE), TShortCut(VK_SUBTRACT), TShortCut(scAlt | (VK_F1 + 9)),
          TShortCut(scCtrl | scShift | VK_HOME)})
        EXPECT_EQ(KeySequenceToShortCut(ShortCutToKeySequence(sc)), sc);
}

TEST(ShortCuts, TextsReadAndWriteTheUsualNames)
{
    EXPECT_EQ(ShortCutToText(scCtrl | (VK_F1 + 11)), QStringLiteral("Ctrl+F12"));
    EXPECT_EQ(ShortCutToText(scShift | scCtrl | VK_NEXT), QStringLiteral("Shift+Ctrl+PgDn"));
    EXPECT_EQ(ShortCutToText(VK_ADD), QStringLiteral("Num +"));
    EXPECT_EQ(ShortCutToText(0), QString());

    EXPECT_EQ(TextToShortCut(QStringLiteral("CTRL+N")), TShortCut(scCtrl | 'N'));
    EXPECT_EQ(TextToShortCut(QStringLiteral("Ctrl+Shift+PgDn")),
              TShortCut(scCtrl | scShift | VK_NEXT));
    EXPECT_EQ(TextToShortCut(QStringLiteral("ALT+F4")), TShortCut(scAlt | (VK_F1 + 3)));
    EXPECT_EQ(TextToShortCut(QStringLiteral("Ctrl+Space")), TShortCut(scCtrl | VK_SPACE));
    EXPECT_EQ(TextToShortCut(QStringLiteral("Num +")), TShortCut(VK_ADD));
    EXPECT_EQ(TextToShortCut(QStringLiteral("Alt+Num -")), TShortCut(scAlt | VK_SUBTRACT));
    EXPECT_EQ(TextToShortCut(QStringLiteral("Hyper+Q")), 0);
    EXPECT_EQ(TextToShortCut(QStringLiteral("Ctrl+")), 0);
    EXPECT_EQ(TextToShortCut(QString()), 0);
}

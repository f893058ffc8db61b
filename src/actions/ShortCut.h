#pragma once

#include <QKeySequence>
#include <QString>

// A keyboard shortcut as the actions store it: a virtual-key code plus 0x2000 for Shift, 0x4000
// for Ctrl and 0x8000 for Alt; 0 is no shortcut.
using TShortCut = quint16;

constexpr TShortCut scNone = 0;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

// Some virtual-key codes the program names.
constexpr quint8 VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_PAUSE = 0x13, VK_ESCAPE = 0x1B,
                 VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24,
                 VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_INSERT = 0x2D,
                 VK_DELETE = 0x2E, VK_NUMPAD0 = 0x60, VK_MULTIPLY = 0x6A, VK_ADD = 0x6B,
                 VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E, VK_DIVIDE = 0x6F, VK_F1 = 0x70;

// The Qt key sequence of a shortcut; empty for 0 or a key Qt cannot name.
QKeySequence ShortCutToKeySequence(TShortCut aShortCut);
// The shortcut of a single-key Qt sequence, 0 when it has no virtual-key equivalent.
TShortCut KeySequenceToShortCut(const QKeySequence& aSequence);

// "Ctrl+F12", "Alt+F10", "Shift+Ctrl+PgDn", "Num +"; empty for 0.
QString ShortCutToText(TShortCut aShortCut);
// Reads the forms above, modifiers in any order and any case ("CTRL+N"); 0 when it is none.
TShortCut TextToShortCut(const QString& aText);

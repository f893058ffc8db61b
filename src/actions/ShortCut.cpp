#include "actions/ShortCut.h"

#include <QStringList>

#include <array>

namespace {

struct KeyName {
    quint8 Vk;
    int Key; // Qt::Key, with Qt::KeypadModifier for the numeric keypad
    const char* Name;
};

// Named keys; letters, digits and function keys are computed.
constexpr std::array<KeyName, 35> kKeys{{
    {VK_BACK, Qt::Key_Backspace, "BkSp"},
    {VK_TAB, Qt::Key_Tab, "Tab"},
    {VK_RETURN, Qt::Key_Return, "Enter"},
    {VK_PAUSE, Qt::Key_Pause, "Pause"},
    {VK_ESCAPE, Qt::Key_Escape, "Esc"},
    {VK_SPACE, Qt::Key_Space, "Space"},
    {VK_PRIOR, Qt::Key_PageUp, "PgUp"},
    {VK_NEXT, Qt::Key_PageDown, "PgDn"},
    {VK_END, Qt::Key_End, "End"},
    {VK_HOME, Qt::Key_Home, "Home"},
    {VK_LEFT, Qt::Key_Left, "Left"},
    {VK_UP, Qt::Key_Up, "Up"},
    {VK_RIGHT, Qt::Key_Right, "Right"},
    {VK_DOWN, Qt::Key_Down, "Down"},
    {VK_INSERT, Qt::Key_Insert, "Ins"},
    {VK_DELETE, Qt::Key_Delete, "Del"},
    {VK_MULTIPLY, int(Qt::Key_Asterisk) | int(Qt::KeypadModifier), "Num *"},
    {VK_ADD, int(Qt::Key_Plus) | int(Qt::KeypadModifier), "Num +"},
    {VK_SUBTRACT, int(Qt::Key_Minus) | int(Qt::KeypadModifier), "Num -"},
    {VK_DECIMAL, int(Qt::Key_Period) | int(Qt::KeypadModifier), "Num Del"},
    {VK_DIVIDE, int(Qt::Key_Slash) | int(Qt::KeypadModifier), "Num /"},
    {0xBA, Qt::Key_Semicolon, ";"},
    {0xBB, Qt::Key_Equal, "="},
    {0xBC, Qt::Key_Comma, ","},
    {0xBD, Qt::Key_Minus, "-"},
    {0xBE, Qt::Key_Period, "."},
    {0xBF, Qt::Key_Slash, "/"},
    {0xC0, Qt::Key_QuoteLeft, "`"},
    {0xDB, Qt::Key_BracketLeft, "["},
    {0xDC, Qt::Key_Backslash, "\\"},
    {0xDD, Qt::Key_BracketRight, "]"},
    {0xDE, Qt::Key_Apostrophe, "'"},
    {0x5D, Qt::Key_Menu, "Menu"},
    {0x2C, Qt::Key_Print, "PrtScr"},
    {0x91, Qt::Key_ScrollLock, "ScrollLock"},
}};

// Qt key (with keypad flag) of a virtual key, 0 when none.
int QtKeyOf(quint8 vk)
{
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        return vk; // Qt::Key_0.. and Qt::Key_A.. share the ASCII codes
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9)
        return (Qt::Key_0 + (vk - VK_NUMPAD0)) | int(Qt::KeypadModifier);
    if (vk >= VK_F1 && vk <= VK_F1 + 23)
        return Qt::Key_F1 + (vk - VK_F1);
    for (const KeyName& k : kKeys)
        if (k.Vk == vk)
            return k.Key;
    return 0;
}

QString KeyText(quint8 vk)
{
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        return QString(QChar(char16_t(vk)));
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9)
        return QStringLiteral("Num ") + QChar(u'0' + (vk - VK_NUMPAD0));
    if (vk >= VK_F1 && vk <= VK_F1 + 23)
        return u'F' + QString::number(vk - VK_F1 + 1);
    for (const KeyName& k : kKeys)
        if (k.Vk == vk)
            return QString::fromLatin1(k.Name);
    return QString();
}

} // namespace

QKeySequence ShortCutToKeySequence(TShortCut aShortCut)
{
    const int key = QtKeyOf(quint8(aShortCut & 0xFF));
    if (!key)
        return QKeySequence();
    int mods = 0;
    if (aShortCut & scShift)
        mods |= Qt::ShiftModifier;
    if (aShortCut & scCtrl)
        mods |= Qt::ControlModifier;
    if (aShortCut & scAlt)
        mods |= Qt::AltModifier;
    return QKeySequence(QKeyCombination::fromCombined(key | mods));
}

TShortCut KeySequenceToShortCut(const QKeySequence& aSequence)
{
    if (aSequence.count() != 1)
        return scNone;
    const QKeyCombination combo = aSequence[0];
    const int key = int(combo.key()) | int(combo.keyboardModifiers() & Qt::KeypadModifier);
    for (int vk = 1; vk < 256; ++vk) {
        if (QtKeyOf(quint8(vk)) != key)
            continue;
        TShortCut sc = TShortCut(vk);
        const Qt::KeyboardModifiers mods = combo.keyboardModifiers();
        if (mods & Qt::ShiftModifier)
            sc |= scShift;
        if (mods & Qt::ControlModifier)
            sc |= scCtrl;
        if (mods & Qt::AltModifier)
            sc |= scAlt;
        return sc;
    }
    return scNone;
}

QString ShortCutToText(TShortCut aShortCut)
{
    const QString key = KeyText(quint8(aShortCut & 0xFF));
    if (key.isEmpty())
        return QString();
    QString text;
    if (aShortCut & scShift)
        text += QStringLiteral("Shift+");
    if (aShortCut & scCtrl)
        text += QStringLiteral("Ctrl+");
    if (aShortCut & scAlt)
        text += QStringLiteral("Alt+");
    return text + key;
}

TShortCut TextToShortCut(const QString& aText)
{
    QString rest = aText.trimmed();
    TShortCut mods = 0;
    for (;;) {
        const qsizetype plus = rest.indexOf(u'+');
        // A "+" that is the key itself ("Num +", "Ctrl++") ends the modifiers.
        if (plus <= 0 || plus == rest.size() - 1)
            break;
        const QString mod = rest.left(plus).trimmed().toLower();
        if (mod == QLatin1String("shift"))
            mods |= scShift;
        else if (mod == QLatin1String("ctrl") || mod == QLatin1String("control"))
            mods |= scCtrl;
        else if (mod == QLatin1String("alt"))
            mods |= scAlt;
        else
            break;
        rest = rest.mid(plus + 1).trimmed();
    }
    if (rest.isEmpty())
        return scNone;
    for (int vk = 1; vk < 256; ++vk) {
        const QString name = KeyText(quint8(vk));
        if (!name.isEmpty() && name.compare(rest, Qt::CaseInsensitive) == 0)
            return TShortCut(mods | vk);
    }
    return scNone;
}

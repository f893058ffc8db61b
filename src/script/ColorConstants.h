#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>
#include <span>

// The colour constants of the script language, clScrollBar .. clDefault: system colours are
// 0xFF000000 plus the system colour index, plain colours 0x00BBGGRR.
struct TColorConstant {
    const char* name;
    quint32 value;
};

std::span<const TColorConstant> ColorConstants();

// Looks a name up without regard to case ("clBtnFace", "clred").
std::optional<quint32> ColorFromName(const QString& aName);
// The name of a colour value, or an empty text.
QString ColorName(quint32 aValue);

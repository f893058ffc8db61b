#pragma once

#include <QByteArray>
#include <QString>

// Text files from outside (ini files, .reg files, scripts): a UTF-16 (either order) or UTF-8
// byte-order mark decides; without one the bytes are tried as strict UTF-8, then Windows-1252.
QString DecodeText(const QByteArray& aBytes);

// Windows-1252, the 8-bit code page such files were written in; unassigned bytes map to C1.
QString DecodeWindows1252(const QByteArray& aBytes);

// UTF-16LE with a byte-order mark.
QByteArray EncodeUtf16LeBom(const QString& aText);

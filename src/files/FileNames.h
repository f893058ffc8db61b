#pragma once

#include <QString>
#include <QStringList>

class QByteArray;
class QMimeData;

// File-name rules of the file managers. Paths are written with "/" here: where the Parts split a
// name at its last backslash or colon, these functions split it at its last "/".

// The folder part, up to and including the last "/"; empty when there is none.
QString ExtractFilePath(const QString& aName);
// What follows the last "/".
QString ExtractFileName(const QString& aName);
// The extension with its dot, as written: from the last dot of the file part; empty without one.
QString ExtractFileExt(const QString& aName);
// The name with its extension replaced by aExt (dot included), or aExt appended without one.
QString ChangeFileExt(const QString& aName, const QString& aExt);

// A file of that name exists (a folder is no file).
bool FileExists(const QString& aName);
// The same name, or two names of one existing file (symbolic links and "." or ".." resolved):
// the exact comparison of the Parts, made on canonical paths where the file exists.
bool SameFileName(const QString& a, const QString& b);

// aName when nothing of that name exists, else the name with "_" and a number of at least three
// digits (001, 002, ..., 999, 1000, ...) inserted before the extension: the first that is free.
QString NextFreeName(const QString& aName);

// The recent-list caption form of a name for a length aLength: the file part cut to aLength - 4
// characters, then the folder cut so that both fit, followed by ".../" when it was cut. The result
// can exceed aLength by those four characters. Surrogate pairs are never split.
QString ShortenFileName(const QString& aName, int aLength);
// A text for a menu or button caption: "&" doubled so that it shows and makes no mnemonic.
QString LiteralMenuText(const QString& aText);

// A filter of the Windows dialogs ("Vidéos (*.avi;*.mpg)|*.avi;*.mpg|Tous fichiers (*.*)|*.*") in
// Qt's form ("Vidéos (*.avi *.mpg);;Tous fichiers (*)"). Each pair keeps its description, whose
// own bracketed pattern list is replaced by the pair's patterns; "*.*" becomes "*" (names without
// a dot match it on Windows); an unpaired last description is dropped, as Windows does.
QString QtFilterFromWindows(const QString& aFilter);
// The entry of a Qt filter for a 1-based index (Windows' FilterIndex), clamped into the list;
// empty for an empty filter.
QString QtFilterEntry(const QString& aQtFilter, int aIndex);
// The 1-based index of an entry of a Qt filter; 1 when it is not there.
int QtFilterIndex(const QString& aQtFilter, const QString& aEntry);

// The local files of a text/uri-list body (RFC 2483: one URI a line, "#" lines are comments), in
// order. "file:" URIs only, on this host ("localhost" or none); percent-escapes are decoded.
QStringList LocalPathsFromUriList(const QByteArray& aUriList);
// The local files named by a plain text: one a line, each an absolute path ("/..."), possibly in
// double or single quotes, or a "file:" URI. Other lines are skipped.
QStringList LocalPathsFromText(const QString& aText);
// The files of a clipboard or drop: the text/uri-list first, then the plain text.
QStringList LocalPathsFromMimeData(const QMimeData& aData);

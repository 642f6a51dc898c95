#pragma once
// The upgrade information file "TVPB_Version.info": code page 949 text, lines
// ended by "\n" and trimmed, ";" starts a comment, the first empty line (or a
// last line without "\n") ends the list, every other line is "name/version".
// The bank signs the file and lists each file's SHA-256 in comment lines
// (velcor/ReleaseSignature.h).
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

namespace vup {

struct VersionEntry {
    QString name;    // empty for a line without "/"
    QString version; // empty: always fetched
};

// The entries of a converted text, in file order.
QList<VersionEntry> ReadVersionList(const QString& text);

// TRUE when the installed version text is smaller than the listed one in plain
// character order (so "1.10" is older than "1.9" and an empty text is older
// than anything); an empty listed version always updates.
bool NeedsUpdate(const QString& installed, const QString& listed);

// A plain name of a file in the program folder: no "/", "\", "..", no leading
// ".", no control characters, not empty.
bool IsPlainFileName(const QString& name);

// The signed file, checked: the list, and each listed file's SHA-256.
struct SignedList {
    bool ok = false;
    QString why;                   // what is wrong when !ok (for the log)
    QList<VersionEntry> entries;
    QHash<QString, QByteArray> sha256; // name -> 32 bytes
};

// Checks the signature with the pinned public key (32 bytes) and that every
// entry has a plain name and a hash. Any fault refuses the whole file.
SignedList CheckSignedList(const QByteArray& fileBytes, const QByteArray& publicKey);

// The pinned update key of deploy.ini ([download] update_public_key, base64);
// empty when absent or malformed.
QByteArray PinnedUpdateKey();

} // namespace vup

// Configuration files on disk: their text encoding and atomic writing.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

// Configuration files are written as UTF-8 (no byte order mark).
QByteArray encodeConfigurationText(const QString &text);

// Bytes that are valid UTF-8 are decoded as UTF-8 (a leading byte order mark
// is dropped); anything else as Windows-1252, the 8-bit encoding older files
// were written in (a superset of Latin-1 for printable characters).
QString decodeConfigurationText(const QByteArray &bytes);

// Writes bytes to path through a temporary file that replaces the target
// only once everything was written (and flushed), so a failed or interrupted
// save leaves the previous file intact. Returns false and sets *errorString
// (when given) to the system's reason ("No space left on device") on failure.
bool writeFileAtomically(const QString &path, const QByteArray &bytes,
                         QString *errorString = nullptr, QIODevice::OpenMode mode = {});

// Writes text to path through a temporary file that replaces the target only
// once everything was written, so a failed or interrupted save leaves the
// previous file intact. Returns false and sets *errorString (when given) to
// the system's reason on failure.
bool writeConfigurationFile(const QString &path, const QString &text,
                            QString *errorString = nullptr);

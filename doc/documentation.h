// The documentation of a show: one self-contained XHTML file that says what
// every control sends and listens to, with a picture of the console and the
// configuration itself as a download. Pictures and the configuration are
// embedded as data URIs, so the file needs nothing beside it.
//
// Promises:
// - the text is well-formed XML (characters XML cannot carry are dropped),
//   UTF-8 encoded and declared so (an XML declaration and a meta charset
//   for browsers reading it as HTML);
// - every row of a table has as many cells as its header: a cell that does
//   not apply to a row is empty, never left out;
// - every control appears in the output table of each protocol its main or
//   advanced output uses, and in the input table of its input protocol;
// - the download decodes to the UTF-8 bytes of the configuration document
//   written under the download's name;
// - the file is written atomically: a failed write leaves an existing file
//   as it was.
#pragma once

#include "model/configuration.h"

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QString>

struct DocumentationSource {
    // The records (a null preferences record: project "Project", no hex).
    ConfigurationSource configuration;
    // Name the configuration download gets, e.g. "Show.ptra"; the embedded
    // document is written under this name.
    QString configurationName;
    // Program version as shown in the page, e.g. "v0.8".
    QString programVersion;
    // When the documentation was made (local time).
    QDateTime created;
    // The console window as the user sees it; a null picture is left out.
    QImage windowPicture;
};

// The XHTML text as UTF-8 bytes.
QByteArray documentationText(const DocumentationSource &source);

// Writes documentationText() to `fileName` through a temporary file. Returns
// false and sets *errorString (when given) to the system's reason when the
// file cannot be written.
bool writeDocumentation(const DocumentationSource &source, const QString &fileName,
                        QString *errorString = nullptr);

// The user's consent before a loaded show reaches beyond the show
// protocols: the programs its command outputs run on this computer and the
// other computers its HTTP and OSC outputs call. A show asks when it is loaded,
// listing every command, the folder of the programs, the folder they run in
// and every host; a consent once given for the same commands, folder and
// hosts is remembered for this user (usersettings.h) and not asked again.
// Hosts of this computer (loopback names and addresses) need no consent, nor
// do OSC targets on the network of the chosen interface.
#pragma once

#include "model/configuration.h"
#include "model/settingstruct.h"
#include "net/netenvironment.h"

#include <QByteArray>
#include <QList>
#include <QNetworkAddressEntry>
#include <QString>
#include <QStringList>

class QUrl;

// True when `url` names this computer: "localhost" (also with a trailing
// dot or as "*.localhost") or a loopback address in any form the URL
// parser accepts.
bool isLoopbackUrl(const QUrl &url);

// True when OSC to `host` needs the show's consent: it is neither this
// computer (a loopback name or address) nor an IPv4 address inside the
// subnet of one of `ownNetworks` (the chosen interface's address entries).
bool oscHostNeedsConsent(const QString &host, const QList<QNetworkAddressEntry> &ownNetworks);

// The address entries of the interface called `interfaceName` (empty: the
// first usable one) as the network nodes see it through `env`; none when they
// are on loopback only.
QList<QNetworkAddressEntry> ownNetworks(const NetEnvironment &env, const QString &interfaceName);

struct OutputConsent {
    bool commandsRequested = false;
    QStringList commands;  // as written, sorted, each once; only when requested
    QString commandFolder; // the folder of the programs; only when requested
    QStringList hosts;     // of other computers, sorted, each once

    // Nothing to ask: no command output asked for and no other computer.
    bool isEmpty() const { return !commandsRequested && hosts.isEmpty(); }
    // SHA-256 over the sorted commands, the folder and the sorted hosts.
    QByteArray hash() const;
    // The question, and what it is about, one item a line (every command,
    // the folders, every host) to be shown scrollable beside it.
    QString question() const;
    QString details() const;
};

// The consent a document's request needs. `alsoControls` are controls the
// show keeps beside the document's (an append): their commands run, their
// links go to the server the document brings and their OSC outputs without a
// host to its default host, too (none when the request has none). A link's
// host is taken with the value 0 and 255 in place of "%1". OSC hosts inside
// `ownNetworks` need no consent.
OutputConsent outputConsent(const OutputRequest &request,
                            const QList<SettingStruct> &alsoControls = {},
                            const QList<QNetworkAddressEntry> &ownNetworks = {});

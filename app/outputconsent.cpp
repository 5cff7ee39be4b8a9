#include "app/outputconsent.h"

#include "app/outputdispatch.h"
#include "io/http.h"
#include "net/interfaceentry.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QHostAddress>
#include <QUrl>

#include <algorithm>

namespace
{

// The texts belong to the console's window.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(Pultora)
};

void sortUnique(QStringList &list)
{
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
}

} // namespace

bool isLoopbackUrl(const QUrl &url)
{
    QString host = url.host().toLower();
    if (host.endsWith(QLatin1Char('.')))
        host.chop(1);
    if (host == QLatin1String("localhost") || host.endsWith(QLatin1String(".localhost")))
        return true;
    QHostAddress address;
    return address.setAddress(host) && address.isLoopback();
}

QList<QNetworkAddressEntry> ownNetworks(const NetEnvironment &env, const QString &interfaceName)
{
    const NetEnvironment chosen = withInterface(env, interfaceName);
    const QList<InterfaceEntry> list = discoverInterfaceList(
        chosen.interfaces ? chosen.interfaces() : QList<NetworkInterfaceInfo>(), false);
    QList<QNetworkAddressEntry> networks;
    if (!isLoopbackOnly(list))
        for (const InterfaceEntry &e : list)
            networks.append(e.addressEntry);
    return networks;
}

bool oscHostNeedsConsent(const QString &host, const QList<QNetworkAddressEntry> &ownNetworks)
{
    QHostAddress address;
    if (!address.setAddress(host))
        return !isLoopbackUrl(QUrl(QStringLiteral("osc://") + host));
    if (address.isLoopback())
        return false;
    if (address.protocol() != QAbstractSocket::IPv4Protocol)
        return true;
    for (const QNetworkAddressEntry &e : ownNetworks)
        if (e.ip().protocol() == QAbstractSocket::IPv4Protocol && e.prefixLength() > 0 &&
            address.isInSubnet(e.ip(), e.prefixLength()))
            return false;
    return true;
}

OutputConsent outputConsent(const OutputRequest &request, const QList<SettingStruct> &alsoControls,
                            const QList<QNetworkAddressEntry> &ownNetworks)
{
    OutputConsent consent;
    consent.commandsRequested = request.commandsRequested;
    QStringList commands = request.commands;
    QStringList links = request.httpLinks;
    QStringList oscHosts = request.oscHosts;
    for (const SettingStruct &control : alsoControls) {
        for (const SettingDmxStruct *output : {&control.dmx_out, &control.dmx_out_advanced}) {
            if (output->protocol_type == PT_COMMAND && !output->dmx_command_filename.isEmpty())
                commands << output->dmx_command_filename;
            else if (output->protocol_type == PT_HTTP && !output->dmx_http_filename.isEmpty())
                links << output->dmx_http_filename;
            else if (output->protocol_type == PT_OSC && !output->osc_address.isEmpty())
                oscHosts << (output->osc_host.isEmpty() ? request.oscDefaultHost
                                                        : output->osc_host);
        }
    }
    if (consent.commandsRequested) {
        consent.commands = commands;
        sortUnique(consent.commands);
        consent.commandFolder = request.commandFolder;
    }
    // Without a server the output sends nothing.
    if (!request.httpServer.isEmpty()) {
        for (const QString &link : std::as_const(links)) {
            for (int value : {0, 255}) {
                const QUrl url(joinUrl(request.httpServer, substituteValue(link, value)));
                if (!url.host().isEmpty() && !isLoopbackUrl(url))
                    consent.hosts << url.host();
            }
        }
    }
    for (const QString &host : std::as_const(oscHosts))
        if (!host.isEmpty() && oscHostNeedsConsent(host, ownNetworks))
            consent.hosts << host;
    sortUnique(consent.hosts);
    return consent;
}

QByteArray OutputConsent::hash() const
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    auto add = [&hash](char kind, const QString &text) {
        hash.addData(QByteArrayView(&kind, 1));
        hash.addData(text.toUtf8());
        hash.addData(QByteArrayView("\0", 1));
    };
    add('v', QStringLiteral("1"));
    add('r', commandsRequested ? QStringLiteral("1") : QStringLiteral("0"));
    for (const QString &command : commands)
        add('c', command);
    add('f', commandFolder);
    for (const QString &host : hosts)
        add('h', host);
    return hash.result();
}

QString OutputConsent::question() const
{
    QString what;
    if (commandsRequested && !hosts.isEmpty())
        what = Text::tr(
            "When its controls are used, this show runs programs on this computer with your "
            "user's rights and calls other computers.");
    else if (commandsRequested)
        what = Text::tr(
            "When its controls are used, this show runs programs on this computer with your "
            "user's rights.");
    else
        what = Text::tr("When its controls are used, this show calls other computers.");
    return what + QLatin1Char('\n') +
           Text::tr("Allow this? Without your consent the show is loaded with these outputs off.");
}

QString OutputConsent::details() const
{
    QStringList lines;
    if (commandsRequested) {
        lines << Text::tr("Programs it runs:");
        if (commands.isEmpty())
            lines << QStringLiteral("    ") + Text::tr("(none yet)");
        for (const QString &command : commands)
            lines << QStringLiteral("    ") + command;
        lines << Text::tr("Folder of the programs: %1")
                     .arg(commandFolder.isEmpty() ? Text::tr("(none: the system's search path)")
                                                  : QDir::toNativeSeparators(commandFolder));
        lines << Text::tr("They run in the folder: %1")
                     .arg(QDir::toNativeSeparators(QDir::currentPath()));
    }
    if (!hosts.isEmpty()) {
        lines << Text::tr("Computers it calls:");
        for (const QString &host : hosts)
            lines << QStringLiteral("    ") + host;
    }
    return lines.join(QLatin1Char('\n'));
}

// The web remote on the console's side: the server (remote/remoteserver.h)
// fed from the show document and the surface's control widgets.
//
// Promises:
// - it serves only while the user switched it on with a PIN (usersettings)
//   or this run was started with a port and a PIN (the command line, which
//   wins); a show file never starts it. It listens on loopback and on the
//   chosen interface's address (the show's interface unless one is named),
//   never on every interface;
// - every client gets the layout on connect and again after each change of
//   the show (load, edit, background, lock), once per pass of the event
//   loop however many changes the pass brought;
// - every change of a control's value, pressed state, colour or time,
//   whatever moved it (the window, a client, DMX-IN, MIDI, OSC), reaches
//   every client in one message per pass, one entry per control, and only
//   when what the client was last told differs;
// - a client's move enters where the user's own move enters (the widget
//   moves, its output sends); moves on unknown ids, on controls that take no
//   such move and on watch-only controls are dropped and counted. A control
//   is watch-only when it runs a command, calls an HTTP host other than this
//   computer or sends OSC beyond loopback and the show's network, unless the
//   user allowed those; all are when the user lets clients only watch.
#pragma once

#include "model/userpreferences.h"
#include "net/netenvironment.h"

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QList>
#include <QNetworkAddressEntry>
#include <QObject>
#include <QSize>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <optional>

class RemoteServer;
class ShowDocument;
class Surface;
struct PreferencesStruct;
struct SettingDmxStruct;
struct SettingStruct;
namespace remotemessage
{
struct Move;
}

// True when `output` runs a command, calls an HTTP host other than this
// computer, or sends OSC to a host neither on loopback nor inside
// `ownNetworks`: what a PIN alone must not let a phone do.
bool reachesBeyond(const SettingDmxStruct &output, const PreferencesStruct &preferences,
                   const QList<QNetworkAddressEntry> &ownNetworks);

class RemoteConsole : public QObject
{
    Q_OBJECT

public:
    // This run's remote from the command line.
    struct Run {
        quint16 port = 9080;
        QString pin;
        QString interfaceName; // empty: the show's
    };
    // Why moves were dropped, for tests and the log.
    struct Drops {
        int unknownControl = 0;
        int notOperable = 0;
        int watchOnly = 0;
    };

    RemoteConsole(const ShowDocument &document, const Surface &surface, const NetEnvironment &env,
                  QObject *parent = nullptr);
    ~RemoteConsole() override;

    // The user's settings; takes effect at once (a changed PIN ends every
    // session). Ignored for what the run sets.
    void setUserPreferences(const UserPreferences &user);
    void setRun(std::optional<Run> run);
    // The console's input gave the background a colour.
    void showBackgroundColor(const QColor &color);
    // The machine's interfaces changed: listens anew when the addresses to
    // listen on are no longer those it listens on.
    void networkChanged();

    bool serving() const;
    // Asked for (by the user or this run), whether or not it could listen.
    bool switchedOn() const
    {
        return m_run || (m_user.remote_enabled && !m_user.remote_pin_hash.isEmpty());
    }
    // The addresses to open, "http://192.0.2.1:9080/", the interface's first.
    QStringList addresses() const { return m_addresses; }
    int clientCount() const;
    // Off, serving, or why it does not serve.
    QString state() const { return m_state; }
    const Drops &drops() const { return m_drops; }
    // The port really listened on (a run with port 0 in tests).
    quint16 port() const;

signals:
    // Serving, addresses, state or client count changed.
    void changed();

private:
    void restart();
    // Loopback and the IPv4 addresses of the interface listened on.
    QList<QHostAddress> listenAddresses() const;
    void stop();
    void layoutChanged();
    void sendLayout();
    // The layout with every control's state now; what it tells counts as
    // told.
    QByteArray layout();
    // The layout for a client joining, after the pending changes left.
    QByteArray joinLayout();
    void watchControls();
    void unwatchControls();
    void markChanged(quint32 id);
    void flush();
    void moveArrived(const remotemessage::Move &move);
    bool watchOnly(const SettingStruct &record) const;
    // The background picture as PNG, encoded once per picture.
    QByteArray backgroundPicture();
    // The picture of an icon or button as PNG at the control's size, encoded
    // once per picture and size; empty when it has none.
    struct ControlPicture {
        qint64 key = 0;
        QSize size;
        QByteArray png;
        int version = 0;
    };
    const ControlPicture &controlPicture(const SettingStruct &record,
                                         QHash<quint32, ControlPicture> &pictures);

    const ShowDocument &m_document;
    const Surface &m_surface;
    NetEnvironment m_env;
    std::unique_ptr<RemoteServer> m_server;
    UserPreferences m_user;
    std::optional<Run> m_run;
    QByteArray m_runPinHash;
    // The show's network, which OSC may reach from the page.
    QList<QNetworkAddressEntry> m_showNetworks;
    QStringList m_addresses;
    QList<QHostAddress> m_listening; // as last started
    QString m_state;
    // What each control last told the clients, as the JSON it was sent as.
    QHash<quint32, QByteArray> m_told;
    QList<quint32> m_changed;
    std::optional<QColor> m_background;
    int m_pictureVersion = 0;
    qint64 m_pictureKey = 0;
    QByteArray m_picture;
    QHash<quint32, ControlPicture> m_controlPictures;
    int m_controlPictureVersion = 0;
    bool m_layoutDue = false;
    bool m_watching = false; // the controls tell markChanged()
    QTimer m_pass;
    Drops m_drops;
};

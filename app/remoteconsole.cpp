#include "app/remoteconsole.h"

#include "app/outputconsent.h"
#include "app/surface.h"
#include "controls/controlwidget.h"
#include "io/http.h"
#include "model/showdocument.h"
#include "model/typetables.h"
#include "remote/pinguard.h"
#include "remote/remotemessage.h"
#include "remote/remoteserver.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QTextDocumentFragment>
#include <QUrl>

#include <algorithm>

Q_LOGGING_CATEGORY(lcRemoteConsole, "pultora.remote.console", QtInfoMsg)

namespace
{

// Largest side of the background picture sent to clients, in pixels.
constexpr int MAX_PICTURE_SIDE = 2048;

// The page's texts in the console's language.
QByteArray pageTexts()
{
    const QJsonObject texts{
        {QStringLiteral("title"), QCoreApplication::translate("RemoteConsole", "Pultora Remote")},
        {QStringLiteral("pin"), QCoreApplication::translate("RemoteConsole", "PIN")},
        {QStringLiteral("open"), QCoreApplication::translate("RemoteConsole", "Open")},
        {QStringLiteral("wrong_pin"), QCoreApplication::translate("RemoteConsole", "Wrong PIN.")},
        {QStringLiteral("wait"),
         QCoreApplication::translate("RemoteConsole", "Too many wrong PINs. Try again in %1 s.")},
        {QStringLiteral("connecting"), QCoreApplication::translate("RemoteConsole", "Connecting…")},
        {QStringLiteral("connected"), QCoreApplication::translate("RemoteConsole", "Connected")},
        {QStringLiteral("offline"),
         QCoreApplication::translate("RemoteConsole", "Connection lost. Reconnecting…")},
        {QStringLiteral("locked"), QCoreApplication::translate("RemoteConsole", "Locked")},
        {QStringLiteral("watch_only"), QCoreApplication::translate("RemoteConsole", "Watch only")},
    };
    return QJsonDocument(texts).toJson(QJsonDocument::Compact);
}

// What a client is told of a control's state: position, pressed state,
// colour, time; only what the control has.
QJsonObject stateJson(const RemoteView &view)
{
    QJsonObject state;
    if (view.position)
        state.insert(QStringLiteral("v"), *view.position);
    if (view.down)
        state.insert(QStringLiteral("down"), *view.down);
    if (view.color.isValid())
        state.insert(QStringLiteral("color"), view.color.name());
    if (view.text)
        state.insert(QStringLiteral("text"), *view.text);
    return state;
}

QByteArray compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QString shownName(const SettingStruct &record)
{
    if (controlTraits(record.control_type).richName && Qt::mightBeRichText(record.name))
        return QTextDocumentFragment::fromHtml(record.name).toPlainText();
    return record.name;
}

} // namespace

bool reachesBeyond(const SettingDmxStruct &output, const PreferencesStruct &preferences,
                   const QList<QNetworkAddressEntry> &ownNetworks)
{
    switch (output.protocol_type) {
    case PT_COMMAND:
        return true;
    case PT_HTTP: {
        // The host does not depend on the value sent.
        QString link = output.dmx_http_filename;
        link.replace(QLatin1String("%1"), QLatin1String("0"));
        return !isLoopbackUrl(QUrl(joinUrl(preferences.http_server, link)));
    }
    case PT_OSC:
        return oscHostNeedsConsent(output.osc_host.isEmpty() ? preferences.osc_default_host
                                                             : output.osc_host,
                                   ownNetworks);
    default:
        return false;
    }
}

RemoteConsole::RemoteConsole(const ShowDocument &document, const Surface &surface,
                             const NetEnvironment &env, QObject *parent)
    : QObject(parent), m_document(document), m_surface(surface), m_env(env)
{
    m_state = tr("Off");
    m_pass.setSingleShot(true);
    m_pass.setInterval(0);
    connect(&m_pass, &QTimer::timeout, this, &RemoteConsole::flush);
    const auto relayout = [this] { layoutChanged(); };
    connect(&document, &ShowDocument::contentReplaced, this, relayout);
    connect(&document, &ShowDocument::controlsAdded, this, relayout);
    connect(&document, &ShowDocument::controlsRemoved, this, relayout);
    connect(&document, &ShowDocument::controlsChanged, this, relayout);
    connect(&document, &ShowDocument::controlsReordered, this, relayout);
    connect(&document, &ShowDocument::preferencesChanged, this, [this] {
        // The show's interface may be the one listened on; any other change
        // (the lock) keeps the clients.
        if (serving() && listenAddresses() != m_listening)
            restart();
        layoutChanged();
    });
    connect(&document, &ShowDocument::backgroundChanged, this, relayout);
    connect(&surface, &Surface::widgetsChanged, this, [this] {
        watchControls();
        layoutChanged();
    });
}

RemoteConsole::~RemoteConsole()
{
    // Its clients leave while it stops: nobody is to hear of that any more.
    if (m_server) {
        m_server->disconnect(this);
        m_server.reset();
    }
    // The widgets may outlive this object by a little: they tell no one.
    unwatchControls();
}

void RemoteConsole::setUserPreferences(const UserPreferences &user)
{
    const UserPreferences before = m_user;
    m_user = user;
    if (m_run) {
        // The run sets port, PIN and interface; what may be operated stays
        // the user's.
        if (before.remote_risky_outputs != user.remote_risky_outputs)
            layoutChanged();
        return;
    }
    const bool listenChanged = before.remote_enabled != user.remote_enabled ||
                               before.remote_port != user.remote_port ||
                               before.remote_interface != user.remote_interface ||
                               before.remote_pin_hash.isEmpty() != user.remote_pin_hash.isEmpty();
    if (listenChanged || !serving()) {
        restart();
        return;
    }
    m_server->setPinHash(user.remote_pin_hash);
    m_server->setOperate(user.remote_operate);
    if (before.remote_operate != user.remote_operate ||
        before.remote_risky_outputs != user.remote_risky_outputs)
        layoutChanged();
}

void RemoteConsole::setRun(std::optional<Run> run)
{
    m_run = std::move(run);
    m_runPinHash = m_run ? pinhash::hashPin(m_run->pin) : QByteArray();
    restart();
}

bool RemoteConsole::serving() const
{
    return m_server && m_server->listening();
}

int RemoteConsole::clientCount() const
{
    return m_server ? m_server->clientCount() : 0;
}

quint16 RemoteConsole::port() const
{
    return serving() ? m_server->port() : 0;
}

void RemoteConsole::stop()
{
    if (m_server)
        m_server->stop();
    m_addresses.clear();
    m_told.clear();
    m_changed.clear();
    unwatchControls();
}

void RemoteConsole::unwatchControls()
{
    if (!m_watching)
        return;
    m_watching = false;
    for (const SettingStruct &record : m_document.controls())
        if (ControlWidget *control = m_surface.control(record.id))
            control->watch({});
}

void RemoteConsole::restart()
{
    stop();
    if (!switchedOn()) {
        m_state =
            m_user.remote_enabled ? tr("Off: set a PIN in the preferences first.") : tr("Off");
        emit changed();
        return;
    }
    RemoteServer::Settings settings;
    settings.port = m_run ? m_run->port : m_user.remote_port;
    settings.pinHash = m_run ? m_runPinHash : m_user.remote_pin_hash;
    settings.operate = m_run ? true : m_user.remote_operate;
    settings.addresses = m_listening = listenAddresses();
    QStringList hosts;
    for (const QHostAddress &ip : std::as_const(settings.addresses))
        if (!ip.isLoopback())
            hosts.append(ip.toString());
    hosts.append(QStringLiteral("127.0.0.1"));

    if (!m_server) {
        m_server = std::make_unique<RemoteServer>(nullptr, m_env.clockMs);
        m_server->setTexts(pageTexts());
        connect(m_server.get(), &RemoteServer::clientsChanged, this, [this] { emit changed(); });
        connect(m_server.get(), &RemoteServer::moveArrived, this, &RemoteConsole::moveArrived);
        // A client joining gets the controls as they are now, not as they
        // were at the last change of the show.
        m_server->setLayoutSource([this] { return joinLayout(); });
    }
    QString error;
    if (!m_server->start(settings, &error)) {
        m_state = error;
        qCWarning(lcRemoteConsole).noquote() << "Web remote:" << error;
        emit changed();
        return;
    }
    for (const QString &host : hosts)
        m_addresses.append(QStringLiteral("http://%1:%2/").arg(host).arg(m_server->port()));
    m_state = hosts.size() > 1 ? tr("Serving")
                               : tr("Serving on this computer only: the network "
                                    "interface has no address.");
    qCInfo(lcRemoteConsole).noquote() << "Web remote at" << m_addresses.join(QLatin1String(", "));
    watchControls();
    sendLayout();
    emit changed();
}

QList<QHostAddress> RemoteConsole::listenAddresses() const
{
    QString interfaceName = m_document.preferences().net_interface;
    if (m_run && !m_run->interfaceName.isEmpty())
        interfaceName = m_run->interfaceName;
    else if (!m_run && !m_user.remote_interface.isEmpty())
        interfaceName = m_user.remote_interface;
    QList<QHostAddress> addresses{QHostAddress(QHostAddress::LocalHost)};
    for (const QNetworkAddressEntry &entry : ownNetworks(m_env, interfaceName)) {
        const QHostAddress ip = entry.ip();
        if (ip.protocol() == QAbstractSocket::IPv4Protocol && !ip.isLoopback() &&
            !addresses.contains(ip))
            addresses.append(ip);
    }
    return addresses;
}

void RemoteConsole::networkChanged()
{
    if (!switchedOn())
        return;
    if (!serving() || listenAddresses() != m_listening) {
        restart();
        return;
    }
    // OSC beyond the show's network is watch-only: the network may be another.
    if (ownNetworks(m_env, m_document.preferences().net_interface) != m_showNetworks)
        layoutChanged();
}

void RemoteConsole::watchControls()
{
    if (!serving())
        return;
    m_watching = true;
    for (const SettingStruct &record : m_document.controls())
        if (ControlWidget *control = m_surface.control(record.id))
            control->watch([this, id = record.id] { markChanged(id); });
}

void RemoteConsole::layoutChanged()
{
    if (!serving())
        return;
    m_layoutDue = true;
    m_pass.start();
}

void RemoteConsole::markChanged(quint32 id)
{
    m_changed.append(id);
    if (!m_pass.isActive())
        m_pass.start();
}

void RemoteConsole::showBackgroundColor(const QColor &color)
{
    if (!serving())
        return;
    m_background = color;
    if (!m_pass.isActive())
        m_pass.start();
}

bool RemoteConsole::watchOnly(const SettingStruct &record) const
{
    if (!m_run && !m_user.remote_operate)
        return true;
    if (m_user.remote_risky_outputs)
        return false;
    const PreferencesStruct &prefs = m_document.preferences();
    return reachesBeyond(record.dmx_out, prefs, m_showNetworks) ||
           (hasSecondOutput(record.control_type) &&
            reachesBeyond(record.dmx_out_advanced, prefs, m_showNetworks));
}

void RemoteConsole::sendLayout()
{
    m_layoutDue = false;
    m_server->setLayout(layout());
}

QByteArray RemoteConsole::joinLayout()
{
    // What is pending reaches the clients there first: the one joining then
    // starts from what all were told.
    flush();
    m_layoutDue = false;
    return layout();
}

QByteArray RemoteConsole::layout()
{
    m_told.clear();
    // Looked up once per layout: the layout follows every change of the
    // show's interface.
    m_showNetworks = ownNetworks(m_env, m_document.preferences().net_interface);
    const BackgroundStruct &bg = m_document.background();
    const PreferencesStruct &prefs = m_document.preferences();
    const QByteArray picture = backgroundPicture();
    m_server->setBackgroundPicture(picture);
    QJsonArray groups;
    QJsonArray others;
    QHash<quint32, ControlPicture> pictures; // those of this layout
    QHash<quint32, QByteArray> served;
    for (const SettingStruct &record : m_document.controls()) {
        const ControlWidget *control = m_surface.control(record.id);
        if (!control)
            continue;
        const RemoteView view = control->remoteView();
        QJsonObject state = stateJson(view);
        m_told.insert(record.id, compact(state));
        QJsonObject entry = state;
        entry.insert(QStringLiteral("id"), qint64(record.id));
        entry.insert(QStringLiteral("kind"), QLatin1String(view.kind));
        entry.insert(QStringLiteral("x"), qint64(record.position_x));
        entry.insert(QStringLiteral("y"), qint64(record.position_y));
        entry.insert(QStringLiteral("w"), qint64(record.size_x));
        entry.insert(QStringLiteral("h"), qint64(record.size_y));
        entry.insert(QStringLiteral("name"), shownName(record));
        if (!entry.contains(QStringLiteral("color")))
            entry.insert(QStringLiteral("color"),
                         QColor(record.color_red, record.color_green, record.color_blue).name());
        if (view.position) {
            entry.insert(QStringLiteral("min"), view.low);
            entry.insert(QStringLiteral("max"), view.high);
        }
        if (view.horizontal)
            entry.insert(QStringLiteral("horizontal"), true);
        const bool pictured = qstrcmp(view.kind, "icon") == 0 || qstrcmp(view.kind, "push") == 0 ||
                              qstrcmp(view.kind, "switch") == 0;
        if (pictured && !record.bitmap.isNull()) {
            const ControlPicture &own = controlPicture(record, pictures);
            if (!own.png.isEmpty()) {
                served.insert(record.id, own.png);
                entry.insert(QStringLiteral("picture"), own.version);
            }
        }
        const bool operable = view.position || view.down || qstrcmp(view.kind, "push") == 0;
        if (operable && watchOnly(record))
            entry.insert(QStringLiteral("watch"), true);
        (control->staysBehind() ? groups : others).append(entry);
    }
    for (const QJsonValue &entry : others)
        groups.append(entry);
    m_controlPictures = pictures;
    m_server->setControlPictures(served);
    const QJsonObject layout{
        {QStringLiteral("t"), QStringLiteral("layout")},
        {QStringLiteral("w"), qint64(bg.size_x)},
        {QStringLiteral("h"), qint64(bg.size_y)},
        {QStringLiteral("bg"),
         m_background.value_or(QColor(bg.color_red, bg.color_green, bg.color_blue)).name()},
        {QStringLiteral("picture"), picture.isEmpty() ? 0 : m_pictureVersion},
        {QStringLiteral("locked"), prefs.lock_screen},
        {QStringLiteral("operate"), m_run || m_user.remote_operate},
        {QStringLiteral("controls"), groups},
    };
    return compact(layout);
}

void RemoteConsole::flush()
{
    if (!serving()) {
        m_changed.clear();
        return;
    }
    if (m_layoutDue) {
        m_changed.clear();
        m_background.reset();
        sendLayout();
        return;
    }
    if (m_background) {
        m_server->broadcast(compact(QJsonObject{{QStringLiteral("t"), QStringLiteral("bg")},
                                                {QStringLiteral("color"), m_background->name()}}));
        m_background.reset();
    }
    QJsonArray changes;
    const QList<quint32> changed = std::exchange(m_changed, {});
    for (quint32 id : changed) {
        const ControlWidget *control = m_surface.control(id);
        if (!control)
            continue;
        QJsonObject state = stateJson(control->remoteView());
        QByteArray told = compact(state);
        auto it = m_told.find(id);
        if (it != m_told.end() && *it == told)
            continue;
        m_told.insert(id, told);
        state.insert(QStringLiteral("id"), qint64(id));
        changes.append(state);
    }
    if (changes.isEmpty())
        return;
    m_server->broadcast(compact(QJsonObject{{QStringLiteral("t"), QStringLiteral("values")},
                                            {QStringLiteral("c"), changes}}));
}

void RemoteConsole::moveArrived(const remotemessage::Move &move)
{
    const SettingStruct *record = m_document.control(move.id);
    ControlWidget *control = record ? m_surface.control(move.id) : nullptr;
    if (!control) {
        ++m_drops.unknownControl;
        qCDebug(lcRemoteConsole) << "move on unknown control" << move.id;
        return;
    }
    if (watchOnly(*record)) {
        ++m_drops.watchOnly;
        qCDebug(lcRemoteConsole) << "move on watch-only control" << move.id;
        return;
    }
    bool taken = false;
    if (move.kind == remotemessage::Move::Set) {
        const RemoteView view = control->remoteView();
        taken = view.position && control->setPosition(qBound(view.low, move.value, view.high));
    } else {
        taken = control->press(move.down);
    }
    if (!taken) {
        ++m_drops.notOperable;
        qCDebug(lcRemoteConsole) << "move the control does not take" << move.id;
    }
}

QByteArray RemoteConsole::backgroundPicture()
{
    const Picture &picture = m_document.background().bitmap;
    if (picture.isNull())
        return QByteArray();
    // A resized window changes the background too: the picture is encoded
    // again only when it is another picture.
    if (picture.cacheKey() == m_pictureKey)
        return m_picture;
    m_pictureKey = picture.cacheKey();
    ++m_pictureVersion;
    m_picture.clear();
    const QImage image = picture.fitted(QSize(MAX_PICTURE_SIDE, MAX_PICTURE_SIDE));
    if (image.isNull())
        return QByteArray();
    QBuffer buffer(&m_picture);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return m_picture;
}

const RemoteConsole::ControlPicture &
RemoteConsole::controlPicture(const SettingStruct &record, QHash<quint32, ControlPicture> &pictures)
{
    // As large as the control is drawn, keeping the picture's shape; the
    // page fits it into the control.
    const QSize box = QSize(record.size_x, record.size_y)
                          .boundedTo(QSize(MAX_PICTURE_SIDE, MAX_PICTURE_SIDE))
                          .expandedTo(QSize(1, 1));
    const ControlPicture known = m_controlPictures.value(record.id);
    if (known.key == record.bitmap.cacheKey() && known.size == box)
        return *pictures.insert(record.id, known);
    ControlPicture picture;
    picture.key = record.bitmap.cacheKey();
    picture.size = box;
    picture.version = ++m_controlPictureVersion;
    const QImage image = record.bitmap.fitted(box);
    if (!image.isNull()) {
        QBuffer buffer(&picture.png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    return *pictures.insert(record.id, picture);
}

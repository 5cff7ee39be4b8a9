#include "dialogs/preferencesdialog.h"

#include "dialogs/settingsrules.h"
#include "model/showcommands.h"
#include "model/showdocument.h"
#include "remote/pinguard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QNetworkInterface>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

QString remoteRefusal(const UserPreferences &user, const QString &typedPin)
{
    if (!typedPin.isEmpty() && !pinhash::isValidPin(typedPin))
        return QCoreApplication::translate("Preferences",
                                           "The PIN of the web remote must have 4 to 8 digits.");
    if (user.remote_enabled && typedPin.isEmpty() && user.remote_pin_hash.isEmpty())
        return QCoreApplication::translate("Preferences",
                                           "Set a PIN of 4 to 8 digits for the web remote.");
    return QString();
}

// ---- PreferencesEdit ----------------------------------------------------------

PreferencesEdit::PreferencesEdit()
{
    resetPreferences(&m_working);
}

void PreferencesEdit::setMidiDevices(const QStringList &outputs, const QStringList &inputs)
{
    m_outputs = outputs;
    m_inputs = inputs;
}

void PreferencesEdit::setPreferences(ShowDocument *document)
{
    if (!document)
        return;
    m_document = document;
    m_working = document->preferences();
    m_openedNetwork = m_working.net_interface;
    m_plainTargetsText = oscTargetsText(m_working.osc_plain_targets);
    bind(true);
    bind(false);
}

void PreferencesEdit::bind(bool output)
{
    quint32 &number = output ? m_working.midi_device_out : m_working.midi_device_in;
    const QString &name = output ? m_working.midi_device_out_name : m_working.midi_device_in_name;
    const QStringList &present = names(output);
    keptName(output).clear();
    // A number the loader bound stays: it may name a device the MIDI system
    // renamed since the file was written.
    if (number >= 1 && number <= quint32(present.size()))
        return;
    number = 0;
    if (name.isEmpty())
        return;
    const int at = present.indexOf(name);
    if (at >= 0)
        number = quint32(at + 1);
    else
        keptName(output) = name;
}

QList<MidiDeviceEntry> PreferencesEdit::deviceEntries(bool output) const
{
    QList<MidiDeviceEntry> entries{{QCoreApplication::translate("Preferences", "None"), 0}};
    const QStringList &present = names(output);
    for (int i = 0; i < present.size(); ++i)
        entries.append({present.at(i), i + 1});
    if (!keptName(output).isEmpty())
        entries.append(
            {QCoreApplication::translate("Preferences", "%1 (not connected)").arg(keptName(output)),
             -1});
    return entries;
}

int PreferencesEdit::selectedDevice(bool output) const
{
    const quint32 number = output ? m_working.midi_device_out : m_working.midi_device_in;
    const QString &name = output ? m_working.midi_device_out_name : m_working.midi_device_in_name;
    const int present = names(output).size();
    if (number >= 1 && number <= quint32(present))
        return int(number);
    if (!name.isEmpty() && name == keptName(output))
        return present + 1;
    return 0;
}

void PreferencesEdit::chooseDevice(bool output, int entry)
{
    const QList<MidiDeviceEntry> entries = deviceEntries(output);
    if (entry < 0 || entry >= entries.size())
        return;
    const int number = entries.at(entry).number;
    quint32 &stored = output ? m_working.midi_device_out : m_working.midi_device_in;
    QString &name = output ? m_working.midi_device_out_name : m_working.midi_device_in_name;
    stored = quint32(qMax(0, number));
    name = number > 0 ? names(output).at(number - 1) : number < 0 ? keptName(output) : QString();
}

QStringList PreferencesEdit::networkNames() const
{
    QStringList names{QString()};
    for (const NetworkChoice &n : m_networks)
        names << n.name;
    if (!m_openedNetwork.isEmpty() && !names.contains(m_openedNetwork))
        names << m_openedNetwork;
    return names;
}

QStringList PreferencesEdit::networkEntries() const
{
    QStringList entries{QCoreApplication::translate("Preferences", "First usable network")};
    for (const NetworkChoice &n : m_networks)
        entries << QStringLiteral("%1 (%2)").arg(n.name, n.address);
    if (networkNames().size() > entries.size())
        entries << QCoreApplication::translate("Preferences", "%1 (not connected)")
                       .arg(m_openedNetwork);
    return entries;
}

int PreferencesEdit::selectedNetwork() const
{
    return int(qMax<qsizetype>(0, networkNames().indexOf(m_working.net_interface)));
}

void PreferencesEdit::chooseNetwork(int entry)
{
    const QStringList names = networkNames();
    if (entry >= 0 && entry < names.size())
        m_working.net_interface = names.at(entry);
}

void PreferencesEdit::setPlainTargetsText(const QString &text)
{
    m_plainTargetsText = text;
    if (const std::optional<QStringList> targets = parseOscTargets(text))
        m_working.osc_plain_targets = *targets;
}

QString PreferencesEdit::refusal() const
{
    if (!parseOscTargets(m_plainTargetsText))
        return QCoreApplication::translate("Preferences",
                                           "The plain OSC targets \"%1\" are not valid: write "
                                           "host:port, separated by commas, for example "
                                           "192.168.1.20:8000, [::1]:9000.")
            .arg(m_plainTargetsText);
    if (m_working.osc_default_host.trimmed().isEmpty())
        return QCoreApplication::translate("Preferences", "The OSC default host is empty.");
    return QString();
}

bool PreferencesEdit::apply(const QString &undoText)
{
    if (!m_document || !refusal().isEmpty())
        return false;
    // The lock is no step of the history: it changes beside the command.
    PreferencesStruct current = m_document->preferences();
    current.lock_screen = m_working.lock_screen;
    if (m_working != current)
        m_document->push(new ChangePreferences(*m_document, m_working, undoText));
    m_document->setLocked(m_working.lock_screen);
    return true;
}

// ---- Preferences --------------------------------------------------------------

namespace
{

QGroupBox *group(const QString &title, QWidget *parent)
{
    auto *box = new QGroupBox(title, parent);
    new QGridLayout(box);
    return box;
}

void addRow(QGroupBox *box, const QString &label, QWidget *widget)
{
    auto *grid = static_cast<QGridLayout *>(box->layout());
    const int row = grid->rowCount();
    auto *text = new QLabel(label, box);
    text->setBuddy(widget);
    grid->addWidget(text, row, 0);
    grid->addWidget(widget, row, 1);
    grid->setColumnStretch(1, 1);
}

void addWide(QGroupBox *box, QWidget *widget)
{
    auto *grid = static_cast<QGridLayout *>(box->layout());
    grid->addWidget(widget, grid->rowCount(), 0, 1, 2);
}

QString pinPlaceholder(bool set)
{
    return set ? QCoreApplication::translate("Preferences", "PIN set — type to change")
               : QCoreApplication::translate("Preferences", "4 to 8 digits");
}

} // namespace

Preferences::Preferences(QWidget *parent) : QWidget(parent)
{
    setWindowIcon(QIcon(QStringLiteral(":/images/pultora.png")));
    setWindowTitle(tr("Global Preferences"));
    m_ask = [this](const QString &question) {
        return QMessageBox::question(this, tr("Global Preferences"), question,
                                     QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    };
    buildWidgets();
    updateDisplay();
}

void Preferences::buildWidgets()
{
    // ---- left column
    auto *start = group(tr("Start Options"), this);
    m_timeout = new QSpinBox(start);
    m_timeout->setObjectName(QStringLiteral("timeout"));
    m_timeout->setRange(0, 65535);
    m_timeout->setAlignment(Qt::AlignRight);
    addRow(start, tr("Startup Timeout (in Seconds) :"), m_timeout);
    m_sendLater = new QCheckBox(tr("Start DMX/MIDI with the First Control Change"), start);
    addWide(start, m_sendLater);

    auto *display = group(tr("Display Options"), this);
    m_hex = new QCheckBox(tr("Show Hexadecimal Values Additionally"), display);
    addWide(display, m_hex);
    m_grid = new QSpinBox(display);
    m_grid->setObjectName(QStringLiteral("snapGrid"));
    m_grid->setRange(1, 1000);
    m_grid->setAlignment(Qt::AlignRight);
    addRow(display, tr("Snap Grid :"), m_grid);

    auto *network = group(tr("Network"), this);
    m_network = new QComboBox(network);
    m_network->setObjectName(QStringLiteral("network"));
    addRow(network, tr("Interface :"), m_network);
    m_broadcast = new QCheckBox(tr("Always broadcast Art-Net"), network);
    m_broadcast->setObjectName(QStringLiteral("alwaysBroadcast"));
    addWide(network, m_broadcast);
    m_oscHost = new QLineEdit(network);
    m_oscHost->setObjectName(QStringLiteral("oscDefaultHost"));
    addRow(network, tr("OSC default host :"), m_oscHost);
    m_oscPort = new QSpinBox(network);
    m_oscPort->setObjectName(QStringLiteral("oscDefaultPort"));
    m_oscPort->setRange(1, 65535);
    m_oscPort->setAlignment(Qt::AlignRight);
    addRow(network, tr("OSC default port :"), m_oscPort);
    m_oscPlain = new QLineEdit(network);
    m_oscPlain->setObjectName(QStringLiteral("oscPlainTargets"));
    m_oscPlain->setPlaceholderText(tr("host:port, host:port"));
    addRow(network, tr("Plain OSC targets :"), m_oscPlain);

    auto *project = group(tr("Project"), this);
    m_name = new QLineEdit(project);
    m_name->setObjectName(QStringLiteral("projectName"));
    addRow(project, tr("Name :"), m_name);
    m_description = new QPlainTextEdit(project);
    m_description->setObjectName(QStringLiteral("projectDescription"));
    m_description->setMaximumHeight(100);
    addWide(project, new QLabel(tr("Description :"), project));
    addWide(project, m_description);

    // ---- right column
    auto *midiOut = group(tr("MIDI-OUT"), this);
    m_midiOut = new QComboBox(midiOut);
    m_midiOut->setObjectName(QStringLiteral("midiOut"));
    addRow(midiOut, tr("Device Name :"), m_midiOut);
    auto *midiIn = group(tr("MIDI-IN"), this);
    m_midiIn = new QComboBox(midiIn);
    m_midiIn->setObjectName(QStringLiteral("midiIn"));
    addRow(midiIn, tr("Device Name :"), m_midiIn);

    auto *http = group(tr("HTTP"), this);
    m_http = new QLineEdit(http);
    addRow(http, tr("Server :"), m_http);
    m_httpOtherHosts = new QCheckBox(tr("Call other computers"), http);
    m_httpOtherHosts->setObjectName(QStringLiteral("httpOtherHosts"));
    addWide(http, m_httpOtherHosts);

    auto *commands = group(tr("Command Options"), this);
    m_command = new QCheckBox(tr("Command"), commands);
    m_command->setObjectName(QStringLiteral("command"));
    addWide(commands, m_command);
    m_commandPath = new QLineEdit(commands);
    addRow(commands, tr("Command Path :"), m_commandPath);

    auto *lock = group(tr("Lock Screen"), this);
    m_lock = new QCheckBox(tr("Lock Screen"), lock);
    m_lock->setObjectName(QStringLiteral("lock"));
    addWide(lock, m_lock);

    // What each field of the page does and takes.
    const std::pair<QWidget *, QString> tips[] = {
        {m_timeout,
         tr("seconds the console waits after start before it sends, 0 to 65535; 0: at once")},
        {m_sendLater, tr("sends no DMX or MIDI until the first control is operated")},
        {m_hex, tr("shows values also in hexadecimal notation")},
        {m_grid, tr("the step that moved and resized controls snap to, and that the arrow keys "
                    "move them by, in background units; 1: no grid")},
        {m_network, tr("the network Art-Net and streaming ACN send on and listen to")},
        {m_broadcast,
         tr("sends Art-Net to every node of the network, also where nodes asked for unicast")},
        {m_oscHost, tr("where OSC outputs without a host of their own send to, by name or IP "
                       "address; 127.0.0.1 unless changed")},
        {m_oscPort, tr("the UDP port OSC outputs without a port of their own send to, 1 to 65535; "
                       "9000 unless changed")},
        {m_oscPlain, tr("OSC targets that get one plain message each instead of bundles, for "
                        "receivers that ignore bundles: host:port separated by commas, an IPv6 "
                        "host in brackets ([::1]:9000); empty: none")},
        {m_name,
         tr("the name of the show's project, shown in the title bar and the documentation")},
        {m_description, tr("notes on the project for the documentation")},
        {m_midiOut, tr("the MIDI device the MIDI outputs of the controls are sent to")},
        {m_midiIn, tr("the MIDI device the MIDI inputs of the controls listen to")},
        {m_http, tr("the HTTP server the links of the HTTP outputs are called on, for example "
                    "192.168.1.10:8080")},
        {m_httpOtherHosts,
         tr("lets the HTTP outputs call servers on other computers, not only on this one")},
        {m_command, tr("lets controls run the commands of their outputs; off: no command is run")},
        {m_commandPath, tr("the folder the commands of the controls are found in; empty: the "
                           "system's search path")},
        {m_lock, tr("locks the screen: the controls still work, but nothing can be edited until "
                    "Ctrl+Alt+Shift+F11 unlocks it")}};
    for (const auto &[field, tip] : tips)
        field->setToolTip(tip);

    auto *left = new QVBoxLayout;
    for (QGroupBox *box : {start, display, network, project})
        left->addWidget(box);
    left->addStretch();
    auto *right = new QVBoxLayout;
    for (QGroupBox *box : {midiOut, midiIn, http, commands, lock})
        right->addWidget(box);
    right->addStretch();
    auto *pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("pages"));
    auto *showPage = new QWidget(pages);
    auto *columns = new QHBoxLayout(showPage);
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    pages->addTab(showPage, tr("Show"));

    // What is the user's on this computer: no show file changes it.
    auto *userPage = new QWidget(pages);
    auto *user = new QVBoxLayout(userPage);
    auto *userNote = new QLabel(tr("These settings belong to you on this computer. They are not "
                                   "saved with the show, and no show changes them."),
                                userPage);
    userNote->setWordWrap(true);
    user->addWidget(userNote);
    m_checkUpdates = new QCheckBox(tr("Check for updates at start-up"), userPage);
    m_checkUpdates->setObjectName(QStringLiteral("checkUpdates"));
    m_checkUpdates->setToolTip(
        tr("asks the Pultora web site for a newer version 30 seconds after the start"));
    user->addWidget(m_checkUpdates);
    m_autoPatch = new QCheckBox(tr("Patch new controls automatically"), userPage);
    m_autoPatch->setObjectName(QStringLiteral("autoPatch"));
    m_autoPatch->setToolTip(tr("a control made from the palette takes the protocol and universe "
                               "of the one made before it and the next channel no control uses"));
    user->addWidget(m_autoPatch);
    connect(m_autoPatch, &QCheckBox::clicked, this,
            [this](bool checked) { m_user.auto_patch = checked; });
    auto *oscIn = new QHBoxLayout;
    auto *oscInLabel = new QLabel(tr("OSC input port :"), userPage);
    m_oscInPort = new QSpinBox(userPage);
    m_oscInPort->setObjectName(QStringLiteral("oscInPort"));
    m_oscInPort->setRange(0, 65535);
    m_oscInPort->setAlignment(Qt::AlignRight);
    m_oscInPort->setSpecialValueText(tr("Off"));
    m_oscInPort->setToolTip(tr("the UDP port this computer takes OSC input on, 1 to 65535; Off "
                               "(0): no OSC input, the default"));
    oscInLabel->setBuddy(m_oscInPort);
    oscIn->addWidget(oscInLabel);
    oscIn->addWidget(m_oscInPort);
    oscIn->addStretch();
    user->addLayout(oscIn);
    auto *oscInNote = new QLabel(tr("OSC input listens on the network interface chosen on the "
                                    "page Show and on loopback (127.0.0.1)."),
                                 userPage);
    oscInNote->setWordWrap(true);
    user->addWidget(oscInNote);
    connect(m_oscInPort, &QSpinBox::valueChanged, this,
            [this](int port) { m_user.osc_in_port = quint16(port); });
    user->addWidget(buildRemoteGroup(userPage));
    user->addStretch();
    pages->addTab(userPage, tr("This Computer"));
    m_pages = pages;

    auto *ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setToolTip(tr("click OK to apply all changes and close the window"));
    auto *apply = new QPushButton(tr("Apply"), this);
    apply->setObjectName(QStringLiteral("apply"));
    apply->setToolTip(tr("click Apply to apply all changes"));
    auto *cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setToolTip(tr("click Cancel to discard any changes"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(apply);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addLayout(buttons);

    connect(ok, SIGNAL(clicked()), this, SLOT(pressOk()));
    connect(apply, SIGNAL(clicked()), this, SLOT(pressApply()));
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    connect(m_timeout, SIGNAL(valueChanged(int)), this, SLOT(ChangedStartupTimeout(int)));
    connect(m_sendLater, SIGNAL(clicked()), this, SLOT(ChangedStartupDmxSendLater()));
    connect(m_grid, &QSpinBox::valueChanged, this,
            [this](int value) { m_edit.working().snap_grid = quint16(value); });
    connect(m_name, SIGNAL(textChanged(QString)), this, SLOT(ChangedProjectName()));
    connect(m_description, SIGNAL(textChanged()), this, SLOT(ChangedProjectDescription()));
    connect(m_midiOut, SIGNAL(activated(int)), this, SLOT(ChangedDeviceMidiOut(int)));
    connect(m_midiIn, SIGNAL(activated(int)), this, SLOT(ChangedDeviceMidiIn(int)));
    connect(m_hex, SIGNAL(clicked(bool)), this, SLOT(CheckValueHexShow(bool)));
    connect(m_http, SIGNAL(textChanged(QString)), this, SLOT(ChangedHttpServer()));
    connect(m_command, SIGNAL(clicked(bool)), this, SLOT(CheckCommandFlag(bool)));
    connect(m_commandPath, SIGNAL(textChanged(QString)), this, SLOT(ChangedCommandPath()));
    connect(m_lock, SIGNAL(clicked(bool)), this, SLOT(CheckLockUnlockScreen(bool)));
    connect(m_checkUpdates, SIGNAL(clicked(bool)), this, SLOT(CheckUpdatesAtStartup(bool)));
    connect(m_httpOtherHosts, SIGNAL(clicked(bool)), this, SLOT(CheckHttpOtherHosts(bool)));
    connect(m_network, SIGNAL(activated(int)), this, SLOT(ChangedNetwork(int)));
    connect(m_broadcast, SIGNAL(clicked(bool)), this, SLOT(CheckAlwaysBroadcast(bool)));
    connect(m_oscHost, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_edit.working().osc_default_host = text.trimmed(); });
    connect(m_oscPort, &QSpinBox::valueChanged, this,
            [this](int port) { m_edit.working().osc_default_port = quint16(port); });
    connect(m_oscPlain, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_edit.setPlainTargetsText(text); });
}

QWidget *Preferences::buildRemoteGroup(QWidget *page)
{
    auto *remote = group(tr("Web Remote"), page);
    m_remoteEnabled = new QCheckBox(tr("Serve the web remote"), remote);
    m_remoteEnabled->setObjectName(QStringLiteral("remoteEnabled"));
    m_remoteEnabled->setToolTip(tr("serves a page to phones and tablets on the show network that "
                                   "shows the controls of the show; it asks for the PIN first"));
    addWide(remote, m_remoteEnabled);
    connect(m_remoteEnabled, &QCheckBox::clicked, this,
            [this](bool checked) { m_user.remote_enabled = checked; });

    m_remotePort = new QSpinBox(remote);
    m_remotePort->setObjectName(QStringLiteral("remotePort"));
    m_remotePort->setRange(1, 65535);
    m_remotePort->setAlignment(Qt::AlignRight);
    m_remotePort->setToolTip(
        tr("the TCP port the web remote listens on, 1 to 65535; 9080 unless changed"));
    addRow(remote, tr("Port :"), m_remotePort);
    remote->layout()->setAlignment(m_remotePort, Qt::AlignLeft);
    connect(m_remotePort, &QSpinBox::valueChanged, this,
            [this](int port) { m_user.remote_port = quint16(port); });

    m_remoteInterface = new QComboBox(remote);
    m_remoteInterface->setObjectName(QStringLiteral("remoteInterface"));
    m_remoteInterface->setEditable(true);
    m_remoteInterface->setInsertPolicy(QComboBox::NoInsert);
    m_remoteInterface->setToolTip(
        tr("the network interface the web remote listens on besides loopback (127.0.0.1), by "
           "name; Same as the show: the one Art-Net and streaming ACN use"));
    addRow(remote, tr("Network interface :"), m_remoteInterface);
    connect(m_remoteInterface, &QComboBox::editTextChanged, this, [this](const QString &text) {
        m_user.remote_interface =
            text == m_remoteInterface->itemText(0) ? QString() : text.trimmed();
    });

    m_remoteOperate = new QCheckBox(tr("Clients may operate controls"), remote);
    m_remoteOperate->setObjectName(QStringLiteral("remoteOperate"));
    m_remoteOperate->setToolTip(
        tr("lets phones and tablets move faders and press buttons; unticked they only watch"));
    addWide(remote, m_remoteOperate);
    connect(m_remoteOperate, &QCheckBox::clicked, this,
            [this](bool checked) { m_user.remote_operate = checked; });

    m_remotePin = new QLineEdit(remote);
    m_remotePin->setObjectName(QStringLiteral("remotePin"));
    m_remotePin->setEchoMode(QLineEdit::Password);
    m_remotePin->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,8}")), m_remotePin));
    m_remotePin->setToolTip(tr("what phones and tablets must enter before they see the show, 4 "
                               "to 8 digits; kept only as a hash; left empty, the PIN set stays"));
    addRow(remote, tr("PIN :"), m_remotePin);

    m_remoteRisky = new QCheckBox(
        tr("Operate commands, other HTTP hosts and OSC beyond the show network from the page"),
        remote);
    m_remoteRisky->setObjectName(QStringLiteral("remoteRisky"));
    m_remoteRisky->setToolTip(
        tr("lets the page operate controls that start programs on this computer, call HTTP "
           "servers on other computers or send OSC off the show network. A PIN of 4 digits is "
           "soon guessed or seen over a shoulder, and whoever has it could then run programs "
           "here with your rights; unticked, these controls are watch-only on the page"));
    addWide(remote, m_remoteRisky);
    connect(m_remoteRisky, &QCheckBox::clicked, this,
            [this](bool checked) { m_user.remote_risky_outputs = checked; });

    auto *note = new QLabel(tr("The web remote belongs on the show network, never on the "
                               "internet. Phones and tablets open the address shown under Web "
                               "Remote in the menu."),
                            remote);
    note->setWordWrap(true);
    addWide(remote, note);
    return remote;
}

void Preferences::showRemote()
{
    const QSignalBlocker b1(m_remotePort), b2(m_remoteInterface);
    m_remoteEnabled->setChecked(m_user.remote_enabled);
    m_remotePort->setValue(m_user.remote_port);
    m_remoteInterface->clear();
    m_remoteInterface->addItem(tr("Same as the show"));
    for (const QNetworkInterface &i : QNetworkInterface::allInterfaces()) {
        if (i.flags().testFlag(QNetworkInterface::IsUp) &&
            !i.flags().testFlag(QNetworkInterface::IsLoopBack))
            m_remoteInterface->addItem(i.name());
    }
    if (m_user.remote_interface.isEmpty())
        m_remoteInterface->setCurrentIndex(0);
    else
        m_remoteInterface->setEditText(m_user.remote_interface);
    m_remoteOperate->setChecked(m_user.remote_operate);
    m_remotePin->clear();
    m_remotePin->setPlaceholderText(pinPlaceholder(!m_user.remote_pin_hash.isEmpty()));
    m_remoteRisky->setChecked(m_user.remote_risky_outputs);
}

void Preferences::setMidiDevices(const QStringList &outputs, const QStringList &inputs)
{
    m_edit.setMidiDevices(outputs, inputs);
}

void Preferences::setPreferences(ShowDocument *document)
{
    if (!document)
        return;
    m_edit.setPreferences(document);
    updateDisplay();
}

void Preferences::fillDevices()
{
    for (bool output : {true, false}) {
        QComboBox *combo = output ? m_midiOut : m_midiIn;
        combo->clear();
        for (const MidiDeviceEntry &entry : m_edit.deviceEntries(output))
            combo->addItem(entry.text, entry.number);
        combo->setCurrentIndex(m_edit.selectedDevice(output));
    }
}

void Preferences::updateDisplay()
{
    const PreferencesStruct &p = m_edit.working();
    const QSignalBlocker b1(m_timeout), b2(m_name), b3(m_description), b4(m_http),
        b5(m_commandPath), b6(m_grid), b7(m_oscHost), b8(m_oscPort), b9(m_oscPlain);
    m_timeout->setValue(p.startup_timeout);
    m_grid->setValue(qMax<int>(1, p.snap_grid));
    m_sendLater->setChecked(p.startup_dmxsend_later);
    m_checkUpdates->setChecked(m_user.check_updates);
    m_autoPatch->setChecked(m_user.auto_patch);
    m_hex->setChecked(p.hex_value_show);
    m_name->setText(p.project_name);
    m_description->setPlainText(p.project_description);
    m_http->setText(p.http_server);
    m_httpOtherHosts->setChecked(p.http_other_hosts);
    m_command->setChecked(p.command_flag);
    m_commandPath->setText(p.command_path);
    m_lock->setChecked(p.lock_screen);
    m_broadcast->setChecked(p.artnet_always_broadcast);
    m_oscHost->setText(p.osc_default_host);
    m_oscPort->setValue(qMax<int>(1, p.osc_default_port));
    m_oscPlain->setText(m_edit.plainTargetsText());
    m_network->clear();
    m_network->addItems(m_edit.networkEntries());
    m_network->setCurrentIndex(m_edit.selectedNetwork());
    fillDevices();
}

void Preferences::setUserPreferences(const UserPreferences &preferences,
                                     std::function<void(const UserPreferences &)> store)
{
    m_user = m_userStored = preferences;
    m_userStore = std::move(store);
    m_checkUpdates->setChecked(m_user.check_updates);
    m_autoPatch->setChecked(m_user.auto_patch);
    const QSignalBlocker blocker(m_oscInPort);
    m_oscInPort->setValue(m_user.osc_in_port);
    showRemote();
}

bool Preferences::pressApply()
{
    const auto refuse = [this](const QString &refusal) {
        if (m_refuse)
            m_refuse(refusal);
        else
            QMessageBox::warning(this, windowTitle(), refusal);
    };
    if (const QString refusal = m_edit.refusal(); !refusal.isEmpty()) {
        refuse(refusal);
        return false;
    }
    const QString pin = m_remotePin->text();
    if (const QString refusal = remoteRefusal(m_user, pin); !refusal.isEmpty()) {
        m_pages->setCurrentIndex(m_pages->count() - 1);
        m_remotePin->setFocus();
        refuse(refusal);
        return false;
    }
    if (!pin.isEmpty()) {
        m_user.remote_pin_hash = pinhash::hashPin(pin);
        m_remotePin->clear();
        m_remotePin->setPlaceholderText(pinPlaceholder(true));
    }
    if (m_userStore && m_user != m_userStored) {
        m_userStore(m_user);
        m_userStored = m_user;
    }
    if (m_edit.apply(tr("Change Preferences")))
        emit valueChanged();
    return true;
}

void Preferences::pressOk()
{
    if (pressApply())
        close();
}

void Preferences::ChangedStartupTimeout(int Value)
{
    m_edit.working().startup_timeout = quint16(Value);
}

void Preferences::ChangedStartupDmxSendLater()
{
    m_edit.working().startup_dmxsend_later = m_sendLater->isChecked();
}

void Preferences::ChangedType(int MidiOutTypeIdx, int MidiInTypeIdx)
{
    m_edit.chooseDevice(true, MidiOutTypeIdx);
    m_edit.chooseDevice(false, MidiInTypeIdx);
}

void Preferences::CheckValueHexShow(bool Checked)
{
    m_edit.working().hex_value_show = Checked;
}

void Preferences::ChangedDeviceMidiOut(int MidiTypeIdx)
{
    ChangedType(MidiTypeIdx, m_midiIn->currentIndex());
}

void Preferences::ChangedDeviceMidiIn(int MidiTypeIdx)
{
    ChangedType(m_midiOut->currentIndex(), MidiTypeIdx);
}

void Preferences::ChangedHttpServer()
{
    m_edit.working().http_server = m_http->text();
}

void Preferences::CheckCommandFlag(bool Checked)
{
    if (Checked && !m_ask(tr("With the command output on, controls of this configuration start "
                             "programs on this computer, with your user's rights.\n"
                             "Switch the command output on?"))) {
        m_command->setChecked(false);
        Checked = false;
    }
    m_edit.working().command_flag = Checked;
}

void Preferences::ChangedCommandPath()
{
    m_edit.working().command_path = m_commandPath->text();
}

void Preferences::ChangedProjectName()
{
    m_edit.working().project_name = m_name->text();
}

void Preferences::ChangedProjectDescription()
{
    m_edit.working().project_description = m_description->toPlainText();
}

void Preferences::CheckLockUnlockScreen(bool Checked)
{
    if (Checked && m_confirmLock && !m_confirmLock()) {
        m_lock->setChecked(false);
        Checked = false;
    }
    m_edit.working().lock_screen = Checked;
}

void Preferences::CheckUpdatesAtStartup(bool Checked)
{
    m_user.check_updates = Checked;
}

void Preferences::CheckHttpOtherHosts(bool Checked)
{
    m_edit.working().http_other_hosts = Checked;
}

void Preferences::ChangedNetwork(int index)
{
    m_edit.chooseNetwork(index);
}

void Preferences::CheckAlwaysBroadcast(bool Checked)
{
    m_edit.working().artnet_always_broadcast = Checked;
}

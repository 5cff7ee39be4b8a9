#include "app/controleditor.h"

#include "app/learnlistener.h"
#include "dialogs/settings.h"

#include <QWidget>

ControlEditor::ControlEditor(QWidget *console, std::function<bool(SettingStruct *)> check)
    : m_console(console), m_check(std::move(check))
{
}

ControlEditor::~ControlEditor()
{
    close();
}

void ControlEditor::open(SettingStruct *record, const PreferencesStruct &preferences,
                         QWidget *blink)
{
    if (!m_window) {
        SettingsServices services;
        services.checkConsistence = m_check;
        services.room = [this] { return m_room ? m_room() : ControlEdit::Room(); };
        m_window = new Settings(services, m_console);
        QObject::connect(m_window, SIGNAL(valueChanged()), m_console, SLOT(slotSettingsChanged()));
        if (m_learn)
            m_learn->attach(m_window);
    }
    m_window->setOscDefaults(preferences.osc_default_host, preferences.osc_default_port);
    m_window->setSettings(record, preferences.hex_value_show);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    if (blink && blink->metaObject()->indexOfMethod("Blink(quint16,quint16,bool)") >= 0)
        QMetaObject::invokeMethod(blink, "Blink", Q_ARG(quint16, 3000), Q_ARG(quint16, 250),
                                  Q_ARG(bool, false));
}

void ControlEditor::enableLearn(OutputObjects &objects, std::function<quint32()> midiDeviceIn)
{
    m_learn = std::make_unique<LearnListener>(objects, std::move(midiDeviceIn));
    if (m_window)
        m_learn->attach(m_window);
}

void ControlEditor::close()
{
    if (!m_window)
        return;
    m_window->hide();
    QObject::disconnect(m_window, nullptr, m_console, nullptr);
    delete m_window.data();
}

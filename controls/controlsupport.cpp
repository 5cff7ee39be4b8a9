#include "controls/controlsupport.h"

#include "model/settingstruct.h"

#include <QElapsedTimer>
#include <QMetaType>
#include <QTimer>
#include <QWidget>

Q_LOGGING_CATEGORY(lcControls, "pultora.controls", QtInfoMsg)

ControlClock defaultControlClock()
{
    return [] {
        static QElapsedTimer timer = [] {
            QElapsedTimer t;
            t.start();
            return t;
        }();
        return timer.elapsed();
    };
}

QString escapeMnemonics(const QString &name)
{
    QString text = name;
    return text.replace(QLatin1Char('&'), QLatin1String("&&"));
}

void registerControlMetaTypes()
{
    static const bool registered = [] {
        qRegisterMetaType<SettingDmxStruct>("SettingDmxStruct");
        qRegisterMetaType<SettingDmxInStruct>("SettingDmxInStruct");
        return true;
    }();
    Q_UNUSED(registered);
}

void ValueHoldOff::setClock(ControlClock clock)
{
    m_clock = clock ? std::move(clock) : defaultControlClock();
}

void ValueHoldOff::touch()
{
    m_lastChangeMs = m_clock();
}

bool ValueHoldOff::holding() const
{
    if (!m_lastChangeMs)
        return false;
    // A clock that went backwards also holds: better one dropped input
    // than a fader snatched from under the user's hand.
    return m_clock() - *m_lastChangeMs < HOLD_OFF_MS;
}

qint64 ValueHoldOff::remainingMs() const
{
    if (!holding())
        return 0;
    return qBound<qint64>(1, HOLD_OFF_MS - (m_clock() - *m_lastChangeMs), HOLD_OFF_MS);
}

void FollowedInput::offer(quint8 value)
{
    m_value = value;
    if (m_holdOff.holding()) {
        qCDebug(lcControls) << "input" << value << "held off after a recent change";
        applyWhenFree();
        return;
    }
    m_applying = true;
    m_apply(value);
    m_applying = false;
}

void FollowedInput::changed()
{
    if (m_applying)
        return;
    m_holdOff.touch();
    if (m_value)
        applyWhenFree();
}

void FollowedInput::applyWhenFree()
{
    if (!m_timer) {
        m_timer = new QTimer(m_widget);
        m_timer->setSingleShot(true);
        QObject::connect(m_timer, &QTimer::timeout, m_widget, [this] {
            if (m_value)
                offer(*m_value);
        });
    }
    m_timer->start(int(m_holdOff.remainingMs()));
}

void BlinkSequence::start(QWidget *widget, quint16 timeMs, quint16 intervalMs, bool startOffset,
                          const char *tickSlot)
{
    m_timeMs = timeMs;
    m_intervalMs = intervalMs;
    m_startOffset = startOffset;
    m_counter = 0;
    if (intervalMs == 0) {
        // No period to count ticks by: end any blink rather than spin.
        if (m_timer)
            m_timer->stop();
        widget->show();
        return;
    }
    if (!m_timer) {
        m_timer = new QTimer(widget);
        m_timer->setObjectName(QStringLiteral("blinkTimer"));
        QObject::connect(m_timer, SIGNAL(timeout()), widget, tickSlot);
    }
    m_timer->start(intervalMs);
    qCDebug(lcControls) << "blink" << widget << timeMs << intervalMs << startOffset;
}

void BlinkSequence::tick(QWidget *widget)
{
    if (m_intervalMs == 0 || m_counter > quint32(m_timeMs / m_intervalMs)) {
        if (m_timer)
            m_timer->stop();
        widget->show();
        return;
    }
    widget->setVisible(m_counter % 2 != (m_startOffset ? 1u : 0u));
    ++m_counter;
}

bool BlinkSequence::running() const
{
    return m_timer && m_timer->isActive();
}

#include "model/oscvalue.h"

#include <algorithm>
#include <cmath>

double oscFloat(const SettingDmxStruct &out, int v)
{
    int lo = std::min(out.dmx_value_1, out.dmx_value_2);
    int hi = std::max(out.dmx_value_1, out.dmx_value_2);
    if (lo == hi) {
        lo = 0;
        hi = 255;
    }
    return std::clamp(double(v - lo) / double(hi - lo), 0.0, 1.0);
}

quint8 oscLevel(OscArg kind, double number)
{
    switch (kind) {
    case OscArg::True:
        return 255;
    case OscArg::False:
        return 0;
    case OscArg::Float:
        number = std::round(number * 255.0);
        break;
    case OscArg::Int:
        break;
    }
    if (std::isnan(number))
        return 0;
    return quint8(std::clamp(number, 0.0, 255.0));
}

QString oscTargetKey(const SettingDmxStruct &out, const PreferencesStruct &prefs)
{
    QString host = out.osc_host.isEmpty() ? prefs.osc_default_host : out.osc_host;
    if (host.contains(QLatin1Char(':')) && !host.startsWith(QLatin1Char('[')))
        host = QLatin1Char('[') + host + QLatin1Char(']');
    const quint16 port = out.osc_port != 0 ? out.osc_port : prefs.osc_default_port;
    return host + QLatin1Char(':') + QString::number(port);
}

bool isValidOscAddress(const QString &address)
{
    if (!address.startsWith(QLatin1Char('/')))
        return false;
    const QString forbidden = QStringLiteral(" #,?*[]{}");
    bool partEmpty = true;
    for (qsizetype i = 1; i < address.size(); ++i) {
        const QChar c = address.at(i);
        if (c == QLatin1Char('/')) {
            if (partEmpty)
                return false;
            partEmpty = true;
            continue;
        }
        if (c.unicode() < 0x21 || c.unicode() > 0x7e || forbidden.contains(c))
            return false;
        partEmpty = false;
    }
    return !partEmpty;
}

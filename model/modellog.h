// Diagnostic traces of the configuration model ("pultora.model"), switched on
// with QT_LOGGING_RULES="pultora.model.debug=true" (off by default). Never
// shown to the user.
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcModel)

#include "model/modellog.h"

Q_LOGGING_CATEGORY(lcModel, "pultora.model", QtInfoMsg)

#pragma once

#include <QLoggingCategory>

// Debug lines of the watermark check. Off by default; switch them on with
// QT_LOGGING_RULES="lumivex.watermark.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcWatermark)

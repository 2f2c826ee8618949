#pragma once

#include <QLoggingCategory>

// Trace lines of the widget framework. Off by default; switch them on with
// QT_LOGGING_RULES="lumivex.widgets.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcWidgets)

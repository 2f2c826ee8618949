#pragma once

#include <QLoggingCategory>

// Debug lines of the task framework and the operating-system layer. Off by
// default; switch them on with QT_LOGGING_RULES="lumivex.base.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcBase)

#pragma once

#include <QLoggingCategory>

// Debug lines of the main window and its play logic. Off by default; switch
// them on with QT_LOGGING_RULES="lumivex.main.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcMain)

#pragma once

#include <QLoggingCategory>

// Debug lines of the export page and its engine. Off by default; switch them
// on with QT_LOGGING_RULES="lumivex.export.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcExport)

#pragma once

#include <QLoggingCategory>

// Debug lines of the preview page; switch them on with
// QT_LOGGING_RULES="lumivex.preview.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcPreview)

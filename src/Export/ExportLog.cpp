#include "Export/ExportLog.h"

Q_LOGGING_CATEGORY(lcExport, "lumivex.export", QtInfoMsg)

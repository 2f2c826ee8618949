#include "Preview/PreviewLog.h"

Q_LOGGING_CATEGORY(lcPreview, "lumivex.preview", QtWarningMsg)

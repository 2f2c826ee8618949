#include "Base/BaseLog.h"

Q_LOGGING_CATEGORY(lcBase, "lumivex.base", QtInfoMsg)

#include "Widgets/WidgetsLog.h"

Q_LOGGING_CATEGORY(lcWidgets, "lumivex.widgets", QtInfoMsg)

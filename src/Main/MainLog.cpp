#include "Main/MainLog.h"

Q_LOGGING_CATEGORY(lcMain, "lumivex.main", QtInfoMsg)

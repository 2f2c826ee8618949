#include "Watermark/WatermarkLog.h"

Q_LOGGING_CATEGORY(lcWatermark, "lumivex.watermark", QtInfoMsg)

#include "Widgets/SFQTControlHelpers.h"

#include <QWidget>

#include "Base/TextCodec.h"
#include "Widgets/SFApplication.h"

QRect SFQTRectFromExclusive(const tagRECT& rect)
{
    return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

void SFQTPlaceControl(QWidget* control, void* parent, const tagRECT& rect)
{
    control->setParent(static_cast<QWidget*>(parent));
    control->setGeometry(SFQTRectFromExclusive(rect));
}

void SFQTShowByStyle(QWidget* control, DWORD style)
{
    control->setVisible((style & WS_VISIBLE) != 0);
}

void SFQTLoadSkinImageIfNamed(QPixmap& image, const std::wstring& name)
{
    if (!name.empty())
        image = QPixmap(SFQTSkinFilePath(name.c_str()));
}

QPixmap SFQTLoadSkinImage(const std::wstring& name)
{
    return QPixmap(SFQTSkinFilePath(name.c_str()));
}

std::wstring SFQTWideFromString(const QString& text)
{
    return SF_SOFT_BASE::Utf8ToWide(text.toStdString());
}

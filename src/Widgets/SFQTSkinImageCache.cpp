#include "Widgets/SFQTSkinImageCache.h"

#include <QFileInfo>

CSFQTSkinImageCache& CSFQTSkinImageCache::Instance()
{
    static CSFQTSkinImageCache cache;
    return cache;
}

QPixmap CSFQTSkinImageCache::Get(const QString& path, const char* format)
{
    const QString key = format ? path + QLatin1Char('\n') + QLatin1String(format) : path;
    const auto found = m_images.constFind(key);
    if (found != m_images.constEnd())
        return found.value();
    QPixmap image;
    // A folder (an empty name) is no image; reading it would try every suffix.
    if (!QFileInfo(path).isDir())
        image.load(path, format);
    m_images.insert(key, image);
    return image;
}

void CSFQTSkinImageCache::Clear()
{
    m_images.clear();
}

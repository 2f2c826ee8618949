#pragma once

#include <QHash>
#include <QPixmap>
#include <QString>

// Skin images by file path, each read and decoded once and then shared by
// every control that shows it (a QPixmap copy shares its pixels). A path
// that gives no image is remembered as a null picture, so that it is not
// searched for again. GUI thread only; emptied when the skin folder changes.
class CSFQTSkinImageCache {
public:
    static CSFQTSkinImageCache& Instance();

    // The image of the file; format "png" reads it as PNG only, none guesses.
    QPixmap Get(const QString& path, const char* format = nullptr);
    void Clear();

private:
    QHash<QString, QPixmap> m_images;
};

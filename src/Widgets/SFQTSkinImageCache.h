#pragma once

#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QSet>
#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

// Skin images by file path, each read and decoded once and then shared by
// every control that shows it (a QPixmap copy shares its pixels). A path
// that gives no image is remembered as a null picture, so that it is not
// searched for again. Prefetch decodes a folder's pictures on worker threads
// beforehand; Get takes such a picture when it is ready, waits for one being
// decoded, or reads the file itself. Get and Clear: GUI thread only; Clear
// also comes with a change of the skin folder.
class CSFQTSkinImageCache {
public:
    static CSFQTSkinImageCache& Instance();
    ~CSFQTSkinImageCache();

    // The image of the file; format "png" reads it as PNG only, none guesses.
    QPixmap Get(const QString& path, const char* format = nullptr);
    // Starts decoding every ".png" of the folder (ending in "/") on workers.
    void Prefetch(const QString& folder);
    void Clear();
    // Ends the prefetch: what is not started is dropped, workers are joined.
    void StopPrefetch();

    // The formats QPixmap gives opaque and translucent pictures (invalid
    // without a display); GUI thread.
    struct PixmapFormats {
        QImage::Format opaque = QImage::Format_Invalid;
        QImage::Format alpha = QImage::Format_Invalid;
    };
    static PixmapFormats ProbePixmapFormats();
    // Converts a picture, on any thread, to the format QPixmap::fromImage
    // would choose for it, so that a pixmap takes it over without a pass of
    // its own (Qt::NoOpaqueDetection). False, the picture unchanged, for
    // kinds left to QPixmap.
    static bool ToPixmapFormat(QImage& image, const PixmapFormats& formats);
    // Reads a picture through the reader that never blocks (a FIFO or device
    // gives a null picture); any thread. Not kept in the cache.
    static QImage ReadPicture(const QString& path, const char* format = nullptr);

private:
    struct Decoded {
        QImage image;
        bool pixmapReady = false;  // in the format its pixmap takes
    };

    // The pixmap of a prefetched picture of the path, or null.
    QPixmap FromPrefetch(const QString& path);
    // A prefetched picture of the path (null when none); waits, bounded, for
    // one a worker is decoding; claims one not yet started.
    Decoded TakePrefetched(const QString& path);
    void DecodePending();

    QHash<QString, QPixmap> m_images;
    // By path alone: what prefetched pictures became.
    QHash<QString, QPixmap> m_fromPrefetch;

    std::mutex m_mutex;
    std::condition_variable m_decodedChanged;
    std::deque<QString> m_pending;
    QSet<QString> m_decoding;
    QHash<QString, Decoded> m_decoded;
    PixmapFormats m_formats;
    unsigned m_generation = 0;
    std::vector<std::thread> m_workers;
};

#include "Widgets/SFQTSkinImageCache.h"

#include <QDir>
#include <QFileInfo>

#include "Base/FileSystemHelpers.h"

#include <algorithm>
#include <chrono>

namespace {

constexpr unsigned kMaxWorkers = 3;
// Far beyond one picture's decoding; after it the file is read here.
constexpr std::chrono::seconds kDecodeWait(5);
constexpr std::size_t kMaxPictureBytes = 256 << 20;

// Whether a 32-bit picture has a pixel that is not fully opaque.
bool HasTranslucentPixel(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(row[x]) != 255)
                return true;
    }
    return false;
}

}  // namespace

CSFQTSkinImageCache::PixmapFormats CSFQTSkinImageCache::ProbePixmapFormats()
{
    QPixmap probe(1, 1);
    if (probe.isNull())
        return {};
    PixmapFormats formats;
    formats.opaque = probe.toImage().format();
    probe.fill(Qt::transparent);
    formats.alpha = probe.toImage().format();
    return formats;
}

bool CSFQTSkinImageCache::ToPixmapFormat(QImage& image, const PixmapFormats& formats)
{
    if (image.isNull() || image.depth() == 1 || formats.opaque == QImage::Format_Invalid ||
        formats.alpha == QImage::Format_Invalid)
        return false;
    if (!image.hasAlphaChannel()) {
        image = std::move(image).convertToFormat(formats.opaque);
        return true;
    }
    const QImage::Format format = image.format();
    if (format != QImage::Format_ARGB32 && format != QImage::Format_ARGB32_Premultiplied)
        return false;
    if (HasTranslucentPixel(image))
        image = std::move(image).convertToFormat(formats.alpha);
    else if (formats.opaque == QImage::Format_RGB32)
        image.reinterpretAsFormat(QImage::Format_RGB32);  // as QPixmap does with opaque pictures
    else
        image = std::move(image).convertToFormat(formats.opaque);
    return true;
}

QImage CSFQTSkinImageCache::ReadPicture(const QString& path, const char* format)
{
    std::string bytes;
    if (!SF_SOFT_BASE::ReadRegularFile(QFile::encodeName(path).toStdString(), bytes, kMaxPictureBytes))
        return QImage();
    return QImage::fromData(QByteArrayView(bytes.data(), qsizetype(bytes.size())), format);
}

CSFQTSkinImageCache& CSFQTSkinImageCache::Instance()
{
    static CSFQTSkinImageCache cache;
    return cache;
}

CSFQTSkinImageCache::~CSFQTSkinImageCache()
{
    StopPrefetch();
}

QPixmap CSFQTSkinImageCache::Get(const QString& path, const char* format)
{
    const QString key = format ? path + QLatin1Char('\n') + QLatin1String(format) : path;
    const auto found = m_images.constFind(key);
    if (found != m_images.constEnd())
        return found.value();
    QPixmap image = m_fromPrefetch.value(path);
    if (image.isNull())
        image = FromPrefetch(path);
    // A folder (an empty name) is no image; reading it would try every suffix.
    if (image.isNull() && !QFileInfo(path).isDir())
        image = QPixmap::fromImage(ReadPicture(path, format));
    m_images.insert(key, image);
    return image;
}

void CSFQTSkinImageCache::Prefetch(const QString& folder)
{
    StopPrefetch();
    const QStringList names = QDir(folder).entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
    if (names.isEmpty())
        return;
    const PixmapFormats formats = ProbePixmapFormats();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_formats = formats;
        for (const QString& name : names)
            m_pending.push_back(folder + name);
    }
    const unsigned cores = std::max(2u, std::thread::hardware_concurrency());
    const unsigned workers = std::min<unsigned>({kMaxWorkers, cores - 1, static_cast<unsigned>(names.size())});
    for (unsigned i = 0; i < workers; ++i)
        m_workers.emplace_back([this] { DecodePending(); });
}

void CSFQTSkinImageCache::Clear()
{
    m_images.clear();
    m_fromPrefetch.clear();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pending.clear();
    m_decoded.clear();
    ++m_generation;
}

void CSFQTSkinImageCache::StopPrefetch()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pending.clear();
    }
    for (std::thread& worker : m_workers)
        worker.join();
    m_workers.clear();
}

QPixmap CSFQTSkinImageCache::FromPrefetch(const QString& path)
{
    Decoded prefetched = TakePrefetched(path);
    if (prefetched.image.isNull())
        return QPixmap();
    // A picture already in a pixmap's format is taken over as it is.
    const Qt::ImageConversionFlags flags = prefetched.pixmapReady ? Qt::NoOpaqueDetection : Qt::AutoColor;
    // Kept for the file's other formats, which would otherwise read it again.
    const QPixmap image = QPixmap::fromImage(std::move(prefetched.image), flags);
    m_fromPrefetch.insert(path, image);
    return image;
}

CSFQTSkinImageCache::Decoded CSFQTSkinImageCache::TakePrefetched(const QString& path)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_decodedChanged.wait_for(lock, kDecodeWait, [&] { return !m_decoding.contains(path); });
    const auto pending = std::find(m_pending.begin(), m_pending.end(), path);
    if (pending != m_pending.end())
        m_pending.erase(pending);
    return m_decoded.take(path);
}

void CSFQTSkinImageCache::DecodePending()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_pending.empty()) {
        const QString path = m_pending.front();
        m_pending.pop_front();
        const unsigned generation = m_generation;
        m_decoding.insert(path);
        const PixmapFormats formats = m_formats;
        lock.unlock();
        Decoded decoded{ReadPicture(path), false};
        decoded.pixmapReady = ToPixmapFormat(decoded.image, formats);
        lock.lock();
        m_decoding.remove(path);
        if (generation == m_generation)
            m_decoded.insert(path, std::move(decoded));
        m_decodedChanged.notify_all();
    }
}

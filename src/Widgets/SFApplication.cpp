#include "Widgets/SFApplication.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScreen>

#include <algorithm>
#include <cstring>

#include "Base/FileSystemHelpers.h"
#include "Base/TextCodec.h"
#include "Widgets/SFQTControlHelpers.h"
#include "Widgets/SFQTSkinImageCache.h"
#include "Widgets/SkinParser.h"

namespace {

constexpr std::size_t kMaxStyleSheetBytes = 16 << 20;

struct GlueState {
    QApplication* application = nullptr;
    QString skinPath;
    QString styleSheetPath;
};

GlueState& State()
{
    static GlueState state;
    return state;
}

}  // namespace

void SFSetApplication(QApplication* application)
{
    State().application = application;
    if (!application)
        return;
    QDir::setCurrent(QCoreApplication::applicationDirPath());
}

QApplication* SFGetApplication()
{
    return State().application;
}

void SFSetSkinPath(std::wstring path)
{
    SFQTSetSkinPath(SFQTStringFromWide(path.c_str()));
}

void SFQTSetSkinPath(const QString& path)
{
    State().skinPath = path;
    CSFQTSkinImageCache::Instance().Clear();
}

QString SFQTGetSkinPath()
{
    return State().skinPath;
}

QString SFQTSkinFilePath(const wchar_t* imageName)
{
    return State().skinPath + SFQTStringFromWide(imageName);
}

void SFLoadStyleSheet(const std::wstring& path)
{
    State().styleSheetPath = SFQTStringFromWide(path.c_str());
    if (!State().application)
        return;
    std::string text;
    if (!SF_SOFT_BASE::ReadRegularFile(QFile::encodeName(State().styleSheetPath).toStdString(), text, kMaxStyleSheetBytes))
        return;
    State().application->setStyleSheet(SFQTWithoutIrregularPictures(QString::fromUtf8(text.data(), qsizetype(text.size()))));
}

QString SFGetLastStyleSheetPath()
{
    return State().styleSheetPath;
}

void SFGetScreenRect(tagRECT* rect)
{
    if (!rect)
        return;
    *rect = tagRECT{0, 0, 0, 0};
    if (!State().application)
        return;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect geometry = screen->geometry();
    *rect = tagRECT{geometry.left(), geometry.top(), geometry.right(), geometry.bottom()};
}

std::size_t SFUtf8ToLocal8Bit(const char* text, char* out, std::size_t size)
{
    if (!out || size == 0)
        return 0;
    std::size_t length = text ? std::strlen(text) : 0;
    if (length >= size) {
        length = size - 1;
        // Back off to the start of a character.
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
            --length;
    }
    if (length)
        std::memcpy(out, text, length);
    out[length] = '\0';
    return length;
}

int SFQTCopyToWideBuffer(const QString& text, wchar_t* buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    const std::wstring wide = SF_SOFT_BASE::Utf8ToWide(text.toStdString());
    const int count = std::min(static_cast<int>(wide.size()), size - 1);
    std::copy_n(wide.begin(), count, buffer);
    buffer[count] = L'\0';
    return count;
}

QString SFQTStringFromUtf8(const char* text)
{
    return QString::fromUtf8(text ? text : "");
}

void SFInitApp() {}

void SFPrefetchSkinImages()
{
    CSFQTSkinImageCache::Instance().Prefetch(State().skinPath);
}

void SFUninitApp()
{
    CSFQTSkinImageCache::Instance().StopPrefetch();
    CSFQTSkinImageCache::Instance().Clear();
}

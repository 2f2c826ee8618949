#include "Widgets/SFQTFileIconProvider.h"

#include <QFileInfo>

#include "Base/MimeDatabaseReadiness.h"

namespace {

bool AsksTheMimeDatabase(const QFileInfo& info)
{
    return !info.isRoot() && !info.isDir() && !SF_SOFT_BASE::IsMimeDatabaseRead();
}

}  // namespace

CSFQTFileIconProvider* CSFQTFileIconProvider::Get()
{
    static CSFQTFileIconProvider provider;
    return &provider;
}

QIcon CSFQTFileIconProvider::icon(const QFileInfo& info) const
{
    return AsksTheMimeDatabase(info) ? icon(QAbstractFileIconProvider::File) : QFileIconProvider::icon(info);
}

QString CSFQTFileIconProvider::type(const QFileInfo& info) const
{
    return AsksTheMimeDatabase(info) ? QStringLiteral("File") : QFileIconProvider::type(info);
}

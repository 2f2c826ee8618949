#pragma once

#include <QFileIconProvider>

// The icons and type names of the file dialogs. Until the MIME database is
// known to be read (SF_SOFT_BASE::IsMimeDatabaseRead) files get the generic
// icon and type, so that no dialog, nor its listing thread, waits on a
// reader stuck in the database.
class CSFQTFileIconProvider : public QFileIconProvider {
public:
    // The one instance the dialogs share.
    static CSFQTFileIconProvider* Get();

    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override;
    QString type(const QFileInfo& info) const override;
};

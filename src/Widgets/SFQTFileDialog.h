#pragma once

#include <QString>

#include "Platform/Win32/Win32Types.h"

class QWidget;

// Modal chooser of a file to open or of a folder, in Qt's own form. It
// starts in the folder the process remembers: the program folder at first,
// then the last path chosen.
class CSFQTFileDialog {
public:
    // Wide characters of the caller's folder record, and where the chosen
    // folder goes in it (the third of four 520-character rows).
    static constexpr int kFolderRecordSize = 2080;
    static constexpr int kFolderOffset = 1040;

    virtual ~CSFQTFileDialog() = default;

    // File mode (mode != 0): the chosen file goes into `file`, at most
    // size - 1 characters and a terminator. Folder mode: the chosen folder
    // goes into `folderRecord` from kFolderOffset, bounded and terminated
    // the same way. 1 when a path was delivered; 0 on cancel or without a
    // buffer (the choice is remembered all the same).
    static int ShowFileDialog(wchar_t* folderRecord, wchar_t* file, int size, int mode, int,
                              const wchar_t* defaultSuffix, int, unsigned flags, const wchar_t* initialText,
                              QWidget* parent);

    static QString RememberedFolder();
    static void SetRememberedFolder(const QString& folder);
};

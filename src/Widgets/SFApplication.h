#pragma once

// Process-wide glue between the program and the widget framework. GUI
// thread only. The program folder itself (SFGetAppDir) comes from
// Common/AppDir.h.

#include <cstddef>
#include <string>

#include <QString>

#include "Platform/Win32/Win32Types.h"

class QApplication;

// Keeps the application object and makes the program folder the current
// directory.
void SFSetApplication(QApplication* application);
QApplication* SFGetApplication();

// Skin folder: image names are appended to it directly, so it ends in "/".
void SFSetSkinPath(std::wstring path);
void SFQTSetSkinPath(const QString& path);
QString SFQTGetSkinPath();
// Skin folder followed by the image name.
QString SFQTSkinFilePath(const wchar_t* imageName);
// Starts decoding the skin folder's pictures on worker threads, for the
// controls created next; SFUninitApp ends it and drops the pictures.
void SFPrefetchSkinImages();

// Remembers the path; with an application object, applies the file's text
// as the style sheet. A file that cannot be read changes nothing.
void SFLoadStyleSheet(const std::wstring& path);
QString SFGetLastStyleSheetPath();

// Screen geometry of the primary screen with right and bottom as the last
// column and row; all zero without an application object.
void SFGetScreenRect(tagRECT* rect);

// Copies UTF-8 text into the local 8-bit form (also UTF-8 here), at most
// size - 1 bytes, always terminated; returns the bytes copied. A cut never
// splits a character.
std::size_t SFUtf8ToLocal8Bit(const char* text, char* out, std::size_t size);

// Copies a Qt string into a caller's wide buffer: at most size - 1
// characters, always terminated when size > 0; returns the characters copied.
int SFQTCopyToWideBuffer(const QString& text, wchar_t* buffer, int size);

QString SFQTStringFromUtf8(const char* text);

// Runs the file chooser (mode != 0) or the folder chooser (mode 0) modally;
// see CSFQTFileDialog. The default suffix, the fifth and seventh words and
// the flags do not change the dialog. 1 when a path was delivered.
int SFShowFileDialog(wchar_t* folderRecord, wchar_t* file, int size, int mode, int word5,
                     const wchar_t* defaultSuffix, int word7, unsigned flags, const wchar_t* initialText,
                     void* parent);

void SFInitApp();
void SFUninitApp();

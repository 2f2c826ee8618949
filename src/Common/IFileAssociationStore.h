#pragma once

#include <string>

// Where the desktop keeps which program opens which file type. Reads give
// an empty text for a missing value; writes take effect on Flush.
class IFileAssociationStore {
public:
    virtual ~IFileAssociationStore() = default;

    // Empty when the store can be used; else why not (nothing is then read
    // or written).
    virtual std::string GetUnavailableReason() const { return {}; }

    // The file type that files with the extension (with its dot) have.
    virtual std::wstring GetExtensionType(const std::wstring& ext) = 0;
    virtual void SetExtensionType(const std::wstring& ext, const std::wstring& type) = 0;
    // Our program's open command, and its icon (written with the command).
    virtual std::wstring GetOpenCommand() = 0;
    virtual void SetOpenCommand(const std::wstring& command, const std::wstring& icon) = 0;
    // Whether our program declares that it opens the type.
    virtual bool HandlesType(const std::wstring& type) = 0;
    virtual void AddHandledType(const std::wstring& type) = 0;
    // The program chosen by the user as the default for the type.
    virtual std::wstring GetDefaultHandler(const std::wstring& type) = 0;
    virtual void SetDefaultHandler(const std::wstring& type, const std::wstring& handler) = 0;
    // Writes what changed; false when a write failed (what failed is kept
    // for the next Flush).
    virtual bool Flush() = 0;
    // Tells the desktop that associations changed.
    virtual void NotifyChanged() = 0;
};

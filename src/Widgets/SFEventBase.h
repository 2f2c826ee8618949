#pragma once

#include <vector>

#include "Platform/Win32/Win32Types.h"

class CSFEventBase;

// How a message-map handler is called.
enum SFMessageSignature : UINT {
    SFSig_End = 0,   // end of the table
    SFSig_vv = 1,    // no argument
    SFSig_vpp = 2,   // two words: a notification header and a result pointer, or wParam/lParam
    SFSig_vwl = 3,   // the two message words (wParam, lParam)
};

// Calls the bound member of the event object with the two message words;
// what it passes on depends on the entry's signature.
using SFMessageHandler = void (*)(CSFEventBase* target, WPARAM wParam, LPARAM lParam);

struct SF_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode;
    UINT nID;
    UINT nLastID;
    UINT nSig;
    UINT nReserved;
    SFMessageHandler pfn;
};

struct SF_MSGMAP {
    const SF_MSGMAP_ENTRY* lpEntries;
};

// First entry of the table for (message, code) whose id range holds id;
// null when none (the walk stops at the end entry).
const SF_MSGMAP_ENTRY* SFFindMessageMapEntry(const SF_MSGMAP_ENTRY* entries, UINT message, UINT code, UINT id);

// Calls a found entry by its signature with the two words.
void SFCallMessageEntry(const SF_MSGMAP_ENTRY& entry, CSFEventBase* target, WPARAM wParam, LPARAM lParam);

// The timer-message ids of a table in table order, ended by -1; empty when
// the table has none.
std::vector<int> SFCollectTimerMessageIDs(const SF_MSGMAP_ENTRY* entries);

// Base of every event object: owns nothing but the cached list of its
// message ids.
class CSFEventBase {
public:
    CSFEventBase() = default;
    virtual ~CSFEventBase() = default;

    virtual const SF_MSGMAP* GetSFMessageMap() const = 0;
    virtual int* GetThisMessageIDs() { return nullptr; }

    void Dlg_OnCommand(UINT id);
    void OnNotifyClick(UINT code, UINT id, tagNMHDR* header, LRESULT* result);
    void OnUIMessage(UINT code, UINT id, WPARAM wParam, LPARAM lParam);

    // Forgets the cached id list (the next GetThisMessageIDs builds it again).
    void ResetMessageIDCache() { m_pMessageIDs = nullptr; }

protected:
    int* m_pMessageIDs = nullptr;

private:
    const SF_MSGMAP_ENTRY* FindEntry(UINT message, UINT code, UINT id) const;
};

// Message maps. In the class:   SF_DECLARE_MESSAGE_MAP()
// In the source file:
//   SF_BEGIN_MESSAGE_MAP(CMyDlg)
//       SF_ON_COMMAND(IDC_OK, OnOk)                  // void OnOk()
//       SF_ON_NOTIFY(NM_CLICK, IDC_LIST, OnListClick) // void OnListClick(tagNMHDR*, LRESULT*)
//       SF_ON_UI_MESSAGE(2001, OnInfo)                // void OnInfo(WPARAM, LPARAM)
//   SF_END_MESSAGE_MAP()
#define SF_DECLARE_MESSAGE_MAP()                               \
public:                                                        \
    const SF_MSGMAP* GetSFMessageMap() const override;         \
    int* GetThisMessageIDs() override;                         \
    static const SF_MSGMAP_ENTRY* GetSFMessageEntries();

#define SF_BEGIN_MESSAGE_MAP(theClass)                                                  \
    const SF_MSGMAP* theClass::GetSFMessageMap() const                                  \
    {                                                                                   \
        static const SF_MSGMAP map{GetSFMessageEntries()};                              \
        return &map;                                                                    \
    }                                                                                   \
    int* theClass::GetThisMessageIDs()                                                  \
    {                                                                                   \
        static std::vector<int> ids = SFCollectTimerMessageIDs(GetSFMessageEntries());  \
        if (ids.empty())                                                                \
            return nullptr;                                                             \
        if (!m_pMessageIDs)                                                             \
            m_pMessageIDs = ids.data();                                                 \
        return m_pMessageIDs;                                                           \
    }                                                                                   \
    const SF_MSGMAP_ENTRY* theClass::GetSFMessageEntries()                              \
    {                                                                                   \
        using ThisClass [[maybe_unused]] = theClass;                                    \
        static const SF_MSGMAP_ENTRY entries[] = {

#define SF_ON_COMMAND(id, memberFxn)                                                    \
    {WM_COMMAND, 0, UINT(id), UINT(id), SFSig_vv, 0,                                    \
     [](CSFEventBase* t, WPARAM, LPARAM) { static_cast<ThisClass*>(t)->memberFxn(); }},

#define SF_ON_NOTIFY(code, id, memberFxn)                                               \
    {WM_NOTIFY, UINT(code), UINT(id), UINT(id), SFSig_vpp, 0,                           \
     [](CSFEventBase* t, WPARAM w, LPARAM l) {                                          \
         static_cast<ThisClass*>(t)->memberFxn(reinterpret_cast<tagNMHDR*>(w),          \
                                               reinterpret_cast<LRESULT*>(l));          \
     }},

#define SF_ON_UI_MESSAGE(id, memberFxn)                                                 \
    {WM_TIMER, WM_TIMER, UINT(id), UINT(id), SFSig_vwl, 0,                              \
     [](CSFEventBase* t, WPARAM w, LPARAM l) { static_cast<ThisClass*>(t)->memberFxn(w, l); }},

#define SF_END_MESSAGE_MAP()                                                            \
            {0, 0, 0, 0, SFSig_End, 0, nullptr}};                                       \
        return entries;                                                                 \
    }

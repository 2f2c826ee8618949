#include "Widgets/SFEventBase.h"

const SF_MSGMAP_ENTRY* SFFindMessageMapEntry(const SF_MSGMAP_ENTRY* entries, UINT message, UINT code, UINT id)
{
    if (!entries)
        return nullptr;
    for (const SF_MSGMAP_ENTRY* entry = entries; entry->nSig != SFSig_End; ++entry) {
        if (entry->nMessage == message && entry->nCode == code && entry->nID <= id && id <= entry->nLastID)
            return entry;
    }
    return nullptr;
}

void SFCallMessageEntry(const SF_MSGMAP_ENTRY& entry, CSFEventBase* target, WPARAM wParam, LPARAM lParam)
{
    if (!entry.pfn || !target)
        return;
    switch (entry.nSig) {
    case SFSig_vv:
        entry.pfn(target, 0, 0);
        break;
    case SFSig_vpp:
    case SFSig_vwl:
        entry.pfn(target, wParam, lParam);
        break;
    default:
        break;
    }
}

std::vector<int> SFCollectTimerMessageIDs(const SF_MSGMAP_ENTRY* entries)
{
    std::vector<int> ids;
    for (const SF_MSGMAP_ENTRY* entry = entries; entry && entry->nSig != SFSig_End; ++entry) {
        if (entry->nMessage == WM_TIMER)
            ids.push_back(static_cast<int>(entry->nID));
    }
    if (!ids.empty())
        ids.push_back(-1);
    return ids;
}

const SF_MSGMAP_ENTRY* CSFEventBase::FindEntry(UINT message, UINT code, UINT id) const
{
    const SF_MSGMAP* map = GetSFMessageMap();
    return map ? SFFindMessageMapEntry(map->lpEntries, message, code, id) : nullptr;
}

void CSFEventBase::Dlg_OnCommand(UINT id)
{
    const SF_MSGMAP_ENTRY* entry = FindEntry(WM_COMMAND, 0, id);
    if (entry && entry->nSig == SFSig_vv)
        SFCallMessageEntry(*entry, this, 0, 0);
}

void CSFEventBase::OnNotifyClick(UINT code, UINT id, tagNMHDR* header, LRESULT* result)
{
    const SF_MSGMAP_ENTRY* entry = FindEntry(WM_NOTIFY, code & 0xFFFF, id);
    if (!entry)
        return;
    if (entry->nSig == SFSig_vv)
        SFCallMessageEntry(*entry, this, 0, 0);
    else if (entry->nSig == SFSig_vpp)
        SFCallMessageEntry(*entry, this, reinterpret_cast<WPARAM>(header), reinterpret_cast<LPARAM>(result));
}

void CSFEventBase::OnUIMessage(UINT code, UINT id, WPARAM wParam, LPARAM lParam)
{
    const SF_MSGMAP_ENTRY* entry = FindEntry(WM_TIMER, code & 0xFFFF, id);
    if (entry && entry->nSig == SFSig_vwl)
        SFCallMessageEntry(*entry, this, wParam, lParam);
}

#pragma once

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SFSystemTime.h"
#include "Widgets/WidgetTypes.h"

struct ImageNumSpinerStyle;

// A number spinner.
class CSFNumSpiner {
public:
    explicit CSFNumSpiner(ISFNumSpinerEvent* handler) : m_pHandler(handler) {}
    virtual ~CSFNumSpiner() = default;
    CSFNumSpiner(const CSFNumSpiner&) = default;
    CSFNumSpiner& operator=(const CSFNumSpiner&) = default;

    virtual int Create(const wchar_t*, const tagRECT&, void*, UINT) { return 0; }
    virtual void SetRange(int, int) {}
    virtual void GetRange(int&, int&) {}
    virtual void SetStep(int) {}
    virtual int GetStep() { return 0; }
    virtual void SetCurrentNum(int) {}
    virtual int GetCurrentNum() { return 0; }
    virtual void StepUp() {}
    virtual void StepDown() {}
    virtual int SetSkin(ImageNumSpinerStyle*) { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(tagRECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void EnableWindow(int) {}
    virtual void SetCircleStep(int) {}

    ISFNumSpinerEvent* GetHandler() const { return m_pHandler; }

protected:
    ISFNumSpinerEvent* m_pHandler;
};

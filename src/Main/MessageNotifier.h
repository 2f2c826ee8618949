#pragma once

#include <string>

#include <boost/shared_ptr.hpp>

#include "Widgets/SFControlEvents.h"
#include "Widgets/SFDialogEvent.h"
#include "Widgets/SkinStyles.h"

class CSFButton;
class CSFDialog;
class CSFListCtrl;

// The notification pop-up: a tool window of the main window with a
// time-stamped log of notices, kept in memory for the run. Rows show their
// notices whole, in as many lines as they take.
class CMessageNotifier : public ISFDialogEvent, public ISFButtonEvent {
    SF_DECLARE_MESSAGE_MAP()
public:
    static constexpr UINT kClearId = 341;
    static constexpr UINT kAutoHideId = 342;
    static constexpr UINT kTopId = 343;

    CMessageNotifier();
    ~CMessageNotifier() override;
    CMessageNotifier(const CMessageNotifier&) = delete;
    CMessageNotifier& operator=(const CMessageNotifier&) = delete;

    static boost::shared_ptr<CMessageNotifier> GetInstance();
    // The row text of a notice: "year/mm/dd hh:mm:ss" stamp, two blanks, text.
    static std::wstring MakeRowText(const std::wstring& text);

    // Creates the tool window of parentWnd (the main window; null: none),
    // hidden.
    void CreateDlg(void* parentWnd);
    // Appends a notice (the window is created with the first one); show
    // brings the window up and activates it.
    void Notify(const std::wstring& text, bool show);
    void CloseDlg();
    // Destroys the window (before the application object goes); the log stays.
    void DestroyDlg();
    void ClearMessages();

    CSFDialog* GetDlg() const { return m_pDialog; }
    CSFListCtrl* GetList() const { return m_pList; }
    int GetRowCount() const { return m_rowCount; }

    void Dlg_OnInitDialog(int modeless) override;
    void Dlg_Destroy() override {}
    void OnDlgKeyDown(UINT modifiers, UINT key) override;
    void BTN_OnClicked(int id) override;

private:
    CSFButton* CreateButton(ISFButtonEvent* handler, UINT id, const tagRECT& rect, const wchar_t* tipKey,
                            const ImageButtonStyle& skin);
    void CreateList();

    CSFDialog* m_pDialog = nullptr;
    CSFListCtrl* m_pList = nullptr;
    CSFButton* m_pClear = nullptr;
    CSFButton* m_pAutoHide = nullptr;
    CSFButton* m_pTop = nullptr;
    boost::shared_ptr<DialogStyle> m_skin;
    int m_rowCount = 0;
};

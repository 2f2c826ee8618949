#pragma once

#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Watermark/WatermarkRecords.h"
#include "Widgets/SFDialogEvent.h"

class CSFDialog;
class CSFListCtrl;
class CWatermarkEventImp;

// The modal "Detail" dialog of the watermark page: one row per error of a
// checked file, with its text and local time.
class CWaterMarkDetailEventImp : public ISFDialogEvent {
    SF_DECLARE_MESSAGE_MAP()
public:
    static boost::shared_ptr<CWaterMarkDetailEventImp> Create(const boost::shared_ptr<CWatermarkEventImp>& page);
    explicit CWaterMarkDetailEventImp(boost::weak_ptr<CWatermarkEventImp> page);
    ~CWaterMarkDetailEventImp() override;
    CWaterMarkDetailEventImp(const CWaterMarkDetailEventImp&) = delete;
    CWaterMarkDetailEventImp& operator=(const CWaterMarkDetailEventImp&) = delete;

    int CreateDialogWnd();
    // The entries of the next modal run; must live until it returns.
    void SetErrorList(const std::vector<WatermarkErrorEntry>* errors) { m_errors = errors; }
    CSFDialog* GetDialog() const { return m_dialog; }
    CSFListCtrl* GetList() const { return m_list; }

    void Dlg_OnInitDialog(int first) override;
    void OnDlgSize(UINT type, int& cx, int& cy) override;
    void OnDlgKeyDown(UINT modifiers, UINT key) override;

    // Codes of what a recording lacked: no watermark, or only signatures of other keys.
    static constexpr int kCodeNoWatermark = 11;
    static constexpr int kCodeUnknownKey = 12;
    // The text of a detail code; empty for 9 and unknown codes.
    static std::wstring TextOfCode(int code);

private:
    void CreateList();
    void FillList();

    CSFListCtrl* m_list = nullptr;
    boost::weak_ptr<CWatermarkEventImp> m_page;
    CSFDialog* m_dialog = nullptr;
    const std::vector<WatermarkErrorEntry>* m_errors = nullptr;
};

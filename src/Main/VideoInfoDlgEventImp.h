#pragma once

#include <string>

#include <QObject>
#include <QPointer>

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Widgets/SFDialogEvent.h"

class CPlayWinManagerEventImp;
class CSFButton;
class CSFDialog;
class CSFStatic;

// The "Property" dialog of a grid window's file: resolution, frame rate,
// duration, size and path.
class CVideoInfoDlgEventImp : public ISFDialogEvent {
    SF_DECLARE_MESSAGE_MAP()

public:
    static constexpr UINT kShowModalMessage = 2001;

    static boost::shared_ptr<CVideoInfoDlgEventImp> Create(boost::weak_ptr<CPlayWinManagerEventImp> owner);
    explicit CVideoInfoDlgEventImp(boost::weak_ptr<CPlayWinManagerEventImp> owner);
    ~CVideoInfoDlgEventImp() override;

    void SetVideoInfo(const std::wstring& resolution, const std::wstring& frameRate, const std::wstring& time,
                      const std::wstring& size, const std::wstring& path);
    void Dlg_OnInitDialog(int modeless) override;
    void OnDlgKeyDown(UINT key, UINT flags) override;
    void OnShowModal(WPARAM, LPARAM);

    CSFDialog* GetDialog() const { return m_dialog; }
    // The shown texts: the four values, then the path.
    std::wstring GetValueText(int row) const;

private:
    CSFDialog* m_dialog = nullptr;
    QPointer<QObject> m_dialogAlive;  // null once its Qt parent deleted it
    boost::weak_ptr<CPlayWinManagerEventImp> m_owner;
    CSFStatic* m_labels[5] = {};
    CSFStatic* m_values[4] = {};
    CSFButton* m_path = nullptr;
};

#pragma once

#include <string>

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Widgets/SFControlEvents.h"
#include "Widgets/SFViewEvent.h"
#include "Widgets/SkinStyles.h"

class CMainFrameEventImp;
class CSFButton;
class CSFPictureCtrl;
class CSFRadioBox;
class CSFView;

// The strip across the top of the main window: logos, page buttons, the
// grid's zoom and drag modes, full screen and the frameless window's buttons.
class CToolBarEventImp : public ISFViewEvent, public ISFRadioBoxEvent {
    SF_DECLARE_MESSAGE_MAP()
public:
    enum {
        kAddFilesId = 130,
        kSearchId = 131,
        kPreviewId = 132,
        kExportId = 133,
        kZoomId = 134,
        kDragId = 135,
        kFullScreenId = 136,
        kWatermarkId = 137,
        kConfigId = 138,
        kAboutId = 139,
        kCloseId = 140,
        kMinimizeId = 141,
        kMaximizeId = 142,
    };

    explicit CToolBarEventImp(const boost::shared_ptr<CMainFrameEventImp>& owner);
    ~CToolBarEventImp() override;
    CToolBarEventImp(const CToolBarEventImp&) = delete;
    CToolBarEventImp& operator=(const CToolBarEventImp&) = delete;

    static boost::shared_ptr<CToolBarEventImp> Create(const boost::shared_ptr<CMainFrameEventImp>& owner);

    CSFView* GetView() const { return m_pView; }
    int IsDigitalZoomChecked() const;
    int IsDragChecked() const;
    // A button by its id (130 to 142); null for other ids.
    CSFButton* GetButton(int id) const;
    CSFRadioBox* GetZoomRadio() const { return m_pZoom; }
    CSFRadioBox* GetDragRadio() const { return m_pDrag; }
    CSFPictureCtrl* GetRightLogo() const { return m_pRightLogo; }
    // The skin image of the left logo: the language's own, else language 1's.
    static std::wstring LogoImage();

    int OnCreate() override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnLButtonDblClk(UINT flags, tagPOINT point) override;
    void RADIO_OnClicked(int checked, int id, tagPOINT point) override;

    void OnSFBtnClose();
    void OnSFBtnMax();
    void OnSFBtnMin();
    void OnSFBtnAbout();
    void OnSFBtnAddFiles();
    void OnSFBtnSearch();
    void OnSFBtnPreview();
    void OnSFBtnExport();
    void OnSFBtnWatermark();
    void OnSFBtnFullScreen();
    void OnSFBtnConfig();

private:
    CSFButton* CreateButton(int id, int x, int y, int w, int h, const wchar_t* tipKey, const ImageButtonStyle& skin,
                            bool visible);
    CSFRadioBox* CreateRadio(int id, int x, const wchar_t* tipKey, bool zoom);
    void CreateWindowButtons();
    void ShowTab(int tabId);
    void SetDragTip(int childSwitch);

    CSFView* m_pView = nullptr;
    boost::weak_ptr<CMainFrameEventImp> m_owner;
    CSFPictureCtrl* m_pLeftLogo = nullptr;
    CSFPictureCtrl* m_pRightLogo = nullptr;
    CSFButton* m_pAddFiles = nullptr;
    CSFButton* m_pSearch = nullptr;
    CSFButton* m_pPreview = nullptr;
    CSFButton* m_pExport = nullptr;
    CSFRadioBox* m_pZoom = nullptr;
    CSFRadioBox* m_pDrag = nullptr;
    CSFButton* m_pFullScreen = nullptr;
    CSFButton* m_pWatermark = nullptr;
    CSFButton* m_pConfig = nullptr;
    CSFButton* m_pSeparator1 = nullptr;
    CSFButton* m_pSeparator2 = nullptr;
    CSFButton* m_pAbout = nullptr;
    CSFButton* m_pMinimize = nullptr;
    CSFButton* m_pMaximize = nullptr;
    CSFButton* m_pClose = nullptr;
};

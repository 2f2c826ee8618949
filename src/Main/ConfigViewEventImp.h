#pragma once

#include <map>
#include <string>

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Widgets/SFControlEvents.h"
#include "Widgets/SFViewEvent.h"

class CConfigUILogic;
class CFileManager;
class CMainFrameEventImp;
class CSFButton;
class CSFComboBox;
class CSFEditCtrl;
class CSFRadioBox;
class CSFStatic;
class CSFView;

// The settings page: folders, formats, proportion, overlay lines, language
// and vertical synchronisation of the UIConfig group. Every change goes
// straight into the live setting; the store is written when the program ends.
class CConfigViewEventImp : public ISFViewEvent,
                            public ISFRadioBoxEvent,
                            public ISFButtonEvent,
                            public ISFEditCtrlEvent,
                            public ISFComboBoxEvent,
                            public boost::enable_shared_from_this<CConfigViewEventImp> {
    SF_DECLARE_MESSAGE_MAP()
public:
    enum {
        kSnapPathEdit = 700,
        kVideoPathEdit = 701,
        kSnapBrowse = 702,
        kVideoBrowse = 703,
        kProportionCombo = 704,
        kSnapFormatCombo = 705,
        kRecordFormatCombo = 706,
        kLanguageCombo = 708,
        kVerticalSyncCheck = 709,
        kLabelId = 710,
        kRuleLineCheck = 711,
        kAlarmLineCheck = 712,
        kTrackLineCheck = 713,
    };

    explicit CConfigViewEventImp(const boost::shared_ptr<CMainFrameEventImp>& owner);
    ~CConfigViewEventImp() override;
    CConfigViewEventImp(const CConfigViewEventImp&) = delete;
    CConfigViewEventImp& operator=(const CConfigViewEventImp&) = delete;

    static boost::shared_ptr<CConfigViewEventImp> Create(const boost::shared_ptr<CMainFrameEventImp>& owner);
    int CreateView();
    CSFView* GetView() const { return m_pView; }
    boost::shared_ptr<CMainFrameEventImp> GetOwner() const { return m_owner.lock(); }
    void SetFileManager(const boost::shared_ptr<CFileManager>& manager);
    void UpdateOpenedPaths();

    CSFEditCtrl* GetFolderEdit(int id) const;
    CSFComboBox* GetCombo(int id) const;
    CSFRadioBox* GetCheckBox(int id) const;

    int OnCreate() override;
    void OnSize(UINT type, int cx, int cy) override;
    void RADIO_OnClicked(int checked, int id, tagPOINT point) override;
    void SelectChanged(int id, int index) override;
    void EDIT_OnEditingFinished(UINT id, wchar_t* text) override;
    void OnSFBtnBrowseSnapPath();
    void OnSFBtnBrowseVideoPath();

private:
    void CreateLabels();
    void CreateFolderFields();
    void CreateCombos();
    void CreateCheckBoxes();
    void FillLanguageCombo();
    CSFComboBox* CreateCombo(int id, std::initializer_list<const wchar_t*> items, int selection);
    CSFRadioBox* CreateCheckBox(int id, const wchar_t* key, int checked, int width);
    void ApplyProportion(int index);
    void BrowseFolder(CSFEditCtrl* edit, std::wstring& setting);
    std::wstring& FolderSetting(UINT id);

    CSFStatic* m_pLabels[7] = {};  // snap path, video path, proportion, snap format, record format, trace, language
    CSFComboBox* m_pProportion = nullptr;
    CSFComboBox* m_pSnapFormat = nullptr;
    CSFComboBox* m_pRecordFormat = nullptr;
    CSFComboBox* m_pLanguage = nullptr;
    CSFButton* m_pSnapBrowse = nullptr;
    CSFButton* m_pVideoBrowse = nullptr;
    CSFRadioBox* m_pRuleLine = nullptr;
    CSFRadioBox* m_pAlarmLine = nullptr;
    CSFRadioBox* m_pTrackLine = nullptr;
    CSFRadioBox* m_pVerticalSync = nullptr;
    CSFEditCtrl* m_pSnapPath = nullptr;
    CSFEditCtrl* m_pVideoPath = nullptr;
    boost::weak_ptr<CMainFrameEventImp> m_owner;
    CSFView* m_pView = nullptr;
    boost::shared_ptr<CConfigUILogic> m_logic;
    std::map<int, int> m_languages;  // combo index -> language number
};

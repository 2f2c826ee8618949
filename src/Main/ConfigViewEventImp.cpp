#include "Main/ConfigViewEventImp.h"

#include <boost/make_shared.hpp>

#include "Base/FileSystemHelpers.h"
#include "Common/ConfigManager.h"
#include "Common/LangString.h"
#include "Common/UserMessages.h"
#include "Main/ConfigUILogic.h"
#include "Main/MainFrameEventImp.h"
#include "Main/ShellSkins.h"
#include "Widgets/PageComboStyle.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFWidgetFactory.h"

namespace {

const wchar_t* const kLabelKeys[7] = {L"Snap Path",     L"Video Path", L"Video Proportion",
                                      L"Snap Format",   L"Record Format", L"Show Trace",
                                      L"Language(Restart Required)"};
constexpr int kFolderRows = 4;
constexpr int kFolderRowLength = 520;

CConfigManager& Settings()
{
    return *CConfigManager::GetInstance();
}

// A language's "Language_<n>" entry; without one, the number of a language
// whose file is beside the program; else empty.
std::wstring LanguageName(int number)
{
    const std::wstring key = L"Language_" + std::to_wstring(number);
    const std::wstring name = GetLangString(key.c_str());
    if (name != key)
        return name;
    return number > 1 && ChooseLanguageNumber(number) == number ? std::to_wstring(number) : std::wstring();
}

void Prompt(const wchar_t* key)
{
    ShowMessageBox(GetLangString(key), GetLangString(L"Prompt"), 0);
}

}  // namespace

SF_BEGIN_MESSAGE_MAP(CConfigViewEventImp)
SF_ON_COMMAND(CConfigViewEventImp::kSnapBrowse, OnSFBtnBrowseSnapPath)
SF_ON_COMMAND(CConfigViewEventImp::kVideoBrowse, OnSFBtnBrowseVideoPath)
SF_END_MESSAGE_MAP()

CConfigViewEventImp::CConfigViewEventImp(const boost::shared_ptr<CMainFrameEventImp>& owner) : m_owner(owner) {}

CConfigViewEventImp::~CConfigViewEventImp()
{
    SFDestroyView(m_pView);
}

boost::shared_ptr<CConfigViewEventImp> CConfigViewEventImp::Create(const boost::shared_ptr<CMainFrameEventImp>& owner)
{
    auto page = boost::make_shared<CConfigViewEventImp>(owner);
    page->CreateView();
    return page;
}

int CConfigViewEventImp::CreateView()
{
    m_logic = boost::make_shared<CConfigUILogic>(shared_from_this());
    m_pView = SFCreateView(this);
    if (!m_pView)
        return 0;
    m_pView->SetBackground(L"bg_monitor.png");
    m_pView->SetBGClr(0xDED8D5);
    auto owner = m_owner.lock();
    m_pView->Create(nullptr, L"Config", 0x40000000, ShellRect(0, 0, 1000, 640), owner ? owner->GetUIWnd() : nullptr, 114);
    return 0;
}

void CConfigViewEventImp::SetFileManager(const boost::shared_ptr<CFileManager>& manager)
{
    if (m_logic)
        m_logic->SetFileManager(manager);
}

void CConfigViewEventImp::UpdateOpenedPaths()
{
    if (m_logic)
        m_logic->UpdateOpenedPaths();
}

int CConfigViewEventImp::OnCreate()
{
    CreateLabels();
    CreateFolderFields();
    CreateCombos();
    CreateCheckBoxes();
    FillLanguageCombo();
    if (m_logic)
        m_logic->SetVerticalSync(Settings().VerticalSyn ? 1 : 0);
    return 1;
}

void CConfigViewEventImp::CreateLabels()
{
    for (int i = 0; i < 7; ++i) {
        m_pLabels[i] = SFCreateStatic(nullptr);
        if (!m_pLabels[i])
            continue;
        m_pLabels[i]->SetTextAlignFlag(0x24);
        m_pLabels[i]->SetTextBold(1);
        m_pLabels[i]->Create(GetLangString(kLabelKeys[i]), 0x50000000, ShellRect(0, 0, 80, 24), GetUIWnd(), kLabelId);
        m_pLabels[i]->SetTextColor(kShellTextColour);
    }
}

void CConfigViewEventImp::CreateFolderFields()
{
    const std::pair<CSFEditCtrl**, int> edits[] = {{&m_pSnapPath, kSnapPathEdit}, {&m_pVideoPath, kVideoPathEdit}};
    for (const auto& [edit, id] : edits) {
        *edit = SFCreateEditCtrl(this);
        if (!*edit)
            continue;
        (*edit)->SetSkin(L"bg_edit.png");
        (*edit)->Create(0x50800000, ShellRect(0, 0, 150, 24), GetUIWnd(), id);
        (*edit)->SetWindowTextW(FolderSetting(id).c_str());
    }
    ImageButtonStyle skin =
        MakeButtonStyle({L"btn_commongnor_short.png", L"btn_commongnor_short.png", L"btn_commondown_short.png"});
    const std::pair<CSFButton**, int> buttons[] = {{&m_pSnapBrowse, kSnapBrowse}, {&m_pVideoBrowse, kVideoBrowse}};
    for (const auto& [button, id] : buttons) {
        *button = SFCreateButton(this);
        if (!*button)
            continue;
        (*button)->SetSkin(&skin);
        (*button)->Create(GetLangString(L"Browse"), 0x50000000, ShellRect(0, 0, 60, 24), GetUIWnd(), id);
    }
}

CSFComboBox* CConfigViewEventImp::CreateCombo(int id, std::initializer_list<const wchar_t*> items, int selection)
{
    CSFComboBox* combo = SFCreateComboBox(this);
    if (!combo)
        return nullptr;
    ImageComboBoxStyle skin = SFPageComboStyle();
    combo->SetSkin(&skin);
    combo->Create(0x50000000, ShellRect(0, 0, 100, 200), GetUIWnd(), id);
    for (const wchar_t* item : items)
        combo->AddString(item);
    if (selection >= 0)
        combo->SetCurSel(selection);
    return combo;
}

void CConfigViewEventImp::CreateCombos()
{
    m_pProportion = CreateCombo(kProportionCombo, {L"4:3", L"16:9", L"100%"}, Settings().Proportion);
    m_pSnapFormat = CreateCombo(kSnapFormatCombo, {L"BMP", L"JPG"}, Settings().SnapFormat);
    m_pRecordFormat = CreateCombo(kRecordFormatCombo, {L"KVX", L"AVI"}, Settings().VideoFormat);
    m_pLanguage = CreateCombo(kLanguageCombo, {}, -1);
}

CSFRadioBox* CConfigViewEventImp::CreateCheckBox(int id, const wchar_t* key, int checked, int width)
{
    CSFRadioBox* box = SFCreateRadioBox(this);
    if (!box)
        return nullptr;
    ImageRadioBox skin = MakeCheckBoxStyle();
    box->SetSkin(&skin);
    box->Create(GetLangString(key), 0x50000000, ShellRect(0, 0, width, 24), GetUIWnd(), id);
    box->SetTextAlign(0x24);
    box->SetTextColor(kShellTextColour);
    box->SetCheck(checked);
    return box;
}

void CConfigViewEventImp::CreateCheckBoxes()
{
    const int trace = Settings().ShowTrace;
    m_pRuleLine = CreateCheckBox(kRuleLineCheck, L"Rule Line", (trace & 1) ? 1 : 0, 85);
    m_pAlarmLine = CreateCheckBox(kAlarmLineCheck, L"Alarm Line", (trace & 2) ? 1 : 0, 85);
    m_pTrackLine = CreateCheckBox(kTrackLineCheck, L"Track Line", (trace & 4) ? 1 : 0, 85);
    m_pVerticalSync =
        CreateCheckBox(kVerticalSyncCheck, L"Vertical Synchronization", Settings().VerticalSyn ? 1 : 0, 150);
}

void CConfigViewEventImp::FillLanguageCombo()
{
    m_languages.clear();
    if (!m_pLanguage)
        return;
    const int inUse = Settings().Language;
    const auto choices = CConfigUILogic::MakeLanguageChoices(GetLangString(L"MultiLanguage"), inUse, LanguageName);
    for (std::size_t index = 0; index < choices.size(); ++index) {
        m_pLanguage->AddString(choices[index].second.c_str());
        m_languages[static_cast<int>(index)] = choices[index].first;
        if (choices[index].first == inUse)
            m_pLanguage->SetCurSel(static_cast<int>(index));
    }
}

void CConfigViewEventImp::OnSize(UINT, int, int)
{
    if (!m_pSnapPath)
        return;
    const int labelPlaces[7][2] = {{50, 20}, {50, 88}, {50, 186}, {380, 20}, {380, 88}, {50, 254}, {50, 322}};
    for (int i = 0; i < 7; ++i)
        if (m_pLabels[i])
            m_pLabels[i]->MoveWindow(labelPlaces[i][0], labelPlaces[i][1], i == 6 ? 280 : 200, 24);
    m_pSnapPath->MoveWindow(50, 54, 200, 24);
    if (m_pSnapBrowse)
        m_pSnapBrowse->MoveWindow(260, 52, 70, 28);
    if (m_pSnapFormat)
        m_pSnapFormat->MoveWindow(380, 54, 100, 24);
    if (m_pVideoPath)
        m_pVideoPath->MoveWindow(50, 122, 200, 24);
    if (m_pVideoBrowse)
        m_pVideoBrowse->MoveWindow(260, 120, 70, 28);
    if (m_pRecordFormat)
        m_pRecordFormat->MoveWindow(380, 122, 100, 24);
    if (m_pProportion)
        m_pProportion->MoveWindow(50, 220, 100, 24);
    int x = 50;
    for (CSFRadioBox* box : {m_pRuleLine, m_pAlarmLine, m_pTrackLine}) {
        if (box)
            box->MoveWindow(x, 288, 85, 24);
        x += 90;
    }
    if (m_pLanguage)
        m_pLanguage->MoveWindow(50, 356, 100, 24);
    if (m_pVerticalSync)
        m_pVerticalSync->MoveWindow(50, 390, 220, 24);
}

void CConfigViewEventImp::SelectChanged(int id, int index)
{
    switch (id) {
    case kSnapFormatCombo:
        Settings().SnapFormat = index;
        break;
    case kRecordFormatCombo:
        Settings().VideoFormat = index;
        break;
    case kProportionCombo:
        Settings().Proportion = index;
        ApplyProportion(index);
        break;
    case kLanguageCombo: {
        const auto found = m_languages.find(index);
        if (found != m_languages.end())
            Settings().Language = found->second;
        break;
    }
    default:
        break;
    }
}

void CConfigViewEventImp::ApplyProportion(int index)
{
    auto owner = m_owner.lock();
    if (!owner)
        return;
    const int w = index == 0 ? 4 : index == 1 ? 16 : 0;
    const int h = index == 0 ? 3 : index == 1 ? 9 : 0;
    owner->SetGridProportion(w, h);
}

void CConfigViewEventImp::RADIO_OnClicked(int checked, int id, tagPOINT)
{
    if (id == kVerticalSyncCheck) {
        if (m_logic)
            m_logic->SetVerticalSync(checked);
        Settings().VerticalSyn = checked != 0;
        return;
    }
    if (id != kRuleLineCheck && id != kAlarmLineCheck && id != kTrackLineCheck)
        return;
    int mask = 0;
    if (m_pRuleLine && m_pRuleLine->GetCheck() == 1)
        mask |= 1;
    if (m_pAlarmLine && m_pAlarmLine->GetCheck() == 1)
        mask |= 2;
    if (m_pTrackLine && m_pTrackLine->GetCheck() == 1)
        mask |= 4;
    Settings().ShowTrace = mask;
    if (m_logic)
        m_logic->SetShowTrace(mask);
}

std::wstring& CConfigViewEventImp::FolderSetting(UINT id)
{
    return id == kSnapPathEdit ? Settings().SnapPath : Settings().VideoPath;
}

CSFEditCtrl* CConfigViewEventImp::GetFolderEdit(int id) const
{
    return id == kSnapPathEdit ? m_pSnapPath : id == kVideoPathEdit ? m_pVideoPath : nullptr;
}

CSFComboBox* CConfigViewEventImp::GetCombo(int id) const
{
    switch (id) {
    case kProportionCombo: return m_pProportion;
    case kSnapFormatCombo: return m_pSnapFormat;
    case kRecordFormatCombo: return m_pRecordFormat;
    case kLanguageCombo: return m_pLanguage;
    default: return nullptr;
    }
}

CSFRadioBox* CConfigViewEventImp::GetCheckBox(int id) const
{
    switch (id) {
    case kRuleLineCheck: return m_pRuleLine;
    case kAlarmLineCheck: return m_pAlarmLine;
    case kTrackLineCheck: return m_pTrackLine;
    case kVerticalSyncCheck: return m_pVerticalSync;
    default: return nullptr;
    }
}

void CConfigViewEventImp::EDIT_OnEditingFinished(UINT id, wchar_t* text)
{
    CSFEditCtrl* edit = GetFolderEdit(static_cast<int>(id));
    if (!edit)
        return;
    std::wstring& setting = FolderSetting(id);
    const std::wstring typed = text ? text : L"";
    const auto check = CConfigUILogic::CheckFolderText(typed);
    if (check != CConfigUILogic::kFolderTextOk) {
        edit->SetWindowTextW(setting.c_str());
        Prompt(check == CConfigUILogic::kFolderTextTooLong ? L"The path is too long. Please select again!"
                                                           : L"The path can not be empty!");
        return;
    }
    const std::wstring normalised = CConfigUILogic::NormaliseFolderText(typed);
    if (normalised == setting)
        return;
    const std::wstring folder = CConfigUILogic::MakeStoredFolder(normalised);
    if (folder != setting && SF_SOFT_BASE::CreateDirectoryRecursive(folder) == -1) {
        edit->SetWindowTextW(setting.c_str());
        Prompt(L"The path is invalid!");
        return;
    }
    edit->SetWindowTextW(folder.c_str());
    setting = folder;
}

void CConfigViewEventImp::BrowseFolder(CSFEditCtrl* edit, std::wstring& setting)
{
    std::wstring record(kFolderRows * kFolderRowLength, L'\0');
    wchar_t file[256] = {};
    if (!SFShowFileDialog(record.data(), file, 256, 0, 0, nullptr, 0, 0x800206, nullptr, GetUIWnd()))
        return;
    std::wstring folder(record.c_str() + 2 * kFolderRowLength);
    if (folder.size() > CConfigUILogic::kMaxFolderLength) {
        Prompt(L"The path is too long. Please select again!");
        return;
    }
    if (folder.empty())
        return;
    if (folder.back() != L'/')
        folder += L'/';
    setting = folder;
    if (edit)
        edit->SetWindowTextW(folder.c_str());
}

void CConfigViewEventImp::OnSFBtnBrowseSnapPath()
{
    BrowseFolder(m_pSnapPath, Settings().SnapPath);
}

void CConfigViewEventImp::OnSFBtnBrowseVideoPath()
{
    BrowseFolder(m_pVideoPath, Settings().VideoPath);
}

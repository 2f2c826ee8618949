#include "Main/CustomLayoutDlgEventImp.h"

#include <boost/make_shared.hpp>

#include <cstdio>
#include <list>
#include <vector>

#include "Common/ConfigManager.h"
#include "Common/CustomLayoutStore.h"
#include "Common/LangString.h"
#include "Main/PlayWinManagerEventImp.h"
#include "Main/ShellSkins.h"
#include "Widgets/SFWidgetFactory.h"
#include "Widgets/SkinStyles.h"
#include "Widgets/StandardFrameStyle.h"

namespace {

constexpr DWORD kControlStyle = 0x10010000;
constexpr DWORD kSlotColour = 0xFFC8C8C8;
constexpr DWORD kSelectedColour = 0xFF8F8F8F;
constexpr int kLayoutBufferSize = 11100;

int WindowCountOf(const std::string& layout, int fallback)
{
    int count = fallback;
    std::sscanf(layout.c_str(), "%*d/%*d/%d/", &count);
    return count;
}

void RowsAndColumnsOf(const std::string& layout, int fallback, int& rows, int& columns)
{
    rows = columns = fallback;
    if (std::sscanf(layout.c_str(), "%d/%d/", &rows, &columns) != 2)
        rows = columns = fallback;
}

tagRECT Box(int left, int top, int right, int bottom)
{
    return tagRECT{left, top, right, bottom};
}

CSFStatic* MakeLabel(const wchar_t* key, const tagRECT& rect, void* parent, UINT align)
{
    CSFStatic* label = SFCreateStatic(nullptr);
    if (!label)
        return nullptr;
    label->Create(GetLangString(key), kControlStyle, rect, parent, UINT(-1));
    label->SetTextColor(kShellTextColour);
    if (align)
        label->SetTextAlignFlag(align);
    return label;
}

CSFButton* MakeButton(const wchar_t* key, const tagRECT& rect, void* parent, UINT id)
{
    CSFButton* button = SFCreateButton(nullptr);
    if (!button)
        return nullptr;
    ImageButtonStyle skin;
    skin.str0 = skin.str1 = L"btn_commongnor_short.png";
    skin.str2 = L"btn_commondown_short.png";
    button->SetSkin(&skin);
    button->Create(GetLangString(key), kControlStyle, rect, parent, id);
    return button;
}

CSFNumSpiner* MakeSpinner(ISFNumSpinerEvent* handler, const tagRECT& rect, void* parent, UINT id)
{
    CSFNumSpiner* spinner = SFCreateNumSpiner(handler);
    if (!spinner)
        return nullptr;
    ImageNumSpinerStyle skin;
    skin.str0 = L"spiner_time_normal.png";
    skin.str1 = skin.str2 = L"down_button_normal.png";
    skin.str3 = L"down_button_press.png";
    skin.str4 = L"down_button_disable.png";
    skin.str8 = skin.str9 = L"up_button_normal.png";
    skin.str10 = L"up_button_press.png";
    skin.str11 = L"up_button_disable.png";
    spinner->SetSkin(&skin);
    spinner->Create(L"", rect, parent, id);
    spinner->SetRange(1, 8);
    return spinner;
}

}  // namespace

SF_BEGIN_MESSAGE_MAP(CCustomLayoutDlgEventImp)
    SF_ON_COMMAND(CCustomLayoutDlgEventImp::kDefaultButtonId, OnBnClickedDefault)
SF_END_MESSAGE_MAP()

boost::shared_ptr<CCustomLayoutDlgEventImp> CCustomLayoutDlgEventImp::Create(boost::weak_ptr<CPlayWinManagerEventImp> manager)
{
    boost::shared_ptr<CCustomLayoutDlgEventImp> dialog = boost::make_shared<CCustomLayoutDlgEventImp>(manager);
    dialog->CreateDialog();
    return dialog;
}

CCustomLayoutDlgEventImp::CCustomLayoutDlgEventImp(boost::weak_ptr<CPlayWinManagerEventImp> manager)
    : m_manager(std::move(manager))
{
}

CCustomLayoutDlgEventImp::~CCustomLayoutDlgEventImp()
{
    // Only what OK confirmed; a failed write is tried once more.
    if (m_unsaved)
        SaveLayouts();
    if (m_dialogAlive)
        SFDestroyDialog(m_dialog);
}

std::array<std::string, CCustomLayoutDlgEventImp::kSlotCount> CCustomLayoutDlgEventImp::LoadStoredSlots()
{
    std::list<std::string> stored;
    LoadCustomLayouts(stored);
    std::array<std::string, kSlotCount> layouts;
    auto it = stored.begin();
    for (int k = 0; k < kSlotCount; ++k) {
        if (it != stored.end())
            layouts[std::size_t(k)] = *it++;
        else
            layouts[std::size_t(k)] = CSFVideoWindow::GetDefaultLayout(LAYOUT_TYPE(k));
    }
    return layouts;
}

int CCustomLayoutDlgEventImp::CreateDialog()
{
    m_slots = LoadStoredSlots();
    m_confirmed = m_slots;
    boost::shared_ptr<CPlayWinManagerEventImp> manager = m_manager.lock();
    void* parent = manager ? manager->GetUIWnd() : nullptr;
    m_dialog = SFCreateDialog(this, parent);
    if (!m_dialog)
        return 0;
    m_dialogAlive = dynamic_cast<QObject*>(m_dialog);
    DialogStyle style = SFStandardFrameStyle();
    style.str1 = L"bg_monitor.png";
    m_dialog->SetSkin(&style);
    m_dialog->Create(L"CustomLayoutDlg", parent);
    m_dialog->SetWindowTextW(GetLangString(L"Custom Layout"));
    m_dialog->MoveWindow(0, 0, 650, 450);
    m_dialog->SetDrawBackGround(1);
    m_dialog->ShowWindow(0);
    return 0;
}

void CCustomLayoutDlgEventImp::LabelSlot(int index, int windows)
{
    if (CSFRadioBox* button = m_slotButtons[std::size_t(index)])
        button->SetWindowTextW((std::to_wstring(windows) + GetLangString(L"Video")).c_str());
}

void CCustomLayoutDlgEventImp::CreateWidgets()
{
    void* parent = GetUIWnd();
    for (int k = 0; k < kSlotCount; ++k) {
        CSFRadioBox* button = SFCreateRadioBox(this);
        if (!button)
            continue;
        ImageRadioBox skin{L"btn_win9check.png", L"btn_win9check.png", L"btn_win9check.png",
                           L"btn_win9uncheck.png", L"btn_win9uncheck.png", L"btn_win9uncheck.png",
                           L"btn_win9check.png", L"btn_win9uncheck.png"};
        button->SetSkin(&skin);
        button->Create(L"", kControlStyle, Box(30, 70 + 32 * k, 190, 102 + 32 * k), parent, UINT(kFirstSlotId + k));
        button->SetBkColor(kSlotColour);
        m_slotButtons[std::size_t(k)] = button;
        LabelSlot(k, WindowCountOf(m_slots[std::size_t(k)], 0));
    }
    m_titleLabel = MakeLabel(L"Custom Layout", Box(45, 35, 95, 59), parent, 0);
    m_rowLabel = MakeLabel(L"-Row", Box(250, 35, 300, 59), parent, 0x26);
    m_rowSpinner = MakeSpinner(this, Box(308, 38, 368, 62), parent, kRowSpinnerId);
    m_columnLabel = MakeLabel(L"-Column", Box(388, 35, 438, 59), parent, 0x26);
    m_columnSpinner = MakeSpinner(this, Box(454, 38, 514, 62), parent, kColumnSpinnerId);
    m_preview = SFCreateVideoWindow(VIDEOWINDOWMODE_LAYOUT_EDIT, this, 8, 8);
    if (m_preview) {
        ImageVideoWindowStyle skin;
        skin.str0 = L"NoVideo.png";
        skin.str13 = L"8f8f8f";
        skin.str14 = L"a4c746";
        skin.str15 = L"fa0000";
        skin.str16 = L"586f1b";
        skin.str17 = L"00fa00";
        skin.str18 = L"38b6ff";
        skin.str19 = skin.str20 = L"2";
        m_preview->SetSkin(&skin);
        m_preview->Create(L"VideoWindowLayout", Box(200, 70, 620, 390), parent, 187);
    }
    m_defaultButton = MakeButton(L"Default", Box(75, 405, 145, 433), parent, kDefaultButtonId);
    m_okButton = MakeButton(L"OK", Box(450, 405, 520, 433), parent, 1);
    m_cancelButton = MakeButton(L"Cancel", Box(540, 405, 610, 433), parent, 2);
}

void CCustomLayoutDlgEventImp::Dlg_OnInitDialog(int modeless)
{
    if (modeless != 1)
        return;
    CreateWidgets();
    m_selectedId = 176;
    // The play-window manager applied the stored slot at start.
    const int stored = CConfigManager::GetInstance()->VideoLayout;
    if (stored >= kFirstSlotId && stored <= kLastSlotId)
        m_selectedId = stored;
    if (CSFRadioBox* selected = GetRadioBox(m_selectedId)) {
        selected->SetBkColor(kSelectedColour);
        selected->SetCheck(1);
    }
    ShowSlot(m_selectedId, 2);
}

void CCustomLayoutDlgEventImp::ShowSlot(int id, int defaultCells)
{
    const std::string layout = m_slots[std::size_t(id - kFirstSlotId)];
    int rows = 0;
    int columns = 0;
    RowsAndColumnsOf(layout, defaultCells, rows, columns);
    if (m_preview)
        m_preview->SetDefaultLayout(LAYOUT_CUSTOM, layout.c_str());
    if (m_rowSpinner)
        m_rowSpinner->SetCurrentNum(rows);
    if (m_columnSpinner)
        m_columnSpinner->SetCurrentNum(columns);
}

int CCustomLayoutDlgEventImp::Run(int x, int y)
{
    if (!m_dialog)
        return 0;
    m_dialog->SetDlgWindowPos(nullptr, x, y, 0, 0, 1);
    return m_dialog->DoModalDlg();
}

void CCustomLayoutDlgEventImp::Dlg_OnOK()
{
    if (m_slots != m_confirmed) {
        m_confirmed = m_slots;
        m_unsaved = true;
    }
    // Confirmed edits reach the file at once, not only at exit.
    if (m_unsaved)
        m_unsaved = !SaveLayouts();
}

void CCustomLayoutDlgEventImp::Dlg_OnCancel()
{
    // Cancel, Esc and closing drop the edits since the last OK.
    if (m_slots == m_confirmed)
        return;
    m_slots = m_confirmed;
    ShowAllSlots();
}

int CCustomLayoutDlgEventImp::Dlg_Close()
{
    Dlg_OnCancel();
    return 0;
}

void CCustomLayoutDlgEventImp::ShowAllSlots()
{
    for (int k = 0; k < kSlotCount; ++k)
        LabelSlot(k, WindowCountOf(m_slots[std::size_t(k)], 1));
    ShowSlot(m_selectedId, 1);
}

std::string CCustomLayoutDlgEventImp::GetSelectedLayout() const
{
    if (m_selectedId < kFirstSlotId || m_selectedId > kLastSlotId)
        return {};
    return m_slots[std::size_t(m_selectedId - kFirstSlotId)];
}

CSFRadioBox* CCustomLayoutDlgEventImp::GetRadioBox(int id) const
{
    return id >= kFirstSlotId && id <= kLastSlotId ? m_slotButtons[std::size_t(id - kFirstSlotId)] : nullptr;
}

void CCustomLayoutDlgEventImp::RADIO_OnClicked(int flag, int id, tagPOINT)
{
    if (flag == 0 || id == m_selectedId) {
        if (CSFRadioBox* button = GetRadioBox(id))
            button->SetCheck(1);
        return;
    }
    if (id < kFirstSlotId || id > kLastSlotId)
        return;
    if (CSFRadioBox* previous = GetRadioBox(m_selectedId)) {
        previous->SetCheck(0);
        previous->SetBkColor(kSlotColour);
    }
    m_selectedId = id;
    if (CSFRadioBox* selected = GetRadioBox(id)) {
        selected->SetBkColor(kSelectedColour);
        selected->SetCheck(1);
    }
    ShowSlot(id, 2);
}

void CCustomLayoutDlgEventImp::OnCurrentNumChanged(UINT id, int value)
{
    if (!m_preview)
        return;
    if (id == kRowSpinnerId)
        m_preview->SetRows(value);
    else if (id == kColumnSpinnerId)
        m_preview->SetColumns(value);
}

void CCustomLayoutDlgEventImp::OnLayoutChanged()
{
    if (!m_preview || m_selectedId < kFirstSlotId || m_selectedId > kLastSlotId)
        return;
    std::vector<char> buffer(kLayoutBufferSize, 0);
    m_preview->GetLayout(buffer.data(), kLayoutBufferSize - 1);
    std::string& slot = m_slots[std::size_t(m_selectedId - kFirstSlotId)];
    const std::string layout(buffer.data());
    if (layout.empty() || layout == slot)
        return;
    slot = layout;
    LabelSlot(m_selectedId - kFirstSlotId, m_preview->GetCurrentSubWinCount());
}

void CCustomLayoutDlgEventImp::OnBnClickedDefault()
{
    for (int k = 0; k < kSlotCount; ++k)
        m_slots[std::size_t(k)] = CSFVideoWindow::GetDefaultLayout(LAYOUT_TYPE(k));
    ShowAllSlots();
}

void CCustomLayoutDlgEventImp::OnDlgKeyDown(UINT, UINT key)
{
    if (!m_dialog)
        return;
    if (key == 27)
        m_dialog->MFCCancel();
    else if (key == 13)
        m_dialog->MFCOK();
    else if (key == 38 && m_selectedId - 1 >= kFirstSlotId)
        RADIO_OnClicked(1, m_selectedId - 1, tagPOINT{1, 1});
    else if (key == 40 && m_selectedId + 1 <= kLastSlotId)
        RADIO_OnClicked(1, m_selectedId + 1, tagPOINT{1, 1});
}

bool CCustomLayoutDlgEventImp::SaveLayouts() const
{
    return SaveCustomLayouts(std::list<std::string>(m_confirmed.begin(), m_confirmed.end()));
}

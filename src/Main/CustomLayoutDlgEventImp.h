#pragma once

#include <array>
#include <string>

#include <QObject>
#include <QPointer>

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Widgets/SFControlEvents.h"
#include "Widgets/SFDialogEvent.h"
#include "Widgets/SFVideoWindowEvent.h"

class CPlayWinManagerEventImp;
class CSFButton;
class CSFDialog;
class CSFNumSpiner;
class CSFRadioBox;
class CSFStatic;
class CSFVideoWindow;

// The custom-layout dialog: ten layout slots, a grid that edits the chosen
// slot, row and column spinners and a button that restores the standard
// layouts. Edits are saved when the user confirms them with OK; Cancel
// drops them.
class CCustomLayoutDlgEventImp : public ISFDialogEvent,
                                 public ISFRadioBoxEvent,
                                 public ISFNumSpinerEvent,
                                 public ISFVideoWindowEvent,
                                 public ISFButtonEvent {
    SF_DECLARE_MESSAGE_MAP()

public:
    static constexpr int kSlotCount = 10;
    static constexpr int kFirstSlotId = 175;
    static constexpr int kLastSlotId = 184;
    static constexpr int kRowSpinnerId = 185;
    static constexpr int kColumnSpinnerId = 186;
    static constexpr int kDefaultButtonId = 188;

    static boost::shared_ptr<CCustomLayoutDlgEventImp> Create(boost::weak_ptr<CPlayWinManagerEventImp> manager);
    explicit CCustomLayoutDlgEventImp(boost::weak_ptr<CPlayWinManagerEventImp> manager);
    ~CCustomLayoutDlgEventImp() override;

    int CreateDialog();
    // Places the dialog's top-left corner at (x, y) and runs it; its result.
    int Run(int x, int y);
    void Dlg_OnInitDialog(int modeless) override;
    void Dlg_OnOK() override;
    void Dlg_OnCancel() override;
    // The title bar's close drops the edits as Cancel does.
    int Dlg_Close() override;
    void RADIO_OnClicked(int flag, int id, tagPOINT point) override;
    void OnCurrentNumChanged(UINT id, int value) override;
    void OnLayoutChanged() override;
    void OnBnClickedDefault();
    void OnDlgKeyDown(UINT key, UINT flags) override;

    CSFDialog* GetDialog() const { return m_dialog; }
    int GetSelectedLayoutID() const { return m_selectedId; }
    std::string GetSelectedLayout() const;
    std::string GetSlot(int index) const { return m_slots[std::size_t(index)]; }
    CSFRadioBox* GetRadioBox(int id) const;
    CSFVideoWindow* GetPreview() const { return m_preview; }
    CSFNumSpiner* GetSpinner(int id) const { return id == kRowSpinnerId ? m_rowSpinner : m_columnSpinner; }
    // Writes the slots as last confirmed (or loaded).
    bool SaveLayouts() const;
    // The slots as stored; a slot the file lacks holds its standard layout.
    static std::array<std::string, kSlotCount> LoadStoredSlots();

private:
    void CreateWidgets();
    void ShowSlot(int id, int defaultCells);
    void LabelSlot(int index, int windows);
    void ShowAllSlots();

    CSFDialog* m_dialog = nullptr;
    QPointer<QObject> m_dialogAlive;  // null once its Qt parent deleted it
    boost::weak_ptr<CPlayWinManagerEventImp> m_manager;
    std::array<CSFRadioBox*, kSlotCount> m_slotButtons{};
    int m_selectedId = 176;
    CSFVideoWindow* m_preview = nullptr;
    CSFButton* m_defaultButton = nullptr;
    CSFButton* m_okButton = nullptr;
    CSFButton* m_cancelButton = nullptr;
    CSFStatic* m_titleLabel = nullptr;
    CSFStatic* m_columnLabel = nullptr;
    CSFStatic* m_rowLabel = nullptr;
    CSFNumSpiner* m_rowSpinner = nullptr;
    CSFNumSpiner* m_columnSpinner = nullptr;
    std::array<std::string, kSlotCount> m_slots;      // as edited
    std::array<std::string, kSlotCount> m_confirmed;  // as loaded or confirmed with OK
    bool m_unsaved = false;  // confirmed slots the file does not hold yet
};

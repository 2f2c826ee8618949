#pragma once

#include <map>

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Widgets/SFControlEvents.h"
#include "Widgets/SFViewEvent.h"
#include "Widgets/WidgetTypes.h"

class CPlayWinManagerEventImp;
class CSFButton;
class CSFRadioBox;
class CSFView;

// The column of grid-layout buttons left of the main grid, with the button
// that opens the custom-layout dialog.
class CLayoutBarEventImp : public ISFViewEvent, public ISFRadioBoxEvent {
    SF_DECLARE_MESSAGE_MAP()

public:
    static constexpr int kFirstLayoutId = 146;
    static constexpr int kLastLayoutId = 154;
    static constexpr int kCustomButtonId = 155;

    static boost::shared_ptr<CLayoutBarEventImp> Create(boost::weak_ptr<CPlayWinManagerEventImp> manager);
    explicit CLayoutBarEventImp(boost::weak_ptr<CPlayWinManagerEventImp> manager);
    ~CLayoutBarEventImp() override;

    int CreateView(void* parentWindow);
    CSFView* GetView() const { return m_view; }
    int OnCreate() override;
    void RADIO_OnClicked(int flag, int id, tagPOINT point) override;
    void OnBnClickedCustomLayout();
    int SelectLayoutByWndCount(int count);

    // The grid layout of a button id; -1 for any other id.
    static int LayoutTypeOfId(int id);
    // Top-to-bottom order of the layout buttons.
    static const int* ButtonOrder();
    CSFRadioBox* GetRadio(int id) const;
    CSFButton* GetCustomButton() const { return m_customButton; }

private:
    CSFView* m_view = nullptr;
    boost::weak_ptr<CPlayWinManagerEventImp> m_manager;
    std::map<int, CSFRadioBox*> m_radios;
    CSFButton* m_customButton = nullptr;
};

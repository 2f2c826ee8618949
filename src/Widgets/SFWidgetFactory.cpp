#include "Widgets/SFWidgetFactory.h"

#include <new>

#include "Widgets/SFQTButton.h"
#include "Widgets/SFQTCheckBox.h"
#include "Widgets/SFQTChildWnd.h"
#include "Widgets/SFQTComboBox.h"
#include "Widgets/SFQTDateTimeCtrl.h"
#include "Widgets/SFQTDialog.h"
#include "Widgets/SFQTEditCtrl.h"
#include "Widgets/SFQTFrame.h"
#include "Widgets/SFQTGroupBox.h"
#include "Widgets/SFQTImagePanel.h"
#include "Widgets/SFQTListBox.h"
#include "Widgets/SFQTListCtrl.h"
#include "Widgets/SFQTMainWindow.h"
#include "Widgets/SFQTNumSpiner.h"
#include "Widgets/SFQTPictureCtrl.h"
#include "Widgets/SFQTProgressCtrl.h"
#include "Widgets/SFQTRadioBox.h"
#include "Widgets/SFQTSliderCtrl.h"
#include "Widgets/SFQTStatic.h"
#include "Widgets/SFQTTreeCtrl.h"
#include "Widgets/SFQTView.h"

CSFDialog* SFCreateDialog(ISFDialogEvent* handler, void* parent, Qt::WindowFlags flags)
{
    return new (std::nothrow) CSFQTDialog(handler, static_cast<QWidget*>(parent), flags);
}

CSFDialog* SFCreateMainWindow(ISFDialogEvent* handler, void* parent)
{
    return new (std::nothrow) CSFQTMainWindow(handler, static_cast<QWidget*>(parent));
}

CSFButton* SFCreateButton(ISFButtonEvent* handler)
{
    return new (std::nothrow) CSFQTButton(handler);
}

CSFView* SFCreateView(ISFViewEvent* handler)
{
    return new (std::nothrow) CSFQTView(handler);
}

CSFFrameWnd* SFCreateFrameWnd(ISFFrameEvent* handler)
{
    return new (std::nothrow) CSFQTFrame(handler);
}

CSFChildWnd* SFCreateChildWnd(ISFChildWndEvent* handler)
{
    return new (std::nothrow) CSFQTChildWnd(handler);
}

CSFCheckBox* SFCreateCheckBox(ISFCheckBoxEvent* handler)
{
    return new (std::nothrow) CSFQTCheckBox(handler);
}

CSFRadioBox* SFCreateRadioBox(ISFRadioBoxEvent* handler)
{
    return new (std::nothrow) CSFQTRadioBox(handler);
}

CSFEditCtrl* SFCreateEditCtrl(ISFEditCtrlEvent* handler)
{
    return new (std::nothrow) CSFQTEditCtrl(handler);
}

CSFComboBox* SFCreateComboBox(ISFComboBoxEvent* handler)
{
    return new (std::nothrow) CSFQTComboBox(handler);
}

CSFListBox* SFCreateListBox(ISFListBoxEvent* handler)
{
    return new (std::nothrow) CSFQTListBox(handler);
}

CSFGroupBox* SFCreateGroupBox(ISFGroupBoxEvent* handler)
{
    return new (std::nothrow) CSFQTGroupBox(handler);
}

CSFStatic* SFCreateStatic(ISFStaticEvent* handler)
{
    return new (std::nothrow) CSFQTStatic(handler);
}

CSFPictureCtrl* SFCreatePictureCtrl(ISFPictureCtrlEvent* handler)
{
    return new (std::nothrow) CSFQTPictureCtrl(handler);
}

CSFSliderCtrl* SFCreateSliderCtrl(ISFSliderCtrlEvent* handler)
{
    return new (std::nothrow) CSFQTSliderCtrl(handler);
}

CSFProgressCtrl* SFCreateProgressCtrl(ISFProgressCtrlEvent* handler)
{
    return new (std::nothrow) CSFQTProgressCtrl(handler);
}

CSFListCtrl* SFCreateListCtrl(ISFListCtrlEvent* handler)
{
    return new (std::nothrow) CSFQTListCtrl(handler);
}

CSFTreeCtrl* SFCreateTreeCtrl(ISFTreeCtrlEvent* handler)
{
    return new (std::nothrow) CSFQTTreeCtrl(handler);
}

CSFDateTimeCtrl* SFCreateDateTimeCtrl(ISFDateTimeCtrlEvent* handler, int dateMode)
{
    return new (std::nothrow) CSFQTDateTimeCtrl(handler, dateMode);
}

CSFNumSpiner* SFCreateNumSpiner(ISFNumSpinerEvent* handler)
{
    return new (std::nothrow) CSFQTNumSpiner(handler);
}

CSFImagePanel* SFCreateImagePanel(ISFImagePanelEvent* handler)
{
    return new (std::nothrow) CSFQTImagePanel(handler);
}


CSFTabCtrl* SFCreateTabCtrl(ISFTabCtrlEvent*) { return nullptr; }
CSFMonthCalCtrl* SFCreateMonthCalCtrl(ISFMonthCalCtrlEvent*) { return nullptr; }
CSFIPAddressCtrl* SFCreateIPAddressCtrl(ISFIPAddressCtrlEvent*) { return nullptr; }
CSFControlBar* SFCreateControlBar(ISFControlBarEvent*) { return nullptr; }
bool SFCreateWndTabBar(ISFWndTabBarEvent*) { return false; }
CSFPlayControlPanel* SFCreatePlayControlPanel(IPlayControlEvent*) { return nullptr; }
CSFPictureEx* SFCreatePictureEx(ISFPictureExEvent*) { return nullptr; }

void SFDestroyDialog(CSFDialog* dialog)
{
    delete dialog;
}

void SFDestroyMainWindow(CSFDialog* window)
{
    delete window;
}

void SFDestroyButton(CSFButton* button)
{
    delete button;
}

void SFDestroyView(CSFView*) {}
void SFDestroyRadioBox(CSFRadioBox*) {}
void SFDestroyPictureCtrl(CSFPictureCtrl*) {}

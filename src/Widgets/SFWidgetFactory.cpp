#include "Widgets/SFWidgetFactory.h"

#include <new>

#include "Widgets/SFQTButton.h"
#include "Widgets/SFQTDialog.h"
#include "Widgets/SFQTMainWindow.h"
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

CSFFrameWnd* SFCreateFrameWnd(ISFFrameEvent*) { return nullptr; }
CSFChildWnd* SFCreateChildWnd(ISFChildWndEvent*) { return nullptr; }
CSFCheckBox* SFCreateCheckBox(ISFCheckBoxEvent*) { return nullptr; }
CSFRadioBox* SFCreateRadioBox(ISFRadioBoxEvent*) { return nullptr; }
CSFEditCtrl* SFCreateEditCtrl(ISFEditCtrlEvent*) { return nullptr; }
CSFComboBox* SFCreateComboBox(ISFComboBoxEvent*) { return nullptr; }
CSFListBox* SFCreateListBox(ISFListBoxEvent*) { return nullptr; }
CSFGroupBox* SFCreateGroupBox(ISFGroupBoxEvent*) { return nullptr; }
CSFStatic* SFCreateStatic(ISFStaticEvent*) { return nullptr; }
CSFPictureCtrl* SFCreatePictureCtrl(ISFPictureCtrlEvent*) { return nullptr; }
CSFSliderCtrl* SFCreateSliderCtrl(ISFSliderCtrlEvent*) { return nullptr; }
CSFProgressCtrl* SFCreateProgressCtrl(ISFProgressCtrlEvent*) { return nullptr; }
CSFListCtrl* SFCreateListCtrl(ISFListCtrlEvent*) { return nullptr; }
CSFTreeCtrl* SFCreateTreeCtrl(ISFTreeCtrlEvent*) { return nullptr; }
CSFDateTimeCtrl* SFCreateDateTimeCtrl(ISFDateTimeCtrlEvent*, int) { return nullptr; }
CSFNumSpiner* SFCreateNumSpiner(ISFNumSpinerEvent*) { return nullptr; }
CSFImagePanel* SFCreateImagePanel(ISFImagePanelEvent*) { return nullptr; }

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

#pragma once

// Factories: the only place where event objects obtain widgets. Each
// creator returns the abstract part of a new Qt widget, or null when the
// kind has no Qt form (yet) or allocation failed. Top-level windows are
// deleted by their destroyers; child widgets belong to their Qt parent and
// their destroyers do nothing.

#include <Qt>

#include "Widgets/PlayProgressTypes.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFCheckBox.h"
#include "Widgets/SFChildWnd.h"
#include "Widgets/SFComboBox.h"
#include "Widgets/SFControlBar.h"
#include "Widgets/SFDateTimeCtrl.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFFrameWnd.h"
#include "Widgets/SFGroupBox.h"
#include "Widgets/SFIPAddressCtrl.h"
#include "Widgets/SFImagePanel.h"
#include "Widgets/SFListBox.h"
#include "Widgets/SFListCtrl.h"
#include "Widgets/SFMonthCalCtrl.h"
#include "Widgets/SFNumSpiner.h"
#include "Widgets/SFPictureCtrl.h"
#include "Widgets/SFPictureEx.h"
#include "Widgets/SFPlayControlPanel.h"
#include "Widgets/SFPlayProgressPanel.h"
#include "Widgets/SFProgressCtrl.h"
#include "Widgets/SFRadioBox.h"
#include "Widgets/SFSliderCtrl.h"
#include "Widgets/SFStatic.h"
#include "Widgets/SFTabCtrl.h"
#include "Widgets/SFTreeCtrl.h"
#include "Widgets/SFVideoWindow.h"
#include "Widgets/SFView.h"
#include "Widgets/SFWndTabBar.h"

CSFDialog* SFCreateDialog(ISFDialogEvent* handler, void* parent, Qt::WindowFlags flags = {});
CSFDialog* SFCreateMainWindow(ISFDialogEvent* handler, void* parent);
CSFButton* SFCreateButton(ISFButtonEvent* handler);
CSFView* SFCreateView(ISFViewEvent* handler);

CSFFrameWnd* SFCreateFrameWnd(ISFFrameEvent* handler);
CSFChildWnd* SFCreateChildWnd(ISFChildWndEvent* handler);
CSFCheckBox* SFCreateCheckBox(ISFCheckBoxEvent* handler);
CSFRadioBox* SFCreateRadioBox(ISFRadioBoxEvent* handler);
CSFEditCtrl* SFCreateEditCtrl(ISFEditCtrlEvent* handler);
CSFComboBox* SFCreateComboBox(ISFComboBoxEvent* handler);
CSFListBox* SFCreateListBox(ISFListBoxEvent* handler);
CSFGroupBox* SFCreateGroupBox(ISFGroupBoxEvent* handler);
CSFStatic* SFCreateStatic(ISFStaticEvent* handler);
CSFPictureCtrl* SFCreatePictureCtrl(ISFPictureCtrlEvent* handler);
CSFSliderCtrl* SFCreateSliderCtrl(ISFSliderCtrlEvent* handler);
CSFProgressCtrl* SFCreateProgressCtrl(ISFProgressCtrlEvent* handler);
CSFListCtrl* SFCreateListCtrl(ISFListCtrlEvent* handler);
CSFTreeCtrl* SFCreateTreeCtrl(ISFTreeCtrlEvent* handler);
CSFDateTimeCtrl* SFCreateDateTimeCtrl(ISFDateTimeCtrlEvent* handler, int dateMode);
CSFNumSpiner* SFCreateNumSpiner(ISFNumSpinerEvent* handler);
CSFImagePanel* SFCreateImagePanel(ISFImagePanelEvent* handler);
// Defined with the video widgets (library VideoWidgets), which link this one.
CSFPlayProgressPanel* SFCreatePlayProgressPanel(IPlayProgressEvent* handler);
CSFVideoWindow* SFCreateVideoWindow(VIDEOWINDOWMODE mode, ISFVideoWindowEvent* handler, int maxRows, int maxColumns);

// Kinds without a Qt form: nothing is created.
CSFTabCtrl* SFCreateTabCtrl(ISFTabCtrlEvent* handler);
CSFMonthCalCtrl* SFCreateMonthCalCtrl(ISFMonthCalCtrlEvent* handler);
CSFIPAddressCtrl* SFCreateIPAddressCtrl(ISFIPAddressCtrlEvent* handler);
CSFControlBar* SFCreateControlBar(ISFControlBarEvent* handler);
bool SFCreateWndTabBar(ISFWndTabBarEvent* handler);
CSFPlayControlPanel* SFCreatePlayControlPanel(IPlayControlEvent* handler);
CSFPictureEx* SFCreatePictureEx(ISFPictureExEvent* handler);

void SFDestroyDialog(CSFDialog* dialog);
void SFDestroyMainWindow(CSFDialog* window);
void SFDestroyButton(CSFButton* button);
void SFDestroyView(CSFView* view);
void SFDestroyRadioBox(CSFRadioBox* radio);
void SFDestroyPictureCtrl(CSFPictureCtrl* picture);

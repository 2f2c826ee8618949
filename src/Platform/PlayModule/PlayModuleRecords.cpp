#include "Platform/PlayModule/PlayModule.h"

namespace PLAY_MODULE {

// Index and data recording need the recording format's reader and index
// scan; until they are wired in these report failure.

int CPlayModule::GetKeyFramePos(unsigned int, FRAME_POS*) { return 0; }
int CPlayModule::GetNextKeyFramePos(unsigned int, FRAME_POS*) { return 0; }
int CPlayModule::GetKeyFramePosByAbsTime(_SYSTEMTIME, FRAME_POS&) { return 0; }
int CPlayModule::GetNextKeyFramePosByAbsTime(_SYSTEMTIME, FRAME_POS&) { return 0; }
int CPlayModule::GetRefValue(unsigned char*, unsigned int*) { return 0; }
int CPlayModule::SetRefValue(unsigned char*, unsigned int) { return 0; }
int CPlayModule::StartDataRecord(const char*, int) { return 0; }
int CPlayModule::StopDataRecord() { return 0; }
int CPlayModule::OpenIVSTrack() { return 1; }
int CPlayModule::CloseIVSTrack() { return 1; }

}  // namespace PLAY_MODULE

#pragma once

namespace LumivexBase {

// Registers a Qt-driven loop for the calling (GUI) thread under ML_MAIN.
void RegisterGuiLoop();
// Starts a worker thread running a new loop and registers it under loopId.
// False when the thread could not be made (nothing is registered then).
bool StartWorkerLoop(int loopId, int stackSize = 0);

}  // namespace LumivexBase

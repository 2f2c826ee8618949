#pragma once

#include <initializer_list>

namespace LumivexBase {

// Registers a Qt-driven loop for the calling (GUI) thread under ML_MAIN.
void RegisterGuiLoop();
// Starts a worker thread running a new loop and registers it under loopId.
// False when the thread could not be made (nothing is registered then).
bool StartWorkerLoop(int loopId, int stackSize = 0);
// Starts the loops' threads at once. False when one could not be made; the
// loops started before it are registered.
bool StartWorkerLoops(std::initializer_list<int> loopIds, int stackSize = 0);

}  // namespace LumivexBase

#pragma once

// Play and group handles: pointer-sized values that are never 0 and never
// handed out twice in a run, so a late task for a closed window cannot reach
// a newly opened one.
void* NewPlayHandle();

#pragma once
// The roll: the desktop picture as one tile of an endless plane, a viewpoint gliding over it
// along a randomly steered path, and every frame the wrapped window of the plane at the
// viewpoint. Runs on the render thread.
#include <cstdint>
#include <vector>

extern int32_t RollWidth, RollHeight;       // W, H of the frame
extern std::vector<uint8_t*> DstRows;       // row y of FrameBitmap
extern std::vector<const uint8_t*> SrcRows; // row y of PictureBitmap

// Fills the row tables from FrameBitmap and PictureBitmap, sized to the frame's height.
void BuildRowTables();
// Runs the motion once the render thread starts; returns when StopState is not 0.
void RenderStep();
void StartRoll();
void RollLoop();
// The crash reporter's test: a floating-point division by zero that is not handled here.
void RaiseTestFault();

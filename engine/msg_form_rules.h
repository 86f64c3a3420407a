// Fixed texts and the drag frame of the message forms (portable).
#pragma once
#include <string>

namespace ks {

// The frame of a message form that drags the window: 30 pixels on the left, 40 on the top and
// 32 on the right and the bottom. Points are client coordinates.
// At another DPI than 96 the frame's widths scale with it.
bool InMsgFormDragFrame(int x, int y, int clientWidth, int clientHeight, int dpi = 96);

// The explanation of the folder-error form, its six lines joined by CR LF.
std::string FolderErrorExplanation();

} // namespace ks

// Whether a slide-show window is up. While it is, the main window has no
// keys and the view ignores double clicks on its background.
#pragma once

extern int g_bSlideShowRunning;

#include "model/slideshow/slide_show_running.h"

int g_bSlideShowRunning = 0;

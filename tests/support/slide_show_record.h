// A slide-show settings record spelt out in one call, for tests.
#pragma once

#include "model/slideshow/slide_show_info.h"

inline CSlideShowInfo Record(int start, int end, int seconds, bool goBySeconds, bool sound,
                             bool loop) {
    CSlideShowInfo r;
    r.m_nStartPage = start;
    r.m_nEndPage = end;
    r.m_nSeconds = seconds;
    r.m_bGoBySeconds = goBySeconds;
    r.m_bSound = sound;
    r.m_bLoop = loop;
    return r;
}

#include "model/mainframe/page_navigator.h"

#include "model/mainframe/page_sound.h"
#include "model/mainframe/running_state.h"
#include "model/volume/vol_doc.h"

#include <algorithm>

PageNavigator::PageNavigator(RunningState& state, const CVolDoc& doc, PageSound& sound,
                             IPageDisplay& display)
    : m_state(state), m_doc(doc), m_sound(sound), m_display(display) {}

void PageNavigator::GoToPage(int page) {
    page = std::clamp(page, 1, std::max(1, m_doc.GetPageCount()));
    const int old = m_state.m_nCurPage;
    m_state.m_nCurPage = page;
    m_display.LoadPage(page);
    m_display.SelectPage(page);
    m_sound.OnPageChanged(page, old);
}

void PageNavigator::OnVolumeRead() {
    m_sound.StopPageSound(true);
    m_state.m_nCurPage = 1;
}

bool PageNavigator::CanGoBack() const {
    return m_state.m_nCurPage > 1;
}

bool PageNavigator::CanGoForward() const {
    return m_doc.GetPageCount() > m_state.m_nCurPage;
}

#include "model/framework/cmd_target.h"

bool CCmdTarget::OnCommand(CommandId id) {
    auto it = m_handlers.find(id);
    if (it == m_handlers.end())
        return false;
    // Copy first: the handler may replace its own registration while it runs.
    Handler handler = it->second;
    handler();
    return true;
}

bool CCmdTarget::OnUpdateCommand(CCmdUI& ui) {
    auto it = m_rules.find(ui.m_nID);
    if (it == m_rules.end())
        return false;
    it->second(ui);
    return true;
}

ControlState CommandRouter::Query(CommandId id) const {
    ControlState state;
    for (CCmdTarget* target : m_chain) {
        if (!target)
            continue;
        CCmdUI ui(id);
        if (target->OnUpdateCommand(ui)) {
            state.enabled = ui.m_enabled.value_or(true);
            state.radio = ui.m_radio;
            state.text = ui.m_text;
            return state;
        }
    }
    for (CCmdTarget* target : m_chain) {
        if (target && target->HasHandler(id)) {
            state.enabled = true;
            break;
        }
    }
    return state;
}

bool CommandRouter::Execute(CommandId id) const {
    for (CCmdTarget* target : m_chain) {
        if (!target)
            continue;
        CCmdUI ui(id);
        if (target->OnUpdateCommand(ui)) {
            if (!ui.m_enabled.value_or(true))
                return false;
            break;
        }
    }
    for (CCmdTarget* target : m_chain) {
        if (target && target->OnCommand(id))
            return true;
    }
    return false;
}

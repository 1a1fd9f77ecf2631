// Command routing: numbered commands, their handlers and their update rules.
//
// A command id is offered to a chain of targets in turn (the view, the
// document, the main window, the application object). The first target with
// a handler carries it out. Before that, the first target with an update rule
// decides whether the command is enabled; a command from a key or a button
// whose rule says disabled is dropped. A control whose command has neither a
// handler nor a rule anywhere in the chain is shown disabled.
#pragma once

#include "model/framework/object.h"
#include "model/resources/command_ids.h"

#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

// What an update rule says about a control. Values a rule does not set stay
// unset, and the control keeps its own for them.
class CCmdUI {
public:
    explicit CCmdUI(CommandId id) : m_nID(id) {}

    void Enable(bool on = true) { m_enabled = on; }
    void SetRadio(bool on = true) { m_radio = on; }
    void SetCheck(int state) { m_radio = state != 0; }
    void SetText(std::string text) { m_text = std::move(text); }

    const CommandId m_nID;
    std::optional<bool> m_enabled;
    std::optional<bool> m_radio;
    std::optional<std::string> m_text;
};

class CCmdTarget : public CObject {
public:
    using Handler = std::function<void()>;
    using UpdateRule = std::function<void(CCmdUI&)>;

    // Carries out the command when this target has a handler for it.
    virtual bool OnCommand(CommandId id);
    // Applies this target's update rule for the command, if it has one.
    virtual bool OnUpdateCommand(CCmdUI& ui);

    bool HasHandler(CommandId id) const { return m_handlers.count(id) != 0; }

protected:
    CCmdTarget() = default;

    // Registers a handler or an update rule; a later registration replaces an earlier one.
    void OnCommandId(CommandId id, Handler handler) { m_handlers[id] = std::move(handler); }
    void OnUpdateId(CommandId id, UpdateRule rule) { m_rules[id] = std::move(rule); }

private:
    std::map<CommandId, Handler> m_handlers;
    std::map<CommandId, UpdateRule> m_rules;
};

// The state of one control after asking the chain.
struct ControlState {
    bool enabled = false;
    std::optional<bool> radio;
    std::optional<std::string> text;
};

class CommandRouter {
public:
    // The chain, first asked first; null entries are skipped. The targets
    // are borrowed.
    void SetChain(std::initializer_list<CCmdTarget*> chain) { m_chain = chain; }

    // What a control of this command shows: enabled as its rule says (a rule
    // that leaves it open means enabled); without a rule, enabled exactly when
    // some target handles the command.
    ControlState Query(CommandId id) const;

    // Carries out a command from a key or a button: dropped when the rule
    // says disabled; otherwise the first handler runs. True when one ran.
    bool Execute(CommandId id) const;

private:
    std::vector<CCmdTarget*> m_chain;
};

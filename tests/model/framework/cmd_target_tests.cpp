#include "model/framework/cmd_target.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A target whose handlers and rules a test sets up directly.
class Target : public CCmdTarget {
public:
    explicit Target(std::string name, std::vector<std::string>* log)
        : m_name(std::move(name)), m_log(log) {}
    void Handle(CommandId id) {
        OnCommandId(id, [this, id] { m_log->push_back(m_name + ":" + std::to_string(id)); });
    }
    void Rule(CommandId id, UpdateRule rule) { OnUpdateId(id, std::move(rule)); }

private:
    std::string m_name;
    std::vector<std::string>* m_log;
};

TEST(CommandRouterTest, FirstHandlerInTheChainRuns) {
    std::vector<std::string> log;
    Target view("view", &log), doc("doc", &log), frame("frame", &log);
    doc.Handle(311);
    frame.Handle(311);
    frame.Handle(4017);
    CommandRouter router;
    router.SetChain({&view, &doc, &frame, nullptr});
    EXPECT_TRUE(router.Execute(311));
    EXPECT_TRUE(router.Execute(4017));
    EXPECT_FALSE(router.Execute(4071));
    EXPECT_EQ(log, (std::vector<std::string>{"doc:311", "frame:4017"}));
}

TEST(CommandRouterTest, DisabledCommandsAreDroppedAndUnhandledOnesShowDisabled) {
    std::vector<std::string> log;
    Target view("view", &log), frame("frame", &log);
    bool canGoOn = false;
    frame.Handle(4017);
    frame.Rule(4017, [&](CCmdUI& ui) { ui.Enable(canGoOn); });
    frame.Handle(57665); // no rule: always carried out and enabled
    frame.Rule(53, [](CCmdUI& ui) {
        ui.Enable();
        ui.SetText("of 12");
    });
    view.Rule(73, [](CCmdUI& ui) { ui.SetRadio(true); });
    CommandRouter router;
    router.SetChain({&view, &frame});

    EXPECT_FALSE(router.Query(4017).enabled);
    EXPECT_FALSE(router.Execute(4017));
    canGoOn = true;
    EXPECT_TRUE(router.Query(4017).enabled);
    EXPECT_TRUE(router.Execute(4017));
    EXPECT_EQ(log, std::vector<std::string>{"frame:4017"});

    EXPECT_TRUE(router.Query(57665).enabled);
    EXPECT_FALSE(router.Query(99).enabled); // nobody handles or updates it
    EXPECT_EQ(router.Query(53).text, "of 12");
    // A rule that says nothing of enabling leaves the control enabled.
    ControlState tool = router.Query(73);
    EXPECT_TRUE(tool.enabled);
    EXPECT_EQ(tool.radio, true);
}

} // namespace

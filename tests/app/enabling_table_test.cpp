// The window's whole enabling table, checked control by control in the states
// a person meets: no board, a board in Manual mode with a sensor, a board in
// Auto mode without one. A control of the table that the window lacks fails,
// unless its view is still to come (enabling_expectations.h).
#include "enabling_expectations.h"
#include "window_test_support.h"

#include <QAction>
#include <QRadioButton>

namespace kv::testing {
namespace {

class EnablingTableTest : public WindowTest {
protected:
    QObject* component(const QString& name) {
        if (QObject* found = window->findChild<QObject*>(name))
            return found;
        return nullptr;
    }

    static bool isEnabled(QObject* component) {
        if (auto* action = qobject_cast<QAction*>(component))
            return action->isEnabled();
        return qobject_cast<QWidget*>(component)->isEnabled();
    }

    ViewFacts factsNow() {
        ViewFacts facts = factsOf(service().info(), service().expert(), window->connected(), false);
        if (auto* leds = child<QRadioButton>("rbtFMOLED"))
            facts.fanFollowsLeds = leds->isChecked();
        return facts;
    }

    // Every control of the table is there (or still to come) and enabled by
    // its rule in the window's present state.
    void expectTableFollowsItsRules(const char* state) {
        const ViewFacts facts = factsNow();
        for (const ExpectedEnabling& entry : expectedEnablingTable()) {
            QObject* found = component(entry.name);
            if (isStillToCome(entry.name)) {
                EXPECT_EQ(found, nullptr) << entry.name.toStdString()
                                          << " exists now: take it off the list of controls "
                                             "still to come";
                continue;
            }
            if (!found) {
                ADD_FAILURE() << entry.name.toStdString() << " is missing";
                continue;
            }
            EXPECT_EQ(isEnabled(found), isEnabledBy(entry.rule, facts))
                << entry.name.toStdString() << " " << state;
        }
    }
};

TEST_F(EnablingTableTest, WithoutABoardEverythingIsDisabled) {
    create({QStringLiteral("--simulate"), QStringLiteral("/expert")});
    expectTableFollowsItsRules("at start");
}

TEST_F(EnablingTableTest, ManualModeWithASensorEnablesTheLevelsAndTheSensorControls) {
    create({QStringLiteral("--simulate"), QStringLiteral("/expert")});
    board().info().setMode(BoardMode::Manual);
    board().info().WaterTemp = 253;
    showWindow();
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->connected(); }, 5000));
    expectTableFollowsItsRules("in Manual mode with a sensor");
}

TEST_F(EnablingTableTest, AutoModeWithoutASensorFollowsTheirRules) {
    create({QStringLiteral("--simulate"), QStringLiteral("/expert")});
    board().info().setMode(BoardMode::Auto);
    board().info().WaterTemp = NoValue;
    showWindow();
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->connected(); }, 5000));
    expectTableFollowsItsRules("in Auto mode without a sensor");

    sim().unplugBoard();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window->connected(); }, 5000));
    expectTableFollowsItsRules("after the board left");
}

} // namespace
} // namespace kv::testing

// The weather editors of the expert options, placed on a tab as its view
// places them, against the simulated board.
#include "typing.h"
#include "view_test_support.h"

#include "views/input_marks.h"
#include "views/setting_pairs.h"
#include "views/slider_edit_pair.h"
#include "views/weather_expert_editors.h"

#include <QAbstractSlider>
#include <QAccessible>
#include <QLineEdit>
#include <QVBoxLayout>

namespace kv::testing {
namespace {

// A tab that holds the editors and hands them its refresh, enabling and
// texts.
class EditorsTab : public View {
public:
    explicit EditorsTab(ViewContext context)
        : View(context, QStringLiteral("tsExpert"), QStringLiteral("Expert options")),
          editors(new WeatherExpertEditors(context.board, context.channelNames, this)) {
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(editors);
    }
    void showExpert() override { editors->showExpert(); }
    void applyEnabling(const ViewFacts& facts) override { editors->applyEnabling(facts); }
    void textsApplied() override { editors->textsApplied(QStringLiteral("KestTHERMAL")); }

    WeatherExpertEditors* editors;
};

class WeatherExpertEditorsTest : public ViewTest<EditorsTab> {
protected:
    void startConnected() {
        create();
        connectBoard();
        showView();
    }
    WeatherExpertEditors* editors() { return view->editors; }
};

TEST_F(WeatherExpertEditorsTest, AMaskBeyondOneByteIsRefusedAndNothingIsSent) {
    startConnected();
    const auto mask = board().expert().LightningMask[1];
    pasteInto(editors()->lightningMaskEdit(1), "300");
    EXPECT_TRUE(isMarkedInvalid(editors()->lightningMaskEdit(1)));
    EXPECT_EQ(service.expert().LightningMask[1], mask);
    EXPECT_TRUE(writes(ExpertBlock::ReportId).empty());

    pasteInto(editors()->lightningMaskEdit(1), "170");
    EXPECT_FALSE(isMarkedInvalid(editors()->lightningMaskEdit(1)));
    ASSERT_EQ(writes(ExpertBlock::ReportId).size(), 1u);
    EXPECT_EQ(board().expert().LightningMask[1], 170);
}

TEST_F(WeatherExpertEditorsTest, AnEditHandsTheBoardAChangedCopyAndNothingForTheSameValue) {
    startConnected();
    const ExpertBlock before = service.expert();
    const int mask = before.LightningMask[2];
    pasteInto(editors()->lightningMaskEdit(2), QString::number(mask));
    EXPECT_TRUE(writes(ExpertBlock::ReportId).empty());

    pasteInto(editors()->lightningMaskEdit(2), QString::number(mask ^ 0x0F));
    const auto sent = writes(ExpertBlock::ReportId);
    ASSERT_EQ(sent.size(), 1u);
    ExpertBlock expected = before;
    expected.LightningMask[2] = std::uint8_t(mask ^ 0x0F);
    EXPECT_EQ(ExpertBlock::decode(sent[0].bytes.data() + 1), expected);
    EXPECT_EQ(service.expert(), expected);

    // The configuration's apply step keeps to the same rule.
    const auto applyFanLow = applyToConfiguration(service, fieldStore(&InfoBlock::FanLow));
    applyFanLow(service.info().FanLow);
    EXPECT_TRUE(configWrites().empty());
    applyFanLow(service.info().FanLow + 1);
    ASSERT_EQ(configWrites().size(), 1u);
    EXPECT_EQ(board().info().FanLow, service.info().FanLow);
}

TEST_F(WeatherExpertEditorsTest, RampAndCloudTemperatureKeepToWhatTheirFieldsMean) {
    startConnected();
    pasteInto(editors()->balanceSumRampEdit(), "-101");
    EXPECT_TRUE(isMarkedInvalid(editors()->balanceSumRampEdit()));
    pasteInto(editors()->balanceSumRampEdit(), "-100");
    EXPECT_EQ(board().expert().BalanceSumRamp, -100);
    pasteInto(editors()->balanceSum()->edit(), "101");
    EXPECT_TRUE(isMarkedInvalid(editors()->balanceSum()->edit()));
    EXPECT_EQ(service.expert().BalanceSum, board().expert().BalanceSum);

    board().info().WaterTemp = 251; // a sensor, so the edit is enabled
    poll();
    ASSERT_TRUE(editors()->cloudTempEdit()->isEnabled());
    pasteInto(editors()->cloudTempEdit(), "27.35");
    EXPECT_EQ(board().expert().CloudTempWater, 274); // tenths, halves to even
    pasteInto(editors()->cloudTempEdit(), "4000");
    EXPECT_TRUE(isMarkedInvalid(editors()->cloudTempEdit()));
    EXPECT_EQ(service.expert().CloudTempWater, 274);
}

TEST_F(WeatherExpertEditorsTest, TheRecordIsShownWithTheBalanceSumEvenWhileFocused) {
    startConnected();
    board().expert().LightningMask = {1, 2, 3, 4};
    board().expert().CloudTempWater = -15;
    board().expert().BalanceSumRamp = -7;
    board().expert().BalanceSum = 42;
    QTest::mouseClick(editors()->balanceSum()->edit(), Qt::LeftButton);
    ASSERT_TRUE(editors()->balanceSum()->edit()->hasFocus());
    reread(BoardRecord::Expert);
    EXPECT_EQ(editors()->lightningMaskEdit(3)->text(), "4");
    EXPECT_EQ(editors()->cloudTempEdit()->text(), "-1.5");
    EXPECT_EQ(editors()->balanceSumRampEdit()->text(), "-7");
    EXPECT_EQ(editors()->balanceSum()->edit()->text(), "42");
    EXPECT_EQ(editors()->balanceSum()->slider()->value(), 42);
    // Shown, never sent back.
    EXPECT_TRUE(writes(ExpertBlock::ReportId).empty());

    editors()->balanceSum()->slider()->setFocus();
    QTest::keyClick(editors()->balanceSum()->slider(), Qt::Key_Right);
    ASSERT_EQ(writes(ExpertBlock::ReportId).size(), 1u);
    EXPECT_EQ(board().expert().BalanceSum, 43);
}

TEST_F(WeatherExpertEditorsTest, EnablingTextsAndTints) {
    create();
    EXPECT_FALSE(editors()->lightningMaskEdit(0)->isEnabled());
    view->textsApplied();
    connectBoard();
    board().info().WaterTemp = NoValue;
    poll();
    EXPECT_TRUE(editors()->lightningMaskEdit(0)->isEnabled());
    EXPECT_TRUE(editors()->balanceSum()->slider()->isEnabled());
    EXPECT_FALSE(editors()->cloudTempEdit()->isEnabled());

    QAccessibleInterface* mask =
        QAccessible::queryAccessibleInterface(editors()->lightningMaskEdit(2));
    EXPECT_EQ(mask->text(QAccessible::Name), "G");
    EXPECT_EQ(editors()->cloudTempEdit()->accessibleName(), "KestTHERMAL");
    EXPECT_EQ(editors()->lightningMaskEdit(2)->palette().color(QPalette::Base),
              names.tint(2).rgb());
    EXPECT_FALSE(editors()->findChild<QWidget*>("edtLightningMask4"));
}

} // namespace
} // namespace kv::testing

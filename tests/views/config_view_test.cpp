// The Configuration tab against the simulated board: levels held in order,
// typed numbers refused outside their range, the time lapse and the clock.
#include "view_input.h"
#include "view_test_support.h"

#include "views/config_view.h"
#include "views/input_marks.h"
#include "views/labelled_edit.h"

#include <QLocale>
#include <QPushButton>

namespace kv::testing {
namespace {

class ConfigViewTest : public ViewTest<ConfigView> {
protected:
    void TearDown() override {
        QLocale::setDefault(QLocale::c());
        ViewTest::TearDown();
    }

    void start() {
        create();
        connectBoard(BoardMode::Auto);
        showView();
    }

    QLineEdit* edit(const char* name) {
        return child<LabelledEdit>(QString::fromLatin1(name))->edit();
    }
    QSlider* slider(const char* name) { return child<QSlider>(QString::fromLatin1(name)); }
    std::vector<sim::Transfer> clockWrites() {
        std::vector<sim::Transfer> result;
        for (const auto& t : writes(InfoBlock::ReportId))
            if (infoByte(t, InfoBlock::MinuteOffset) != InfoBlock::UnsetByte)
                result.push_back(t);
        return result;
    }
};

TEST_F(ConfigViewTest, RefreshShowsTheRecordsAndWritesNothing) {
    board().info().FanLow = 35;
    board().expert().LCDBLNight = 5;
    start();
    poll();
    reread(BoardRecord::Expert);
    EXPECT_EQ(edit("edtFanLow")->text(), "35");
    EXPECT_EQ(slider("trbFanLow")->value(), 35);
    EXPECT_EQ(edit("edtLCDBLNight")->text(), "5");
    EXPECT_EQ(edit("edtTimeLapse")->text(), "1");
    EXPECT_EQ(slider("trbFanHigh")->maximum(), 100);
    EXPECT_EQ(slider("trbTimeLapse")->maximum(), 250);
    EXPECT_TRUE(configWrites().empty());
    EXPECT_TRUE(writes(ExpertBlock::ReportId).empty());
    expectAccessibleNames(view.get());
    EXPECT_EQ(accessibleName(slider("trbFanOff")), "When LEDs are off (%)");
}

TEST_F(ConfigViewTest, SlidersAreHeldInOrderAndTheHeldPositionIsStored) {
    board().info().FanHigh = 60;
    start();
    dragToEnd(slider("trbFanLow"), true);
    EXPECT_EQ(slider("trbFanLow")->value(), 60);
    EXPECT_EQ(edit("edtFanLow")->text(), "60");
    ASSERT_FALSE(configWrites().empty());
    EXPECT_EQ(infoByte(configWrites().back(), 29), 60); // FanLow
    EXPECT_EQ(board().info().FanLow, 60);

    // Backlight: night not above dim (an expert setting), bright not below it.
    dragToEnd(slider("trbLCDBLNight"), true);
    EXPECT_EQ(board().expert().LCDBLNight, 10);
    dragToEnd(slider("trbLCDBLMax"), false);
    EXPECT_EQ(board().info().LCDBLMax, 10);
    // The edits do not hold the order.
    typeInto(edit("edtFanOff"), "80");
    EXPECT_EQ(board().expert().FanOff, 80);
    EXPECT_EQ(slider("trbFanOff")->value(), 80);
}

TEST_F(ConfigViewTest, TypedLevelsAreRoundedAndOutOfRangeRefused) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    start();
    typeInto(edit("edtFanHigh"), "42,6");
    EXPECT_EQ(board().info().FanHigh, 43);
    EXPECT_EQ(slider("trbFanHigh")->value(), 43);
    const std::size_t before = configWrites().size();
    typeInto(edit("edtLCDBLMax"), "150");
    EXPECT_TRUE(isMarkedInvalid(edit("edtLCDBLMax")));
    EXPECT_EQ(board().info().LCDBLMax, 15);       // from "15"; 150 is refused
    EXPECT_EQ(configWrites().size(), before + 2); // "1" and "15"
    typeInto(edit("edtTimeLapse"), "300");
    EXPECT_TRUE(isMarkedInvalid(edit("edtTimeLapse")));
    EXPECT_EQ(board().info().TimeLapse, 30);
}

TEST_F(ConfigViewTest, TimeLapseTwoStopsTheClockCorrectionAndRealtimeRestoresIt) {
    start();
    board().setBoardTime(QDateTime::currentDateTime().addSecs(20));
    poll();
    ASSERT_EQ(clockWrites().size(), 1u); // in real time the clock is corrected

    typeInto(edit("edtTimeLapse"), "2");
    EXPECT_EQ(board().info().TimeLapse, 2);
    board().setBoardTime(QDateTime::currentDateTime().addSecs(20));
    poll();
    poll();
    EXPECT_EQ(clockWrites().size(), 1u);

    click(child<QPushButton>("btnRealtime"));
    EXPECT_EQ(board().info().TimeLapse, 1);
    EXPECT_EQ(edit("edtTimeLapse")->text(), "1");
    EXPECT_EQ(slider("trbTimeLapse")->value(), 1);
    board().setBoardTime(QDateTime::currentDateTime().addSecs(20));
    poll();
    EXPECT_EQ(clockWrites().size(), 2u);
}

TEST_F(ConfigViewTest, FanOffLevelFollowsTheFanMode) {
    board().expert().FanMode = ExpertBlock::FanModeWater;
    start();
    EXPECT_FALSE(child("edtFanOff")->isEnabled());
    EXPECT_FALSE(slider("trbFanOff")->isEnabled());
    EXPECT_TRUE(slider("trbFanLow")->isEnabled());
    // The expert tab changed the mode: the tab follows when it comes to the front.
    ExpertBlock expert = service.expert();
    expert.FanMode = ExpertBlock::FanModeLeds;
    ASSERT_TRUE(service.setExpert(expert).ok());
    bringToFront();
    EXPECT_TRUE(child("edtFanOff")->isEnabled());
}

} // namespace
} // namespace kv::testing

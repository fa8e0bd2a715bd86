// The Weather, Delays and Moon tabs driven by keyboard against the simulated
// board, and the texts of the weather rates.
#include "typing.h"
#include "view_test_support.h"

#include "text/text_catalogue.h"
#include "views/channel_settings_view.h"
#include "views/component_texts.h"
#include "views/input_marks.h"
#include "views/labelled_edit.h"
#include "views/slider_edit_pair.h"
#include "views/weather_rates.h"
#include "views/weather_view.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

namespace kv::testing {
namespace {

// German texts and numbers, as the program runs.
class GermanTexts {
public:
    GermanTexts() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        LoadTextCatalogue();
    }
    ~GermanTexts() {
        textCatalogue().clear();
        QLocale::setDefault(QLocale::c());
    }
};

TEST(WeatherRatesTest, RatioTextsFollowTheChancesAndTheActivityWhileTheScheduleRuns) {
    GermanTexts german;
    InfoBlock info;
    info.CloudP = 6;
    info.CloudD = 873;
    EXPECT_EQ(weather::ratioTexts(info).cloud, "Wolkenanteil: 0,7%");
    EXPECT_TRUE(weather::ratioTexts(info).storm.isEmpty());

    info.ActivityFlags = activity::Cloud | activity::Storm;
    info.setMode(BoardMode::Manual);
    EXPECT_EQ(weather::ratioTexts(info).cloud, "Wolkenanteil: 0,7%");
    info.setMode(BoardMode::Geo);
    EXPECT_EQ(weather::ratioTexts(info).cloud,
              QString::fromUtf8("Wolke jetzt aktiv \u2022 Wolkenanteil: 0,7%"));
    // An active storm with no rates is still named.
    EXPECT_EQ(weather::ratioTexts(info).storm, QString::fromUtf8("Gewitter jetzt aktiv \u2022 "));
}

TEST(WeatherRatesTest, SliderPositionsAndStoredRatesRoundTripAsTheRecordTruncates) {
    InfoBlock info;
    EXPECT_TRUE(weather::storeCloudRates(info, 10, 900));
    EXPECT_EQ(info.CloudP, 6);
    EXPECT_EQ(info.CloudD, 58);
    EXPECT_FALSE(weather::storeCloudRates(info, 10, 900));
    EXPECT_EQ(weather::cloudPositions(info).count, 9);
    EXPECT_EQ(weather::cloudPositions(info).duration, 903);

    EXPECT_TRUE(weather::storeStormRates(info, 1000, 0));
    EXPECT_EQ(info.StormP, 1387);
    EXPECT_EQ(info.StormD, 65535);
    EXPECT_EQ(weather::stormPositions(info).count, 999);
    info.StormD = 0;
    EXPECT_FALSE(weather::stormPositions(info).duration);
}

class WeatherViewTest : public ViewTest<WeatherView> {
protected:
    void startConnected(BoardMode mode = BoardMode::Manual) {
        create();
        connectBoard(mode);
        showView();
    }
    SliderEditPair* pair(const char* name) { return view->pair(QString::fromLatin1(name)); }
    QLineEdit* edit(const char* name) { return pair(name)->edit(); }
    QAbstractSlider* slider(const char* name) { return pair(name)->slider(); }

    GermanTexts german;
};

TEST_F(WeatherViewTest, FiveThousandCloudsADayMoveTheSliderToThreeThousand) {
    startConnected();
    typeInto(edit("edtCloudCount"), "5000");
    EXPECT_EQ(slider("trbCloudCount")->value(), 3000);
    EXPECT_EQ(edit("edtCloudCount")->text(), "5000");
    EXPECT_FALSE(isMarkedInvalid(edit("edtCloudCount")));
    EXPECT_EQ(service.info().CloudP, cloudsPerDayToCloudP(3000));
    ASSERT_FALSE(configWrites().empty());
    EXPECT_EQ(board().info().CloudP, cloudsPerDayToCloudP(3000));
    // The next refresh shows what the board holds.
    poll();
    EXPECT_EQ(edit("edtCloudCount")->text(), "5000"); // still the user's
    QTest::mouseClick(edit("edtStormCount"), Qt::LeftButton);
    poll();
    // 3000 clouds a day are stored as 1820, which reads back as 2999.
    EXPECT_EQ(edit("edtCloudCount")->text(), "2999");
}

TEST_F(WeatherViewTest, TheRatioLabelsShowTheBoardsRatesAndActivity) {
    create();
    board().info().CloudP = 6;
    board().info().CloudD = 873;
    board().info().StormP = 0;
    board().info().StormD = 0;
    board().info().ActivityFlags = activity::Cloud;
    connectBoard(BoardMode::Manual);
    EXPECT_EQ(view->cloudRatioLabel()->text(), "Wolkenanteil: 0,7%");
    EXPECT_TRUE(view->stormRatioLabel()->text().isEmpty());
    EXPECT_EQ(edit("edtCloudCount")->text(), "9");
    EXPECT_EQ(edit("edtCloudSeconds")->text(), "60");

    board().info().setMode(BoardMode::Auto);
    poll();
    EXPECT_EQ(view->cloudRatioLabel()->text(),
              QString::fromUtf8("Wolke jetzt aktiv \u2022 Wolkenanteil: 0,7%"));
}

TEST_F(WeatherViewTest, ACloudDurationOfZeroLeavesItsSliderWhereItWas) {
    startConnected();
    const int seconds = slider("trbCloudSeconds")->value();
    board().info().CloudD = 0;
    poll();
    EXPECT_EQ(slider("trbCloudSeconds")->value(), seconds);
    EXPECT_EQ(edit("edtCloudSeconds")->text(), QString::number(seconds));
}

TEST_F(WeatherViewTest, ASliderMovedWithoutFocusOnItsEditWritesExactlyOnce) {
    startConnected();
    slider("trbStormMinutes")->setFocus();
    const int before = slider("trbStormMinutes")->value();
    QTest::keyClick(slider("trbStormMinutes"), Qt::Key_Right);
    EXPECT_EQ(edit("edtStormMinutes")->text(), QString::number(before + 1));
    ASSERT_EQ(configWrites().size(), 1u);
    EXPECT_EQ(board().info().StormD, stormMinutesToStormD(before + 1));

    slider("trbCloudAlpha")->setFocus();
    QTest::keyClick(slider("trbCloudAlpha"), Qt::Key_Left);
    ASSERT_EQ(writes(ExpertBlock::ReportId).size(), 1u);
    EXPECT_EQ(board().expert().CloudAlpha, slider("trbCloudAlpha")->value());
}

TEST_F(WeatherViewTest, EffectValuesOutsideTheirSlidersRangeAreRefused) {
    startConnected();
    const auto step = service.expert().CloudStep;
    pasteInto(edit("edtCloudStep"), "70000");
    EXPECT_TRUE(isMarkedInvalid(edit("edtCloudStep")));
    pasteInto(edit("edtCloudStep"), "0");
    EXPECT_TRUE(isMarkedInvalid(edit("edtCloudStep")));
    pasteInto(edit("edtStormAlpha"), "101");
    EXPECT_TRUE(isMarkedInvalid(edit("edtStormAlpha")));
    EXPECT_EQ(service.expert().CloudStep, step);
    EXPECT_TRUE(writes(ExpertBlock::ReportId).empty());

    pasteInto(edit("edtLightningP"), "4321");
    EXPECT_EQ(slider("trbLightningP")->value(), 4321);
    ASSERT_EQ(writes(ExpertBlock::ReportId).size(), 1u);
    EXPECT_EQ(board().expert().LightningP, 4321);
}

TEST_F(WeatherViewTest, TriggerButtonsWorkOnlyWhileTheScheduleRuns) {
    startConnected(BoardMode::Manual);
    EXPECT_FALSE(view->cloudButton()->isEnabled());
    EXPECT_FALSE(view->stormButton()->isEnabled());
    EXPECT_TRUE(edit("edtCloudCount")->isEnabled());

    board().info().setMode(BoardMode::Geo);
    poll();
    ASSERT_TRUE(view->cloudButton()->isEnabled());
    QTest::mouseClick(view->cloudButton(), Qt::LeftButton);
    EXPECT_TRUE(board().info().ActivityFlags & activity::Cloud);
    QTest::mouseClick(view->stormButton(), Qt::LeftButton);
    EXPECT_TRUE(board().info().ActivityFlags & activity::Storm);
    const auto commands = writes(3);
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].bytes[1], 253);
    EXPECT_EQ(commands[1].bytes[1], 252);
}

TEST_F(WeatherViewTest, SlidersAreNamedAfterTheirEditsCaption) {
    create();
    setComponentCaption(view->findChild<LabelledEdit*>("edtCloudCount"), "Anzahl");
    view->textsApplied();
    EXPECT_EQ(slider("trbCloudCount")->accessibleName(), "Anzahl");
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(edit("edtCloudCount"));
    EXPECT_EQ(accessible->text(QAccessible::Name), "Anzahl");
}

class DelayViewTest : public ViewTest<WeatherDelayView> {
protected:
    GermanTexts german;
};

TEST_F(DelayViewTest, TwoAndAHalfSecondsAreStoredAsTwentyFiveTenths) {
    create();
    connectBoard();
    showView();
    typeInto(view->pair(2)->edit(), "2,5");
    EXPECT_EQ(view->pair(2)->slider()->value(), 25);
    EXPECT_EQ(board().expert().WeatherDelay[2], 25);

    pasteInto(view->pair(1)->edit(), "25,6");
    EXPECT_TRUE(isMarkedInvalid(view->pair(1)->edit()));
    EXPECT_EQ(service.expert().WeatherDelay[1], board().expert().WeatherDelay[1]);

    view->pair(3)->slider()->setFocus();
    view->pair(3)->slider()->setValue(255);
    EXPECT_EQ(view->pair(3)->edit()->text(), "25,5");
    EXPECT_EQ(board().expert().WeatherDelay[3], 255);
}

TEST_F(DelayViewTest, CaptionsAreLettersUntilABoardsNamesFollowWithTheirTints) {
    create();
    view->textsApplied();
    EXPECT_EQ(view->edit(2)->caption(), "G");
    // The records before any board: their names mean nothing yet.
    views.showInfo();
    EXPECT_EQ(view->edit(2)->caption(), "G");
    connectBoard();
    EXPECT_EQ(view->edit(2)->caption(), names.name(2));
    EXPECT_EQ(view->pair(2)->slider()->accessibleName(), names.name(2));
    EXPECT_EQ(view->pair(2)->edit()->palette().color(QPalette::Base), names.tint(2).rgb());
}

class MoonViewTest : public ViewTest<MoonView> {
protected:
    GermanTexts german;
};

TEST_F(MoonViewTest, OneHundredIsStoredAsTheRawLevelNotAPercentage) {
    create();
    connectBoard();
    showView();
    EXPECT_EQ(view->pair(0)->slider()->maximum(), FullLevel);
    typeInto(view->pair(0)->edit(), "100");
    EXPECT_EQ(board().expert().MoonColor[0], 100);
    EXPECT_EQ(view->pair(0)->slider()->value(), 100);

    pasteInto(view->pair(1)->edit(), "4097");
    EXPECT_TRUE(isMarkedInvalid(view->pair(1)->edit()));
    pasteInto(view->pair(1)->edit(), "12,5");
    EXPECT_EQ(board().expert().MoonColor[1], 12); // halves to even
}

TEST_F(MoonViewTest, OnlyTheFourChannelsHaveControls) {
    create();
    EXPECT_TRUE(view->findChild<QWidget*>("edtMoon3"));
    EXPECT_TRUE(view->findChild<QWidget*>("trbMoon3"));
    EXPECT_FALSE(view->findChild<QWidget*>("edtMoon4"));
    EXPECT_FALSE(view->findChild<QWidget*>("trbMoon11"));
    EXPECT_FALSE(view->description()->isEnabled());
    connectBoard();
    EXPECT_TRUE(view->description()->isEnabled());
    EXPECT_TRUE(view->pair(3)->slider()->isEnabled());
}

} // namespace
} // namespace kv::testing

// The Expert options and JMP pin tabs against the simulated board: the time
// zone copied from the computer and typed by hand, the radio buttons, the
// typed numbers and what the sensor enables.
#include "view_input.h"
#include "view_test_support.h"

#include "astro/time_zone_fields.h"
#include "astro/time_zone_rules.h"
#include "geo/time_zone_source.h"
#include "views/expert_view.h"
#include "views/input_marks.h"
#include "views/jmp_view.h"
#include "views/labelled_edit.h"

#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSvgRenderer>
#include <QSvgWidget>
#include <QTimeZone>

namespace kv::testing {
namespace {

using sunmoon::TimeZoneFields;
using sunmoon::TimeZoneRules;

class ExpertViewTest : public ViewTest<ExpertView> {
protected:
    void TearDown() override {
        QLocale::setDefault(QLocale::c());
        ViewTest::TearDown();
    }

    // The computer's zone is whatever `rules` holds when the button is
    // pressed.
    void start() {
        create([this] { return rules; });
        connectBoard(BoardMode::Auto);
        showView();
    }

    QLineEdit* edit(const char* name) {
        return child<LabelledEdit>(QString::fromLatin1(name))->edit();
    }
    QRadioButton* radio(const char* name) { return child<QRadioButton>(QString::fromLatin1(name)); }

    TimeZoneFields boardZone() {
        const ExpertBlock& e = board().expert();
        return {e.Bias,         e.StandardMonth,     e.StandardDay,
                e.StandardHour, e.StandardDayOfWeek, e.DaylightMonth,
                e.DaylightDay,  e.DaylightHour,      e.DaylightDayOfWeek};
    }

    TimeZoneFields applyZone(const TimeZoneRules& zone) {
        rules = zone;
        click(view->applyZoneButton());
        return boardZone();
    }

    TimeZoneRules rules;
};

TEST_F(ExpertViewTest, ComputerZonesGiveTheBoardsTimeZoneFields) {
    start();
    const TimeZoneFields cet = applyZone(timeZoneRules(QTimeZone("Europe/Berlin"), 2024));
    EXPECT_EQ(cet, (TimeZoneFields{60, 10, 31, 3, 0, 3, 31, 2, 0}));
    EXPECT_EQ(writes(ExpertBlock::ReportId).size(), 1u);
    EXPECT_EQ(edit("edtTimeZoneBias")->text(), "60");
    EXPECT_EQ(edit("edtTimeZoneStandardMonth")->text(), "10");

    // Second Sunday of March, first Sunday of November.
    const TimeZoneFields newYork = applyZone(timeZoneRules(QTimeZone("America/New_York"), 2024));
    EXPECT_EQ(newYork.Bias, -300);
    EXPECT_EQ(newYork.DaylightDay, 14);
    EXPECT_EQ(newYork.StandardDay, 7);
    EXPECT_EQ(edit("edtTimeZoneBias")->text(), "-300");

    TimeZoneRules lastWeekOfFebruary;
    lastWeekOfFebruary.daylightDate = {2, 5, 0, 2};
    lastWeekOfFebruary.standardDate = {10, 5, 0, 3};
    EXPECT_EQ(applyZone(lastWeekOfFebruary).DaylightDay, 28);

    const TimeZoneFields tokyo = applyZone(timeZoneRules(QTimeZone("Asia/Tokyo"), 2024));
    EXPECT_EQ(tokyo, (TimeZoneFields{540, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(writes(ExpertBlock::ReportId).size(), 4u);
}

TEST_F(ExpertViewTest, UnparsableZoneTextStopsStoringAndWriting) {
    start();
    typeInto(edit("edtTimeZoneStandardDay"), "x");
    typeInto(edit("edtTimeZoneBias"), "120");
    EXPECT_EQ(service.expert().Bias, 60); // nothing is stored while the day stops the handler
    EXPECT_TRUE(writes(ExpertBlock::ReportId).empty());
    EXPECT_EQ(board().expert().Bias, 60);

    typeInto(edit("edtTimeZoneStandardDay"), "25");
    const auto sent = writes(ExpertBlock::ReportId);
    ASSERT_EQ(sent.size(), 2u);            // "2", then "25"
    EXPECT_EQ(sent[0].bytes[1 + 57], 120); // Bias, low byte
    EXPECT_EQ(sent[0].bytes[1 + 50], 2);   // StandardDay
    EXPECT_EQ(boardZone(), (TimeZoneFields{120, 10, 25, 3, 0, 3, 31, 2, 0}));

    // A month, weekday or hour the field cannot take is refused like that.
    typeInto(edit("edtTimeZoneDaylightMonth"), "13");
    EXPECT_TRUE(isMarkedInvalid(edit("edtTimeZoneDaylightMonth")));
    typeInto(edit("edtTimeZoneStandardDayOfWeek"), "7");
    typeInto(edit("edtTimeZoneStandardHour"), "24");
    EXPECT_TRUE(isMarkedInvalid(edit("edtTimeZoneStandardHour")));
    EXPECT_EQ(board().expert().DaylightMonth, 1); // from "1"
    EXPECT_EQ(board().expert().StandardHour, 3);
}

TEST_F(ExpertViewTest, TypedNumbersUseTheirEncodingsAndRefuseWhatTheFieldCannotTake) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    board().expert().FanMode = ExpertBlock::FanModeWater;
    start();
    typeInto(edit("edtChartScale"), "25,5");
    EXPECT_EQ(board().expert().ChartScale, 255);
    typeInto(edit("edtChartScale"), "26");
    EXPECT_TRUE(isMarkedInvalid(edit("edtChartScale")));
    EXPECT_EQ(board().expert().ChartScale, 20); // from "2"
    typeInto(edit("edtTWIBitrate"), "5");
    EXPECT_TRUE(isMarkedInvalid(edit("edtTWIBitrate")));
    EXPECT_EQ(board().expert().TWIBitrate, 23);
    typeInto(edit("edtTWIBitrate"), "48");
    EXPECT_EQ(board().expert().TWIBitrate, 48);
    typeInto(edit("edtChartInterval"), "300");
    EXPECT_EQ(board().expert().ChartInterval, 30);
    typeInto(edit("edtTempOffset"), "-1,5");
    EXPECT_EQ(board().expert().TempOffset, -15);
    typeInto(edit("edtTempWaterLow"), "24,5");
    EXPECT_EQ(board().expert().TempWaterLow, 245);
    typeInto(child<QLineEdit>("edtTempWaterHigh"), "abc");
    EXPECT_FALSE(isMarkedInvalid(child<QLineEdit>("edtTempWaterHigh")));
    EXPECT_EQ(board().expert().TempWaterHigh, 270);
}

TEST_F(ExpertViewTest, FanModeButtonsWriteWhenChosenAndEnableTheHysteresis) {
    start();
    EXPECT_TRUE(radio("rbtFMOLED")->isChecked());
    EXPECT_FALSE(child("edtTempWaterLow")->isEnabled());
    click(radio("rbtFMOWater"));
    EXPECT_EQ(board().expert().FanMode, ExpertBlock::FanModeWater);
    EXPECT_TRUE(child("edtTempWaterLow")->isEnabled());
    EXPECT_TRUE(child("edtTempWaterHigh")->isEnabled());

    // A value no button stands for leaves them as they were; a refresh writes
    // nothing.
    board().expert().FanMode = 2;
    board().expert().ChartMode = ExpertBlock::ChartSlaveTemp;
    board().clearTransfers();
    reread(BoardRecord::Expert);
    EXPECT_TRUE(radio("rbtFMOWater")->isChecked());
    EXPECT_TRUE(radio("rbtCHMTempSlave")->isChecked());
    EXPECT_FALSE(radio("rbtCHMTempSlave")->isVisibleTo(view.get()));
    EXPECT_FALSE(radio("rbtFMOWaterMaster")->isVisibleTo(view.get()));
    EXPECT_FALSE(child("edtPWMPrescaler")->isVisibleTo(view.get()));
    EXPECT_TRUE(writes(ExpertBlock::ReportId).empty());

    click(radio("rbtCHMVoltage"));
    EXPECT_EQ(board().expert().ChartMode, ExpertBlock::ChartVoltage);
    expectAccessibleNames(view.get());
}

// On a board without the sensor exactly the temperature controls of a tab
// are disabled.
void expectDisabledWithoutSensor(QWidget* view, const QStringList& needSensor) {
    for (QWidget* w : view->findChildren<QWidget*>()) {
        const QString name = w->objectName();
        if (!(name.startsWith("rbt") || name.startsWith("edt")) || !w->isVisibleTo(view))
            continue;
        EXPECT_EQ(w->isEnabled(), !needSensor.contains(name)) << name.toStdString();
    }
}

TEST_F(ExpertViewTest, WithoutSensorTheTemperatureControlsAreDisabled) {
    board().info().WaterTemp = NoValue;
    start();
    expectDisabledWithoutSensor(view.get(),
                                {"edtTempOffset", "rbtFMOWater", "rbtCHMTempWater",
                                 "edtTempWaterLow", "edtTempWaterHigh", "edtCloudTempWater"});
}

class JmpViewTest : public ViewTest<JmpView> {
protected:
    QRadioButton* mode(int value) { return view->modeButton(value); }
};

TEST_F(JmpViewTest, ModeButtonsWriteChosenValuesAndFollowTheRecord) {
    create();
    connectBoard(BoardMode::Auto);
    showView();
    EXPECT_TRUE(mode(ExpertBlock::JMPNone)->isChecked());
    click(mode(ExpertBlock::JMPCooler));
    EXPECT_EQ(board().expert().JMPMode, ExpertBlock::JMPCooler);
    typeInto(child<QLineEdit>("edtTempJMPHigh"), "30");
    EXPECT_EQ(board().expert().TempJMPHigh, 300);

    board().clearTransfers();
    board().expert().JMPMode = 9;
    reread(BoardRecord::Expert);
    EXPECT_TRUE(mode(ExpertBlock::JMPCooler)->isChecked());
    board().expert().JMPMode = ExpertBlock::JMPTimer;
    reread(BoardRecord::Expert);
    EXPECT_TRUE(mode(ExpertBlock::JMPTimer)->isChecked());
    EXPECT_EQ(service.expert().JMPMode, ExpertBlock::JMPTimer);
    EXPECT_TRUE(writes(ExpertBlock::ReportId).empty());

    auto* schematic = child<QSvgWidget>("imgLink");
    ASSERT_NE(schematic, nullptr);
    EXPECT_TRUE(schematic->renderer()->isValid());
    EXPECT_EQ(schematic->size(), QSize(199, 294));
    EXPECT_FALSE(schematic->accessibleDescription().isEmpty());
    expectAccessibleNames(view.get());
}

TEST_F(JmpViewTest, WithoutSensorCoolerAndHeaterAreDisabled) {
    board().info().WaterTemp = NoValue;
    create();
    connectBoard(BoardMode::Auto);
    expectDisabledWithoutSensor(
        view.get(), {"rbtJMPCooler", "rbtJMPHeater", "edtTempJMPLow", "edtTempJMPHigh"});
    EXPECT_TRUE(child("lblJMPWarning2")->isEnabled());
}

} // namespace
} // namespace kv::testing

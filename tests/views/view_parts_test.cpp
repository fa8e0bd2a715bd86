// Pieces the views share: colour table, health texts, typed-number checks,
// marks on edits, enabling rules and the labelled edit.
#include "device/health.h"
#include "device/records/info_block.h"
#include "plot/channel_colors.h"
#include "qt_printers.h"
#include "text/text_catalogue.h"
#include "views/enabling.h"
#include "views/focus_rule.h"
#include "views/health_display.h"
#include "views/input_marks.h"
#include "views/labelled_edit.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSlider>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(ChannelColorsTest, NamesAndTintsFollowTheTable) {
    EXPECT_EQ(ColorNameText(2), "Rot");
    EXPECT_EQ(ColorNameText(15), "Tiefrot");
    EXPECT_EQ(ColorNameText(0), "Unbenannt");
    EXPECT_EQ(ColorNameText(16), "Unbenannt");
    EXPECT_EQ(ColorNameText(-1), "Unbenannt");
    EXPECT_EQ(channelName(1, 2), "R: Rot");
    EXPECT_EQ(channelName(0, 1), QString::fromUtf8("W: Reinweiß"));
    EXPECT_EQ(PanelTint(2), 0xFFFF8080u);
    EXPECT_EQ(windowColor(PanelTint(2)), QColor(0xFF, 0x80, 0x80));
    EXPECT_EQ(windowColor(PanelTint(11)), QColor(0xA0, 0x80, 0xFF));
    EXPECT_EQ(CurveShade(3), 0x2000FF00u);
    EXPECT_EQ(CurveColor(14), 0xFFFFC000u);
    EXPECT_EQ(PanelTint(200), PanelTint(0));
}

InfoBlock quietBoard() {
    InfoBlock info;
    info.WaterTemp = NoValue;
    info.InputVoltage = NoValue;
    return info;
}

TEST(HealthTextTest, CaptionEndsInABulletWithNothingToReport) {
    EXPECT_EQ(connectedCaption(healthStatusText(quietBoard())),
              QString::fromUtf8("Kest Lighting • KestVELQOR 1.x.12 • "));
    EXPECT_EQ(disconnectedCaption(), QString::fromUtf8("Kest Lighting • KestVELQOR 1.x.12"));
}

TEST(HealthRefreshTest, InvalidDateChangesNothing) {
    QWidget window;
    window.setWindowTitle("before");
    QLabel label(&window);
    label.setText("old");
    QStringList panels;
    HealthTargets targets{&window, &label, [&](int panel, const QString& text) {
                              panels << QString::number(panel) + text;
                          }};
    InfoBlock info = quietBoard();
    info.Year = 24;
    info.Month = 13;
    info.Day = 1;
    EXPECT_FALSE(refreshHealth(info, targets));
    EXPECT_EQ(window.windowTitle(), "before");
    EXPECT_EQ(label.text(), "old");
    EXPECT_TRUE(panels.isEmpty());
    info.Month = 2;
    info.Day = 29;
    EXPECT_TRUE(refreshHealth(info, targets));
    ASSERT_EQ(panels.size(), 1);
    EXPECT_TRUE(panels[0].startsWith("1"));
    EXPECT_TRUE(panels[0].contains("2024"));
}

TEST(TypedNumberTest, RangeIsCheckedAfterReadingInTheLocale) {
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(readTypedNumber("12,5", 0, 100, german).kind, TypedNumber::Valid);
    EXPECT_DOUBLE_EQ(readTypedNumber("12,5", 0, 100, german).value, 12.5);
    EXPECT_EQ(readTypedNumber("100", 0, 100, german).kind, TypedNumber::Valid);
    EXPECT_EQ(readTypedNumber("100,01", 0, 100, german).kind, TypedNumber::OutOfRange);
    EXPECT_EQ(readTypedNumber("-0,5", 0, 100, german).kind, TypedNumber::OutOfRange);
    EXPECT_EQ(readTypedNumber("abc", 0, 100, german).kind, TypedNumber::NotANumber);
    EXPECT_EQ(readTypedNumber("", 0, 100, german).kind, TypedNumber::NotANumber);
    EXPECT_EQ(rangeReason(0, 100, german),
              QString::fromUtf8("Ungültiger Wert: erlaubt sind 0 bis 100"));
}

TEST(InputMarksTest, InvalidMarkKeepsTheTintAndRestoresTheOwnTooltip) {
    QLineEdit edit;
    edit.setToolTip("Hinweis");
    setEditTint(&edit, QColor(0x80, 0xFF, 0x80, 0x20));
    EXPECT_EQ(edit.palette().color(QPalette::Base), QColor(0x80, 0xFF, 0x80));
    markInvalid(&edit, "zu groß");
    markInvalid(&edit, "noch größer");
    EXPECT_TRUE(isMarkedInvalid(&edit));
    EXPECT_EQ(edit.toolTip(), QString::fromUtf8("noch größer"));
    EXPECT_TRUE(edit.styleSheet().contains("#80ff80")); // still the channel's tint
    setEditTint(&edit, QColor(0xFF, 0x80, 0x80));
    EXPECT_TRUE(edit.styleSheet().contains("#ff8080"));
    setEditTint(&edit, QColor(0x80, 0xFF, 0x80));
    clearInvalid(&edit);
    EXPECT_FALSE(isMarkedInvalid(&edit));
    EXPECT_EQ(edit.toolTip(), "Hinweis");
    EXPECT_TRUE(edit.styleSheet().isEmpty());
    EXPECT_EQ(edit.palette().color(QPalette::Base), QColor(0x80, 0xFF, 0x80));
}

TEST(InputMarksTest, AcceptTypedNumberMarksOnlyNumbersOutOfRangeWithTheRangesRefusal) {
    LoadTextCatalogue();
    QLineEdit edit;
    edit.setText("150");
    EXPECT_FALSE(acceptTypedNumber(&edit, fieldrange::LevelPercent));
    EXPECT_TRUE(isMarkedInvalid(&edit));
    EXPECT_EQ(edit.toolTip(), QString::fromUtf8("Ungültiger Wert: erlaubt sind 0 bis 100"));
    edit.setText("15");
    EXPECT_EQ(acceptTypedNumber(&edit, fieldrange::LevelPercent), 15.0);
    EXPECT_FALSE(isMarkedInvalid(&edit));
    edit.setText("x");
    EXPECT_FALSE(acceptTypedNumber(&edit, fieldrange::LevelPercent));
    EXPECT_FALSE(isMarkedInvalid(&edit));
    // A range with a refusal of its own says so.
    edit.setText("2128");
    EXPECT_FALSE(acceptTypedNumber(&edit, fieldrange::Year));
    EXPECT_EQ(edit.toolTip(), QString::fromUtf8("Ungültiges Jahr: erlaubt sind 2000 bis 2127"));
    textCatalogue().clear();
}

TEST(EnablingRulesTest, NothingWithoutABoard) {
    ViewFacts facts;
    facts.connected = false;
    facts.sensor = true;
    for (auto rule : {EnableRule::Connected, EnableRule::ConnectedManual,
                      EnableRule::ConnectedFanNotTemp, EnableRule::ConnectedAutoOrGeo,
                      EnableRule::ConnectedSensor, EnableRule::ConnectedSensorNotLed})
        EXPECT_FALSE(isEnabledBy(rule, facts));
}

TEST(EnablingRulesTest, ModeFanAndSensorConditions) {
    ViewFacts facts;
    facts.connected = true;
    facts.mode = 1;
    EXPECT_FALSE(isEnabledBy(EnableRule::ConnectedManual, facts));
    EXPECT_TRUE(isEnabledBy(EnableRule::ConnectedAutoOrGeo, facts));
    facts.mode = 3;
    EXPECT_FALSE(isEnabledBy(EnableRule::ConnectedAutoOrGeo, facts));
    facts.fanMode = 1;
    EXPECT_FALSE(isEnabledBy(EnableRule::ConnectedFanNotTemp, facts));
    EXPECT_FALSE(isEnabledBy(EnableRule::ConnectedSensor, facts));
    facts.sensor = true;
    EXPECT_TRUE(isEnabledBy(EnableRule::ConnectedSensorNotLed, facts));
    facts.fanFollowsLeds = true;
    EXPECT_FALSE(isEnabledBy(EnableRule::ConnectedSensorNotLed, facts));
    EXPECT_TRUE(isEnabledBy(EnableRule::ConnectedSensor, facts));
}

TEST(EnablingListTest, EachControlFollowsItsRule) {
    QWidget sheet;
    auto* always = new QLineEdit(&sheet);
    auto* manual = new QSlider(&sheet);
    QAction action(nullptr);
    EnablingList list;
    list.add(EnableRule::Connected, {always});
    list.add(EnableRule::ConnectedManual, {manual});
    list.add(EnableRule::ConnectedAutoOrGeo, &action);

    ViewFacts facts;
    facts.connected = true;
    facts.mode = std::uint8_t(BoardMode::Auto);
    list.apply(facts);
    EXPECT_TRUE(always->isEnabled());
    EXPECT_FALSE(manual->isEnabled());
    EXPECT_TRUE(action.isEnabled());

    facts.connected = false;
    list.apply(facts);
    EXPECT_FALSE(always->isEnabled());
    EXPECT_FALSE(action.isEnabled());
}

TEST(FocusRuleTest, RefreshSkipsTheFocusedControlAndTheLabelledEditCountsAsItsEdit) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* labelled = new LabelledEdit("edtMoon0", "W", &window);
    auto* other = new QLineEdit(&window);
    auto* slider = new QSlider(Qt::Horizontal, &window);
    slider->setRange(0, 100);
    layout->addWidget(labelled);
    layout->addWidget(other);
    layout->addWidget(slider);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    QTest::mouseClick(labelled->edit(), Qt::LeftButton);
    EXPECT_TRUE(focus::userIsWorking(labelled));
    EXPECT_FALSE(focus::userIsWorking(other));
    focus::showText(labelled->edit(), "from board");
    focus::showText(other, "from board");
    focus::showValue(slider, 40);
    EXPECT_EQ(labelled->edit()->text(), "");
    EXPECT_EQ(other->text(), "from board");
    EXPECT_EQ(slider->value(), 40);

    slider->setFocus();
    focus::showValue(slider, 70);
    EXPECT_EQ(slider->value(), 40);
    EXPECT_EQ(labelled->label()->text(), "W");
}

} // namespace
} // namespace kv

// The Geo tab driven by mouse and keyboard against the simulated board.
#include "typing.h"
#include "view_test_support.h"

#include "geo/time_zone_source.h"
#include "text/text_catalogue.h"
#include "views/geo_map.h"
#include "views/geo_pictures.h"
#include "views/geo_view.h"
#include "views/input_marks.h"

#include <QAccessible>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>

namespace kv::testing {
namespace {

// Central European time: +60 minutes, +120 in summer.
sunmoon::TimeZoneRules centralEurope() {
    sunmoon::TimeZoneRules r;
    r.bias = -60;
    r.standardDate = {10, 5, 0, 3, 0, 0, 0};
    r.daylightDate = {3, 5, 0, 2, 0, 0, 0};
    r.daylightBias = -60;
    return r;
}

class GeoViewTest : public ViewTest<GeoView> {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        LoadTextCatalogue();
    }
    void TearDown() override {
        ViewTest::TearDown();
        textCatalogue().clear();
        QLocale::setDefault(QLocale::c());
    }

    void createInCentralEurope() {
        create();
        view->setZoneRules([](int) { return centralEurope(); });
        // The place the window presets before a board tells its own.
        setPlace(501, 85);
    }

    // The board's clock in the preset records (no board connected).
    void setBoardMoment(int year, int month, int day, int hour, int minute) {
        preset([&](InfoBlock& info, ExpertBlock&) {
            info.setCalendarYear(year);
            info.Month = std::int8_t(month);
            info.Day = std::int8_t(day);
            info.Hour = std::int8_t(hour);
            info.Minute = std::int8_t(minute);
        });
    }
    void setPlace(std::int16_t lat, std::int16_t lon) {
        preset([&](InfoBlock&, ExpertBlock& expert) {
            expert.Lat = lat;
            expert.Lon = lon;
        });
    }

    QWidget* mapViewport() { return view->map()->viewport(); }
    QStringList labelLines() { return view->figuresLabel()->text().split(QLatin1Char('\n')); }
};

TEST_F(GeoViewTest, NoonOfTheTwentyFirstOfJuneAtFrankfurtInGerman) {
    createInCentralEurope();
    showView(); // the map is drawn when it is seen
    setBoardMoment(2024, 6, 21, 12, 0);
    bringToFront();
    EXPECT_EQ(
        labelLines(),
        QStringList({QString::fromUtf8("Sonne: Richtung: 139,2°, Höhe: 58,3°, Aufgang: 05:23, "
                                       "Untergang: 21:33, Tageslänge: 16:10 Stunden"),
                     QString::fromUtf8("Mond: Richtung: 331°, Höhe: -66,2°, Aufgang: 21:58, "
                                       "Untergang: 03:59, Phase: 99,5%")}));
    EXPECT_EQ(view->scene().map().pixel(524, 111), geomap::SquareColor);
    // Nearly full and waxing: lit on both halves, a little more on the right.
    EXPECT_GT(qAlpha(view->scene().moon().pixel(45, 30)), 0);
    EXPECT_GT(qAlpha(view->scene().moon().pixel(15, 30)), 0);
    EXPECT_FALSE(view->moonPicture()->pixmap().isNull());
    EXPECT_TRUE(view->moonPicture()->accessibleDescription().contains("99,5 % beleuchtet"));
    EXPECT_EQ(view->map()->accessibleDescription(),
              QString::fromUtf8("Gewählter Ort: 50,1° nördliche Breite, 8,5° östliche Länge"));
}

TEST_F(GeoViewTest, AHiddenMapIsDrawnWhenItIsShown) {
    createInCentralEurope();
    view->UpdateGeoView();
    EXPECT_NE(view->scene().map().pixel(524, 111), geomap::SquareColor);
    showView();
    EXPECT_EQ(view->scene().map().pixel(524, 111), geomap::SquareColor);
}

TEST_F(GeoViewTest, EightyDegreesNorthInJuneShowsNoRiseSetOrDayLength) {
    createInCentralEurope();
    setPlace(800, 85);
    setBoardMoment(2024, 6, 21, 12, 0);
    bringToFront();
    const QStringList lines = labelLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith(QString::fromUtf8("Sonne: Richtung: ")));
    EXPECT_FALSE(lines[0].contains("Aufgang"));
    EXPECT_FALSE(lines[0].contains("Untergang"));
    EXPECT_FALSE(lines[0].contains(QString::fromUtf8("Tageslänge")));
}

TEST_F(GeoViewTest, AnImpossibleBoardDateKeepsTheLabelButMovesTheMarker) {
    createInCentralEurope();
    showView(); // the map is drawn when it is seen
    setBoardMoment(2024, 6, 21, 12, 0);
    bringToFront();
    const QString shown = view->figuresLabel()->text();
    preset([](InfoBlock& info, ExpertBlock& expert) {
        info.Month = 0;
        expert.Lat = -200;
    });
    view->UpdateGeoView();
    EXPECT_EQ(view->figuresLabel()->text(), shown);
    EXPECT_EQ(view->scene().map().pixel(geomap::pixelOf({-20, 8.5})), geomap::SquareColor);
}

TEST_F(GeoViewTest, TypingSevenColonFiveSetsTheClockAndKeepsTheText) {
    create();
    connectBoard();
    showView();
    typeInto(view->timeEdit(), "7:5");
    EXPECT_EQ(view->timeEdit()->text(), "7:5");
    EXPECT_EQ(service.info().Hour, 7);
    EXPECT_EQ(service.info().Minute, 5);
    EXPECT_EQ(view->timeSlider()->value(), 7 * 60 + 5);
    const auto sent = writes(InfoBlock::ReportId);
    ASSERT_EQ(sent.size(), 1u); // "7" and "7:" are no time yet
    EXPECT_EQ(infoByte(sent[0], InfoBlock::MinuteOffset), 5);
    EXPECT_EQ(infoByte(sent[0], 9), 7); // Hour
    EXPECT_FALSE(carriesLevels(sent[0]));
    EXPECT_EQ(board().boardTime().time().hour(), 7);
    EXPECT_EQ(board().boardTime().time().minute(), 5);
}

TEST_F(GeoViewTest, AnHourOrMinuteOutOfRangeIsRefused) {
    create();
    connectBoard();
    showView();
    const int hour = service.info().Hour;
    pasteInto(view->timeEdit(), "25:10");
    EXPECT_TRUE(isMarkedInvalid(view->timeEdit()));
    pasteInto(view->timeEdit(), "7:60");
    EXPECT_TRUE(isMarkedInvalid(view->timeEdit()));
    EXPECT_EQ(service.info().Hour, hour);
    EXPECT_TRUE(writes(InfoBlock::ReportId).empty());
    pasteInto(view->timeEdit(), "7:59");
    EXPECT_FALSE(isMarkedInvalid(view->timeEdit()));
    EXPECT_EQ(writes(InfoBlock::ReportId).size(), 1u);
}

TEST_F(GeoViewTest, TheTimeSliderSetsTheClockOncePerMinuteAndShowsItInTheEdit) {
    create();
    connectBoard();
    showView();
    view->timeSlider()->setFocus();
    view->timeSlider()->setValue(600);
    QTest::keyClick(view->timeSlider(), Qt::Key_Right);
    EXPECT_EQ(view->timeEdit()->text(), "10:01");
    EXPECT_EQ(service.info().Hour, 10);
    EXPECT_EQ(service.info().Minute, 1);
    EXPECT_EQ(board().boardTime().time().minute(), 1);
}

TEST_F(GeoViewTest, NowSetsRealTimeThenWritesTheComputersClock) {
    create();
    connectBoard();
    board().info().TimeLapse = 20;
    board().setBoardTime(QDateTime::currentDateTime().addDays(-40));
    poll();
    board().clearTransfers();
    showView();

    QTest::mouseClick(view->nowButton(), Qt::LeftButton);

    const auto config = configWrites();
    ASSERT_EQ(config.size(), 1u);
    EXPECT_EQ(infoByte(config[0], 33), 1); // TimeLapse
    const auto sent = writes(InfoBlock::ReportId);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_NE(infoByte(sent[1], InfoBlock::MinuteOffset), InfoBlock::UnsetByte);
    EXPECT_EQ(board().info().TimeLapse, 1);
    const QDateTime now = QDateTime::currentDateTime();
    EXPECT_LE(std::abs(board().boardTime().secsTo(now)), 2);
    EXPECT_EQ(view->datePicker()->date(), now.date());
    EXPECT_EQ(view->timeSlider()->value(), service.info().Hour * 60 + service.info().Minute);
    EXPECT_EQ(view->timeEdit()->text(), QStringLiteral("%1:%2")
                                            .arg(service.info().Hour, 2, 10, QLatin1Char('0'))
                                            .arg(service.info().Minute, 2, 10, QLatin1Char('0')));
}

TEST_F(GeoViewTest, ChangingTheDateWritesTheClockWithTheNewDate) {
    create();
    connectBoard();
    showView();
    const QDate before = view->datePicker()->date();
    view->datePicker()->setFocus();
    ASSERT_TRUE(view->datePicker()->hasFocus());
    view->datePicker()->setDate(QDate(2025, 3, 14));
    EXPECT_EQ(service.info().Day, 14);
    EXPECT_EQ(service.info().Month, 3);
    EXPECT_EQ(service.info().Year, 25);
    ASSERT_EQ(writes(InfoBlock::ReportId).size(), 1u);
    EXPECT_EQ(board().boardTime().date(), QDate(2025, 3, 14));
    EXPECT_NE(before, QDate(2025, 3, 14));
}

TEST_F(GeoViewTest, TheDatePickerKeepsToTheYearsEveryPartReadsAlike) {
    create();
    connectBoard();
    showView();
    QDateEdit* picker = view->datePicker();
    EXPECT_EQ(picker->minimumDate(), QDate(2000, 1, 1));
    EXPECT_EQ(picker->maximumDate(), QDate(2127, 12, 31));
    picker->setFocus();
    ASSERT_TRUE(picker->hasFocus());
    picker->setDate(QDate(2127, 12, 31));
    EXPECT_EQ(board().boardTime().date(), QDate(2127, 12, 31));
    // Neither a later date nor a step beyond goes past the last day.
    picker->setDate(QDate(2128, 1, 1));
    picker->setCurrentSection(QDateTimeEdit::DaySection);
    QTest::keyClick(picker, Qt::Key_Up);
    EXPECT_EQ(picker->date(), QDate(2127, 12, 31));
    EXPECT_EQ(service.info().calendarYear(), 2127);
    EXPECT_EQ(writes(InfoBlock::ReportId).size(), 1u);
}

TEST_F(GeoViewTest, WithoutABoardTheTabComputesForWhatTheUserSets) {
    createInCentralEurope();
    setBoardMoment(2024, 6, 21, 12, 0);
    showView();
    bringToFront();
    const QString frankfurt = view->figuresLabel()->text();

    pasteInto(view->latitudeEdit(), "-33,9");
    pasteInto(view->longitudeEdit(), "151,2");
    EXPECT_EQ(service.expert().Lat, -339);
    EXPECT_EQ(service.expert().Lon, 1512);
    EXPECT_NE(view->figuresLabel()->text(), frankfurt);
    EXPECT_EQ(view->scene().map().pixel(geomap::pixelOf({-33.9, 151.2})), geomap::SquareColor);

    pasteInto(view->timeEdit(), "6:30");
    EXPECT_EQ(service.info().Hour, 6);
    EXPECT_EQ(service.info().Minute, 30);

    QTest::mouseClick(view->nowButton(), Qt::LeftButton);
    EXPECT_EQ(service.info().TimeLapse, 1);
    EXPECT_EQ(QDate(service.info().calendarYear(), service.info().Month, service.info().Day),
              QDate::currentDate());
    EXPECT_EQ(shell.recordsShownAgain, std::vector<BoardRecord>{BoardRecord::Info});
    // Nothing of it reached the board.
    EXPECT_TRUE(board().transfers().empty());
}

TEST_F(GeoViewTest, ClicksAtTheMapsRightAndBottomEdgesAndBeyondAreClamped) {
    create();
    connectBoard();
    showView();
    // Larger than the picture: a click beyond it counts as on its edge.
    view->resize(1300, 900);
    QApplication::processEvents();
    ASSERT_GT(mapViewport()->width(), geomap::Width);
    QTest::mouseClick(mapViewport(), Qt::LeftButton, {}, QPoint(1000, 500));
    EXPECT_EQ(service.expert().Lon, 1800);
    EXPECT_EQ(service.expert().Lat, -900);
    EXPECT_EQ(view->longitudeEdit()->text(), "180");
    EXPECT_EQ(view->latitudeEdit()->text(), "-90");
    ASSERT_EQ(writes(ExpertBlock::ReportId).size(), 1u);
    EXPECT_EQ(board().expert().Lon, 1800);
    EXPECT_EQ(board().expert().Lat, -900);

    QTest::mouseClick(mapViewport(), Qt::RightButton, {}, QPoint(1200, 700));
    EXPECT_EQ(service.expert().Lon, 1800);
    EXPECT_EQ(service.expert().Lat, -900);
    EXPECT_EQ(writes(ExpertBlock::ReportId).size(), 2u);
}

TEST_F(GeoViewTest, ClicksOnAScrolledMapCountFromThePicturesCorner) {
    create();
    connectBoard();
    showView();
    view->resize(600, 500);
    QApplication::processEvents();
    QScrollBar* across = view->map()->horizontalScrollBar();
    ASSERT_GT(across->maximum(), 0);
    across->setValue(across->maximum());
    const int right = mapViewport()->width() - 1;
    QTest::mouseClick(mapViewport(), Qt::LeftButton, {}, QPoint(right, 250));
    // Pixel column 999 of 1000 is 179.6 degrees east.
    EXPECT_EQ(across->maximum() + right, 999);
    EXPECT_EQ(service.expert().Lon, 1796);
    EXPECT_EQ(service.expert().Lat, 0);
}

TEST_F(GeoViewTest, ThePointerShowsItsPlaceInTheStatusBarUntilItLeaves) {
    create();
    showView();
    QTest::mouseMove(mapViewport(), QPoint(524, 111));
    EXPECT_EQ(shell.passingStatus, QString::fromUtf8("Mausposition: Breite: 50°, Länge: 8,6°"));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(mapViewport(), &leave);
    EXPECT_TRUE(shell.passingStatus.isEmpty());
    EXPECT_EQ(mapViewport()->cursor().shape(), Qt::CrossCursor);
}

TEST_F(GeoViewTest, TypedPlacesAreStoredInTenthsAndOutOfRangeOnesRefused) {
    create();
    connectBoard();
    showView();
    pasteInto(view->latitudeEdit(), "-33,9");
    EXPECT_EQ(service.expert().Lat, -339);
    ASSERT_EQ(writes(ExpertBlock::ReportId).size(), 1u);
    EXPECT_EQ(board().expert().Lat, -339);

    pasteInto(view->latitudeEdit(), "95");
    EXPECT_TRUE(isMarkedInvalid(view->latitudeEdit()));
    pasteInto(view->longitudeEdit(), "-180,5");
    EXPECT_TRUE(isMarkedInvalid(view->longitudeEdit()));
    pasteInto(view->longitudeEdit(), "abc");
    EXPECT_EQ(service.expert().Lat, -339);
    EXPECT_EQ(writes(ExpertBlock::ReportId).size(), 1u);

    pasteInto(view->latitudeEdit(), "90");
    pasteInto(view->longitudeEdit(), "151,2");
    EXPECT_EQ(service.expert().Lat, 900);
    EXPECT_EQ(service.expert().Lon, 1512);
}

TEST_F(GeoViewTest, RefreshesSkipTheControlTheUserIsWorking) {
    create();
    connectBoard();
    showView();
    board().setBoardTime(QDateTime(QDate(2026, 5, 4), QTime(9, 30)));
    board().expert().Lat = 123;
    reread(BoardRecord::Expert);
    poll();
    EXPECT_EQ(view->timeEdit()->text(), "09:30");
    EXPECT_EQ(view->timeSlider()->value(), 9 * 60 + 30);
    EXPECT_EQ(view->datePicker()->date(), QDate(2026, 5, 4));
    EXPECT_EQ(view->latitudeEdit()->text(), "12,3");

    typeInto(view->latitudeEdit(), "4");
    board().expert().Lat = 555;
    reread(BoardRecord::Expert);
    EXPECT_EQ(view->latitudeEdit()->text(), "4");
}

TEST_F(GeoViewTest, ADoubleClickOnTheMoonShowsTheConfiguration) {
    create();
    showView();
    QTest::mouseDClick(view->moonPicture(), Qt::LeftButton);
    EXPECT_EQ(shell.tabsShown, QStringList({"tsConfig"}));
}

TEST_F(GeoViewTest, EveryControlIsNamedForAssistiveTechnology) {
    create();
    for (QWidget* control : std::initializer_list<QWidget*>{
             view->latitudeEdit(), view->longitudeEdit(), view->timeEdit(), view->timeSlider(),
             view->datePicker(), view->nowButton(), view->map(), view->moonPicture()}) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        ASSERT_TRUE(accessible);
        EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty())
            << control->objectName().toStdString();
    }
    EXPECT_EQ(view->timeSlider()->accessibleName(), "Time (HH:MM)");
}

} // namespace
} // namespace kv::testing

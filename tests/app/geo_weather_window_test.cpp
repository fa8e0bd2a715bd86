// The Geo and weather tabs in the whole window: the menu command that sets
// the board's clock, the tabs they show, their texts and enabling.
#include "window_test_support.h"

#include "views/geo_pictures.h"
#include "views/labelled_edit.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kv::testing {
namespace {

class GeoWeatherWindowTest : public WindowTest {};

TEST_F(GeoWeatherWindowTest, SetTimeAndDateShowsGeoAndActsAsItsNowButton) {
    startConnected(0);
    board().info().TimeLapse = 12;
    board().setBoardTime(QDateTime::currentDateTime().addSecs(-5 * 3600));
    poll();
    board().clearTransfers();

    window->menu().mnuSetTimeDate->trigger();

    EXPECT_EQ(currentTabName(), "tsGeo");
    const auto config = configWrites();
    ASSERT_EQ(config.size(), 1u);
    EXPECT_EQ(infoByte(config[0], 33), 1); // TimeLapse: real time again
    EXPECT_EQ(board().info().TimeLapse, 1);
    const QDateTime now = QDateTime::currentDateTime();
    EXPECT_LE(std::abs(board().boardTime().secsTo(now)), 2);
    const QString shown = child<LabelledEdit>("edtTime")->edit()->text();
    EXPECT_TRUE(shown == now.toString("HH:mm") || shown == now.addSecs(-60).toString("HH:mm"))
        << shown.toStdString();
    EXPECT_FALSE(child<QLabel>("lblGeo")->text().isEmpty());
}

TEST_F(GeoWeatherWindowTest, BeforeAnyBoardTheGeoTabShowsTheComputersMomentAtThePresetPlace) {
    create({});
    EXPECT_EQ(service().info().TimeLapse, 1);
    EXPECT_EQ(service().info().Day, QDate::currentDate().day());
    EXPECT_EQ(child<LabelledEdit>("edtLat")->edit()->text(), "50.1");
    EXPECT_EQ(child<LabelledEdit>("edtLon")->edit()->text(), "8.5");
    window->switchToTab(window->page("tsGeo"));
    EXPECT_TRUE(child<QLabel>("lblGeo")->text().startsWith("Sonne: Richtung: "));
}

TEST_F(GeoWeatherWindowTest, TheMoonLeadsToTheConfigurationAndThePointerToTheStatusBar) {
    startConnected(2);
    window->switchToTab(window->page("tsGeo"));
    QTest::mouseDClick(child<QLabel>("imgMoon"), Qt::LeftButton);
    EXPECT_EQ(currentTabName(), "tsConfig");

    window->switchToTab(window->page("tsGeo"));
    QWidget* map = child<WorldMapView>("imgGeo")->viewport();
    QTest::mouseMove(map, QPoint(500, 250));
    EXPECT_EQ(window->statusPanels()->panelText(0),
              QString::fromUtf8("Mausposition: Breite: 0°, Länge: 0°"));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(map, &leave);
    EXPECT_TRUE(window->statusPanels()->panelText(0).isEmpty());
}

TEST_F(GeoWeatherWindowTest, CataloguedTextsAndTheChannelLettersAfterStart) {
    create({});
    EXPECT_EQ(window->pages()->tabText(window->pages()->indexOf(window->page("tsWeatherDelay"))),
              QString::fromUtf8("Verzögerungen"));
    EXPECT_EQ(child<LabelledEdit>("edtCloudCount")->caption(), "Durchschnittliche Anzahl pro Tag");
    EXPECT_EQ(child<QPushButton>("btnStorm")->text(), QString::fromUtf8("Jetzt auslösen/beenden"));
    EXPECT_EQ(child<QPushButton>("btnNow")->text(), "Jetzt");
    EXPECT_EQ(child<LabelledEdit>("edtTime")->caption(), "Zeit (HH:MM)");
    for (int channel = 0; channel < 4; ++channel) {
        const QString letter = QString("WRGB")[channel];
        EXPECT_EQ(child<LabelledEdit>(QString("edtMoon%1").arg(channel))->caption(), letter);
        EXPECT_EQ(child<LabelledEdit>(QString("edtWeatherDelay%1").arg(channel))->caption(),
                  letter);
    }
    EXPECT_FALSE(child<QWidget>("edtMoon4"));
    EXPECT_FALSE(child<QWidget>("trbWeatherDelay11"));
}

// The window comes up under a pointer that rests where the map will be: the
// map's page is shown and hidden as the board connects, and Qt tells the map
// of the pointer each time, but a pointer that never moved over the map never
// entered it, and the detection text stays in the status bar.
TEST_F(GeoWeatherWindowTest, APointerRestingWhereTheMapAppearsLeavesTheDetectionTextAlone) {
    create();
    setBoardMode(board(), BoardMode::Geo);
    sim().unplugBoard();
    showWindow();
    // Where the map's middle is on the screen.
    WorldMapView* mapView = child<WorldMapView>("imgGeo");
    QWidget* map = mapView->viewport();
    window->switchToTab(window->page("tsGeo"));
    const QPoint overMap = map->mapToGlobal(map->rect().center());
    window->switchToTab(window->page("tsMessages"));
    ASSERT_EQ(currentTabName(), "tsMessages");
    QCursor::setPos(overMap);
    QTest::mouseMove(window.get(), window->mapFromGlobal(overMap));

    // The board comes: the expert read puts the Geo tab in front (the map
    // appears under the pointer), the connection the channels (it goes).
    int lefts = 0;
    QObject::connect(mapView, &WorldMapView::left, [&] { ++lefts; });
    std::vector<QString> tabs;
    QObject::connect(window->pages(), &QTabWidget::currentChanged,
                     [&] { tabs.push_back(currentTabName()); });
    sim().plugBoard();
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->connected(); }, 5000));
    QApplication::processEvents();
    EXPECT_EQ(tabs, (std::vector<QString>{"tsGeo", "tsChannels"}));
    EXPECT_EQ(window->statusPanels()->panelText(0), "KestVELQOR 1.x.12 erkannt");
    EXPECT_EQ(lefts, 0);

    // A pointer that moves over the map shows where it is, and leaving the
    // map after that empties the panel, once.
    window->switchToTab(window->page("tsGeo"));
    QTest::mouseMove(map, QPoint(500, 250));
    EXPECT_EQ(window->statusPanels()->panelText(0),
              QString::fromUtf8("Mausposition: Breite: 0°, Länge: 0°"));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(map, &leave);
    EXPECT_TRUE(window->statusPanels()->panelText(0).isEmpty());
    window->statusPanels()->setPanelText(0, QStringLiteral("later"));
    QApplication::sendEvent(map, &leave);
    EXPECT_EQ(window->statusPanels()->panelText(0), "later");
}

} // namespace
} // namespace kv::testing

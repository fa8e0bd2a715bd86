// The history tab on its own, over a history file written as the recorder
// writes it: which board it shows, its ranges, the sentence without a
// history, and when it reads the file.
#include "view_input.h"
#include "view_test_support.h"

#include "history/history_file.h"
#include "history/history_store.h"
#include "views/history_view.h"
#include "views/picture_box.h"

#include <QAbstractButton>
#include <QDir>
#include <QLabel>
#include <QTemporaryDir>

namespace kv::testing {
namespace {

constexpr qint64 Minute = 60 * 1000;
constexpr qint64 Hour = 60 * Minute;
constexpr qint64 Day = 24 * Hour;
constexpr qint64 Now = 1796126400000; // 2026-12-01T12:00:00Z
// The simulated board's serial number.
const QString Sim = QStringLiteral("SIM-0001");

class HistoryViewTest : public ViewTest<HistoryView> {
protected:
    HistoryView& start(const QString& path, int refreshMs = 60 * 1000) {
        HistoryViewOptions options;
        options.path = path;
        options.now = [] {
            return Now;
        };
        options.refreshMs = refreshMs;
        return create(options);
    }
    QString file() const { return dir.filePath("history.sqlite"); }

    // One sample a minute from from to to, with the water at celsius and the
    // levels in 0..4096, summed up as the recorder's upkeep does.
    void record(const QString& serial, qint64 from, qint64 to, int tenths,
                std::array<int, 4> levels = {4096, 2048, 0, 0}) {
        auto history = HistoryFile::open(file(), true, nullptr);
        ASSERT_TRUE(history);
        std::vector<HistorySample> samples;
        for (qint64 t = from; t < to; t += Minute) {
            HistorySample sample;
            sample.time = t;
            sample.water = tenths;
            sample.voltage = 1200;
            sample.levels = levels;
            samples.push_back(sample);
        }
        ASSERT_TRUE(writeHistoryBatch(*history, history->boardId(serial), samples, {}));
        while (historyUpkeepStep(*history, Now)) {
        }
    }

    bool pictureShown() { return view->picture()->isVisible() && !view->sentence()->isVisible(); }
    std::pair<double, double> waterShown() {
        const auto extent = historyplot::temperatureExtent(view->shown().points);
        return extent.value_or(std::pair(0.0, 0.0));
    }
    int waterPixels() {
        const QImage& image = view->picture()->image();
        int count = 0;
        for (int y = historyplot::MarginTop; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += image.pixel(x, y) == historyplot::colors::Water ? 1 : 0;
        return count;
    }

    QTemporaryDir dir;
};

TEST_F(HistoryViewTest, ShowsTheConnectedBoardOrElseTheNewestAndSwitchesRanges) {
    // The simulated board three days ago at 30 °C and in the last three
    // hours at 25 °C; another board more recently, at 20 °C.
    record(Sim, Now - 3 * Day, Now - 3 * Day + 2 * Hour, 300);
    record(Sim, Now - 3 * Hour, Now - 30 * Minute, 250);
    record("OTHER", Now - 2 * Hour, Now, 200);

    start(file());
    showView();
    ASSERT_TRUE(pictureShown());
    EXPECT_EQ(view->range(), HistoryView::DefaultRange);
    EXPECT_TRUE(view->rangeButton(HistoryView::DefaultRange)->isChecked());
    EXPECT_EQ(view->shown().to, Now);
    EXPECT_EQ(view->shown().from, Now - Day);
    EXPECT_EQ(waterShown(), std::pair(20.0, 20.0)) << "no board: the newest in the file";
    EXPECT_EQ(view->picture()->image().size(), view->picture()->size());
    EXPECT_GT(waterPixels(), 0);

    connectBoard();
    ASSERT_EQ(service.serialNumber(), Sim);
    EXPECT_EQ(waterShown(), std::pair(25.0, 25.0)) << "the connected board's";
    EXPECT_EQ(child<QLabel>("lblHistoryBoard")->text(), "Platine " + Sim);
    EXPECT_TRUE(view->picture()->accessibleDescription().contains(
        QString::fromUtf8("Wassertemperatur 25,0 bis 25,0 °C")));

    QTest::mouseClick(view->rangeButton(2), Qt::LeftButton);
    EXPECT_EQ(view->range(), 2);
    EXPECT_EQ(view->shown().from, Now - 7 * Day);
    EXPECT_EQ(waterShown(), std::pair(25.0, 30.0));
    // Buckets of the week: none shorter than a minute, the gap of three days
    // between the two stretches left out.
    EXPECT_GE(view->shown().bucketMs, historyplot::MinBucketMs);
    EXPECT_LT(view->shown().points.size(), 100u);

    view->chooseRange(0);
    EXPECT_EQ(view->shown().from, Now - 6 * Hour);
    EXPECT_TRUE(view->rangeButton(0)->isChecked());
    EXPECT_FALSE(view->rangeButton(2)->isChecked());
    EXPECT_EQ(view->shown().bucketMs, Minute) << "six hours read by the minute";
    view->chooseRange(4);
    EXPECT_EQ(view->shown().from,
              QDateTime::fromMSecsSinceEpoch(Now).addYears(-1).toMSecsSinceEpoch());
    EXPECT_EQ(waterShown(), std::pair(25.0, 30.0));

    // A larger picture is drawn again at its size, from what was read.
    const int reads = view->reads();
    view->resize(1100, 700);
    QApplication::processEvents();
    EXPECT_EQ(view->picture()->image().size(), view->picture()->size());
    EXPECT_EQ(view->reads(), reads);
}

TEST_F(HistoryViewTest, SaysInOneGermanSentenceWhyThereIsNoHistory) {
    start(file());
    showView();
    EXPECT_FALSE(view->picture()->isVisible());
    EXPECT_EQ(view->sentence()->text(),
              QString::fromUtf8("Es gibt noch keinen Verlauf, denn unter ") +
                  QDir::toNativeSeparators(file()) + " liegt keine Verlaufsdatei.");
    EXPECT_EQ(view->sentence()->accessibleName(), view->sentence()->text());
    EXPECT_FALSE(QFileInfo::exists(file())) << "the tab never makes the file";

    // A file made meanwhile (the recorder, another program) is found on the
    // next read; without samples it says so.
    HistoryFile::open(file(), true, nullptr);
    QTest::mouseClick(view->rangeButton(0), Qt::LeftButton);
    EXPECT_EQ(view->sentence()->text(),
              QString::fromUtf8("Die Verlaufsdatei enthält noch keine Messwerte."));

    // A connected board that has no history yet.
    connectBoard();
    EXPECT_EQ(view->sentence()->text(), "Von der Platine " + service.serialNumber() +
                                            " ist noch kein Verlauf aufgezeichnet.");
    record(service.serialNumber(), Now - Hour, Now, 251);
    view->chooseRange(1);
    EXPECT_TRUE(pictureShown());
    expectAccessibleNames(view.get());
}

TEST_F(HistoryViewTest, SwitchedOffItSaysSo) {
    start(QString());
    showView();
    EXPECT_EQ(view->sentence()->text(),
              "Der Verlauf ist ausgeschaltet, weil das Programm mit --no-history gestartet wurde.");
    EXPECT_TRUE(view->rangeButton(1)->isEnabled()) << "nothing on the tab needs a board";
}

TEST_F(HistoryViewTest, AFileThatIsNotAHistoryIsRefusedUntouched) {
    QFile text(file());
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a history\n");
    text.close();
    start(file());
    showView();
    EXPECT_EQ(view->sentence()->text(), "Die Datei " + QDir::toNativeSeparators(file()) +
                                            QString::fromUtf8(" ist keine Verlaufsdatei von "
                                                              "KestVELQOR und bleibt unverändert"));
    EXPECT_EQ(QFileInfo(file()).size(), 14);
}

TEST_F(HistoryViewTest, ReadsWhenShownAndOnItsMinuteTimerNeverOnAPoll) {
    start(file());
    connectBoard();
    record(Sim, Now - Hour, Now, 250);
    EXPECT_EQ(view->reads(), 0) << "a hidden tab reads nothing";
    EXPECT_FALSE(view->refreshTimer().isActive());
    showView();
    EXPECT_EQ(view->reads(), 1);
    EXPECT_TRUE(pictureShown());
    EXPECT_TRUE(view->refreshTimer().isActive());
    EXPECT_EQ(view->refreshTimer().interval(), 60 * 1000);

    for (int i = 0; i < 5; ++i)
        poll();
    QApplication::processEvents();
    EXPECT_EQ(view->reads(), 1) << "polls do not read the file";

    view->hide();
    EXPECT_FALSE(view->refreshTimer().isActive());
    view->show();
    EXPECT_EQ(view->reads(), 2) << "shown again, read again";
}

TEST_F(HistoryViewTest, TheTimerReadsAgainWhileShownOnly) {
    // At a pace a test can wait for.
    start(file(), 20);
    record(Sim, Now - Hour, Now, 250);
    showView();
    ASSERT_TRUE(QTest::qWaitFor([this] { return view->reads() >= 3; }, 5000));
    view->hide();
    const int reads = view->reads();
    QTest::qWait(100);
    EXPECT_EQ(view->reads(), reads);
}

} // namespace
} // namespace kv::testing

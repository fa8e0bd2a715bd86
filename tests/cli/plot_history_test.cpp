// kestvelqorctl plot history: the picture of a range of a history file, its
// board, its times and sizes, and its refusals.
#include "cli_test_support.h"

#include "history/history_file.h"
#include "history/history_store.h"
#include "plot/history_picture.h"

#include <QDateTime>
#include <QDir>
#include <QImage>

#include <functional>

namespace kv::testing {
namespace {

constexpr qint64 Minute = 60 * 1000;
constexpr qint64 Hour = 60 * Minute;

class PlotHistoryTest : public CliTest {
protected:
    // One sample a minute over the last hours before now.
    void record(const QString& file, const QString& serial, int hours, std::optional<int> water) {
        auto history = HistoryFile::open(file, true, nullptr);
        ASSERT_TRUE(history);
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        std::vector<HistorySample> samples;
        for (qint64 t = now - hours * Hour; t < now; t += Minute) {
            HistorySample sample;
            sample.time = t;
            sample.water = water;
            sample.levels = {4096, 2048, 1024, 0};
            samples.push_back(sample);
        }
        ASSERT_TRUE(writeHistoryBatch(*history, history->boardId(serial), samples, {}));
    }
    // Pixels below the legend (which shows every colour).
    static int pixels(const QImage& image, const std::function<bool(QRgb)>& wanted) {
        int count = 0;
        for (int y = historyplot::MarginTop; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += wanted(image.pixel(x, y)) ? 1 : 0;
        return count;
    }
    static bool water(QRgb c) { return c == historyplot::colors::Water; }
    static bool red(QRgb c) { return qRed(c) > 150 && qGreen(c) < 40 && qBlue(c) < 40; }
};

TEST_F(PlotHistoryTest, DrawsTheNewestBoardOrTheChosenOneAtTheAskedSize) {
    const QString file = path("history.sqlite");
    record(file, "DRY-0002", 5, std::nullopt);
    record(file, "SIM-0001", 3, 251);

    // SIM-0001 has the newest sample: the water is drawn.
    ASSERT_EQ(run({"plot", "history", "h.png", "--history", file}).status, 0);
    const QImage newest(path("h.png"));
    EXPECT_EQ(newest.size(), QSize(1000, 500));
    EXPECT_GT(pixels(newest, water), 0);
    EXPECT_GT(pixels(newest, red), 0);

    // The board without a sensor: levels, no water.
    const CliResult dry = run({"--device", "DRY-0002", "--json", "plot", "history", "d.png",
                               "--size", "640x320", "--history=" + file});
    ASSERT_EQ(dry.status, 0) << dry.err.toStdString();
    EXPECT_EQ(dry.json()["width"].toInt(), 640);
    EXPECT_EQ(dry.json()["height"].toInt(), 320);
    const QImage dryImage(path("d.png"));
    EXPECT_EQ(dryImage.size(), QSize(640, 320));
    EXPECT_EQ(pixels(dryImage, water), 0);
    EXPECT_GT(pixels(dryImage, red), 0);

    // A range before the samples: the picture says so, nothing is drawn.
    ASSERT_EQ(
        run({"plot", "history", "e.png", "--history", file, "--from", "-7d", "--to", "-6d"}).status,
        0);
    const QImage empty(path("e.png"));
    EXPECT_EQ(pixels(empty, water) + pixels(empty, red), 0);
    // An ISO 8601 range around now.
    const QString yesterday = QDate::currentDate().addDays(-1).toString(Qt::ISODate);
    EXPECT_EQ(run({"plot", "history", "i.png", "--history", file, "--from", yesterday}).status, 0);
    EXPECT_GT(pixels(QImage(path("i.png")), water), 0);
}

TEST_F(PlotHistoryTest, WithoutAHistoryItEndsWithTheGermanMessage) {
    const CliResult missing = run({"plot", "history", "h.png", "--history", path("none.sqlite")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err.trimmed(), "kestvelqorctl: Keine Verlaufsdatei unter " +
                                         QDir::toNativeSeparators(path("none.sqlite")));
    EXPECT_FALSE(QFileInfo::exists(path("none.sqlite"))) << "a reader never makes the file";
    EXPECT_FALSE(QFileInfo::exists(path("h.png")));

    // The default file lives in the data folder.
    const QString fallback = path("data/kestvelqor/history.sqlite");
    EXPECT_TRUE(run({"plot", "history", "h.png"}).err.contains(fallback));
    record(fallback, "SIM-0001", 1, 250);
    EXPECT_EQ(run({"plot", "history", "h.png"}).status, 0);

    const CliResult unknown = run({"--device", "NOPE", "plot", "history", "h.png"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_TRUE(unknown.err.contains(QString::fromUtf8("enthält keine Platine NOPE")))
        << unknown.err.toStdString();
}

TEST_F(PlotHistoryTest, WrongWordsEndWithStatusTwo) {
    const QString file = path("history.sqlite");
    record(file, "SIM-0001", 1, 250);
    const QList<QStringList> wrong{
        {"plot", "history"},
        {"plot", "history", "a.png", "b.png"},
        {"plot", "history", "a.png", "--from", "yesterday"},
        {"plot", "history", "a.png", "--to", "-5x"},
        {"plot", "history", "a.png", "--from", "-1h", "--to", "-2h"},
        {"plot", "history", "a.png", "--size", "10x10"},
        {"plot", "history", "a.png", "--points", "10"},
        {"plot", "history", "a.png", "--history"},
    };
    for (const QStringList& args : wrong) {
        const CliResult result = run(QStringList(args) << "--history" << file);
        EXPECT_EQ(result.status, 2) << args.join(' ').toStdString();
        EXPECT_FALSE(QFileInfo::exists(path("a.png"))) << args.join(' ').toStdString();
    }
    EXPECT_TRUE(run({"plot", "history", "a.png", "--from", "soon"}).err.contains("--from must be"));
    EXPECT_TRUE(run({"plot", "--help"}).out.contains("plot history"));
}

} // namespace
} // namespace kv::testing

// Writes a simulated week of the simulated board (serial SIM-0001) into a
// history file, ending now, for the browser test's "Verlauf" card: a poll a
// minute, the water a degree warmer in the afternoon, the light rising in
// the morning and falling in the evening with a blue moonlight at night, the
// sensor missing for two hours yesterday and a gap of three hours without
// any polls the day before.
//
//   history_fixture FILE
#include "history/history_file.h"
#include "history/history_store.h"
#include "text/text_catalogue.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTextStream>

#include <algorithm>
#include <cmath>

using namespace kv;

namespace {

constexpr qint64 MinuteMs = 60 * 1000;
constexpr qint64 HourMs = 60 * MinuteMs;
constexpr qint64 DayMs = 24 * HourMs;

// 0 before from, 1 after to, a straight ramp between (hours of the day).
double ramp(double hour, double from, double to) {
    return std::clamp((hour - from) / (to - from), 0.0, 1.0);
}

HistorySample sampleAt(qint64 time) {
    const QTime local = QDateTime::fromMSecsSinceEpoch(time).time();
    const double hour = local.hour() + local.minute() / 60.0;
    const double day = ramp(hour, 8, 10) * (1 - ramp(hour, 19, 21));
    HistorySample s;
    s.time = time;
    s.water = int(std::lround(250 + 8 * std::sin((hour - 9) / 24 * 2 * M_PI)));
    s.voltage = 1205;
    s.levels = {int(day * 0.8 * FullLevel), int(day * 0.4 * FullLevel), int(day * 0.3 * FullLevel),
                int((0.05 + 0.55 * day) * FullLevel)};
    s.mode = 1;
    return s;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    LoadTextCatalogue();
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: history_fixture FILE\n";
        return 2;
    }
    TextMessage refusal;
    auto file = HistoryFile::open(QString::fromLocal8Bit(argv[1]), true, &refusal);
    if (!file) {
        err << refusal.text() << '\n';
        return 1;
    }
    const qint64 board = file->boardId(QStringLiteral("SIM-0001"));
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const qint64 start = now - 7 * DayMs;
    const qint64 sensorOff = now - DayMs - 6 * HourMs;
    const qint64 gap = now - 2 * DayMs - 4 * HourMs;
    std::vector<HistorySample> batch;
    for (qint64 t = start; t < now; t += MinuteMs) {
        if (t >= gap && t < gap + 3 * HourMs)
            continue;
        HistorySample sample = sampleAt(t);
        if (t >= sensorOff && t < sensorOff + 2 * HourMs)
            sample.water.reset();
        batch.push_back(sample);
        if (batch.size() == 600 || t + MinuteMs >= now) {
            if (!writeHistoryBatch(*file, board, batch, {})) {
                err << "the history file did not take the batch\n";
                return 1;
            }
            batch.clear();
            while (historyUpkeepStep(*file, t, 1000)) {
            }
        }
    }
    const HistoryEvent connected{start, QStringLiteral("connected"), QStringLiteral("Firmware 12"),
                                 QStringLiteral("service")};
    if (!writeHistoryBatch(*file, board, {}, {connected}))
        return 1;
    return 0;
}

#include "sim/sim_state.h"

#include "sim/sim_backend.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <cstdio>

namespace kv::sim {

namespace {

template <typename Record> QString hexOf(const Record& record) {
    const auto bytes = record.encode();
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())).toHex());
}

// The record stored under key, or nothing when it is missing or the wrong size.
template <typename Record>
std::optional<Record> recordOf(const QSettings& settings, const QString& key) {
    const QByteArray bytes = QByteArray::fromHex(settings.value(key).toString().toLatin1());
    if (bytes.size() != qsizetype(Record::Size))
        return std::nullopt;
    return Record::decode(reinterpret_cast<const std::uint8_t*>(bytes.constData()));
}

// Board 0 keeps the keys at the top of the file (as files of a single board
// have them); every further board has a group of its own: Board2, Board3, ...
class BoardGroup {
public:
    BoardGroup(QSettings& settings, int index) : settings_(settings), entered_(index > 0) {
        if (entered_)
            settings_.beginGroup(QStringLiteral("Board%1").arg(index + 1));
    }
    ~BoardGroup() {
        if (entered_)
            settings_.endGroup();
    }
    BoardGroup(const BoardGroup&) = delete;
    BoardGroup& operator=(const BoardGroup&) = delete;

private:
    QSettings& settings_;
    bool entered_;
};

// One board's records; a board whose records are missing or damaged keeps
// its factory settings.
void loadBoard(QSettings& settings, SimulatedBoard& board) {
    auto info = recordOf<InfoBlock>(settings, QStringLiteral("InfoBlock"));
    auto expert = recordOf<ExpertBlock>(settings, QStringLiteral("ExpertBlock"));
    auto chart = recordOf<ChartBlock>(settings, QStringLiteral("ChartBlock"));
    if (!info || !expert || !chart)
        return; // not ours, or damaged: start fresh
    Schedule schedule;
    const int lines = settings.beginReadArray(QStringLiteral("Schedule"));
    for (int i = 0; i < lines; ++i) {
        settings.setArrayIndex(i);
        if (auto line = recordOf<ScheduleLine>(settings, QStringLiteral("Line")))
            schedule.push_back(*line);
    }
    settings.endArray();
    if (schedule.size() != info->LineCount)
        return;

    board.info() = *info;
    board.expert() = *expert;
    board.chart() = *chart;
    board.schedule() = schedule;
    const qint64 offsetMs = settings.value(QStringLiteral("ClockOffsetMs"), 0).toLongLong();
    board.setBoardTime(QDateTime::currentDateTime().addMSecs(offsetMs));
}

void saveBoard(QSettings& settings, SimulatedBoard& board) {
    settings.setValue(QStringLiteral("InfoBlock"), hexOf(board.info()));
    settings.setValue(QStringLiteral("ExpertBlock"), hexOf(board.expert()));
    settings.setValue(QStringLiteral("ChartBlock"), hexOf(board.chart()));
    settings.beginWriteArray(QStringLiteral("Schedule"), int(board.schedule().size()));
    for (int i = 0; i < int(board.schedule().size()); ++i) {
        settings.setArrayIndex(i);
        settings.setValue(QStringLiteral("Line"), hexOf(board.schedule()[std::size_t(i)]));
    }
    settings.endArray();
    settings.setValue(QStringLiteral("ClockOffsetMs"),
                      QDateTime::currentDateTime().msecsTo(board.boardTime()));
}

} // namespace

QString simulatorStatePath() {
    const QString overridden = qEnvironmentVariable("KESTVELQOR_SIM_STATE");
    if (!overridden.isEmpty())
        return overridden;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/kestvelqor/simulated-board.ini");
}

void loadSimulatorState(SimBackend& simulator) {
    const QString path = simulatorStatePath();
    if (!QFileInfo::exists(path))
        return;
    QSettings settings(path, QSettings::IniFormat);
    for (int index = 0; index < simulator.boardCount(); ++index) {
        const BoardGroup group(settings, index);
        loadBoard(settings, simulator.board(index));
    }
}

bool saveSimulatorState(SimBackend& simulator) {
    const QString path = simulatorStatePath();
    const QFileInfo target(path);
    QDir().mkpath(target.absolutePath());
    // Written beside the file and renamed over it: a reader (the other
    // program) sees the old file or the new one, never half of one.
    const QString temporary =
        path + QStringLiteral(".%1.tmp").arg(QCoreApplication::applicationPid());
    {
        // Boards that this run does not simulate (it was started with fewer)
        // keep what the file holds for them.
        QSettings old(path, QSettings::IniFormat);
        QSettings settings(temporary, QSettings::IniFormat);
        settings.clear();
        for (const QString& group : old.childGroups()) {
            const bool kept = group.startsWith(QLatin1String("Board")) &&
                              group.mid(5).toInt() > simulator.boardCount();
            if (!kept)
                continue;
            old.beginGroup(group);
            settings.beginGroup(group);
            for (const QString& key : old.allKeys())
                settings.setValue(key, old.value(key));
            settings.endGroup();
            old.endGroup();
        }
        for (int index = 0; index < simulator.boardCount(); ++index) {
            const BoardGroup group(settings, index);
            saveBoard(settings, simulator.board(index));
        }
        settings.sync();
        if (settings.status() != QSettings::NoError) {
            QFile::remove(temporary);
            return false;
        }
    }
    if (std::rename(QFile::encodeName(temporary).constData(),
                    QFile::encodeName(path).constData()) != 0) {
        QFile::remove(temporary);
        return false;
    }
    return true;
}

} // namespace kv::sim

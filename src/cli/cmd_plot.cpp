// Pictures of the board as the window's tabs draw them, written as PNG files.
#include "board/value_words.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/history_reading.h"
#include "history/history_file.h"
#include "history/history_store.h"
#include "plot/history_picture.h"
#include "present/board_pictures.h"

#include <QDateTime>
#include <QFileInfo>
#include <QImage>
#include <QSaveFile>

namespace kv::cli {

using namespace present;

namespace {

constexpr QSize HistoryPictureSize(1000, 500);

struct PlotRequest {
    QString path;
    QSize size;
    int channel = 0;
    std::optional<CommandWords> words;
};

// The FILE and --size of a plot command, and its own options; nothing on
// wrong usage (already reported).
std::optional<PlotRequest> plotRequest(Context& c, QSize defaultSize, bool withChannel,
                                       const QStringList& ownOptions = {}) {
    QStringList options = QStringList{"--size"} + ownOptions;
    if (withChannel)
        options << "--channel";
    auto words = c.words(1, 1, options);
    if (!words)
        return std::nullopt;
    PlotRequest request{words->positional()[0], defaultSize, 0, words};
    if (const auto word = words->value("--size")) {
        const auto size = pictureSizeOfWord(*word);
        if (!size) {
            c.fail(ExitUsage, QStringLiteral("--size must be %1").arg(pictureSizeRule()));
            return std::nullopt;
        }
        request.size = *size;
    }
    if (const auto channel = words->value("--channel")) {
        request.channel = words::channelOf(*channel);
        if (request.channel < 0) {
            c.fail(ExitUsage, QStringLiteral("--channel must be W, R, G, B or 0 to 3"));
            return std::nullopt;
        }
    }
    return request;
}

// Written whole or not at all: an old file stays when the new one fails.
int savePicture(Context& c, const QImage& image, const QString& path) {
    QSaveFile file(path);
    // commit() does not fail when its final flush does (a full disk): flush
    // first, so a cut-off picture never replaces the old file.
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.flush() ||
        !file.commit())
        return c.fail(ExitFailed,
                      QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    if (c.json())
        c.printJson({{QStringLiteral("ok"), true},
                     {QStringLiteral("file"), QFileInfo(path).absoluteFilePath()},
                     {QStringLiteral("width"), image.width()},
                     {QStringLiteral("height"), image.height()}});
    return ExitDone;
}

} // namespace

int runPlotCurve(Context& c) {
    const auto request = plotRequest(c, CurvePictureSize, true);
    if (!request)
        return ExitUsage;
    if (int s = c.connectBoard())
        return s;
    // The schedule and, for the sun's path, the board's place.
    BoardService& board = c.service();
    if (const Outcome read = board.reread({BoardRecord::Schedule, BoardRecord::Expert}); !read.ok())
        return c.end(read);
    return savePicture(c,
                       drawBoardDayCurve(board.info(), board.expert(), board.schedule(),
                                         request->channel, request->size),
                       request->path);
}

int runPlotChart(Context& c) {
    const auto request = plotRequest(c, ChartPictureSize, false);
    if (!request)
        return ExitUsage;
    if (int s = c.connectBoard())
        return s;
    BoardService& board = c.service();
    if (const Outcome read = board.reread({BoardRecord::Expert}); !read.ok())
        return c.end(read);
    return savePicture(c,
                       drawBoardChart(board.info(), board.expert(), board.chart(), request->size),
                       request->path);
}

int runPlotHistory(Context& c) {
    const auto request = plotRequest(c, HistoryPictureSize, false, {"--history", "--from", "--to"});
    if (!request)
        return ExitUsage;
    const CommandWords& words = *request->words;
    const QDateTime now = QDateTime::currentDateTime();
    QString error;
    const auto range = historyRangeOf(words, now, &error);
    if (!range)
        return c.fail(ExitUsage, error);
    HistorySource source;
    if (int s = openHistoryForReading(c, words, source))
        return s;

    historyplot::HistoryPicture picture;
    picture.from = range->from;
    picture.to = range->to;
    const historyplot::HistoryFrame frame(request->size, range->from, range->to);
    const int points = historyplot::pointCount(range->from, range->to, frame.plotWidth());
    picture.bucketMs = historyplot::bucketLength(range->from, range->to, points);
    picture.points = historyPoints(*source.file, source.board, range->from, range->to, points,
                                   now.toMSecsSinceEpoch());
    return savePicture(c, historyplot::drawHistory(picture, request->size), request->path);
}

} // namespace kv::cli

// Pictures of the board as the window's tabs draw them, written as PNG files.
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "device/board_link.h"
#include "plot/board_chart.h"
#include "plot/board_day_curve.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QRegularExpression>
#include <QSaveFile>

namespace kv::cli {

namespace {

constexpr int SmallestSide = 50;
constexpr int LargestSide = 8000;
constexpr QSize CurveSize(1000, 600);
constexpr QSize ChartSize(600, 300);

struct PlotRequest {
    QString path;
    QSize size;
    int channel = 0;
};

// The FILE and --size of a plot command, and --channel where it has one;
// nothing on wrong usage (already reported).
std::optional<PlotRequest> plotRequest(Context& c, QSize defaultSize, bool withChannel) {
    QStringList options = {"--size"};
    if (withChannel)
        options << "--channel";
    const auto words = c.words(1, 1, options);
    if (!words)
        return std::nullopt;
    PlotRequest request{words->positional()[0], defaultSize, 0};
    if (const auto size = words->value("--size")) {
        static const QRegularExpression pattern(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
        const auto match = pattern.match(*size);
        const int width = match.hasMatch() ? match.captured(1).toInt() : 0;
        const int height = match.hasMatch() ? match.captured(2).toInt() : 0;
        const auto inRange = [](int side) {
            return side >= SmallestSide && side <= LargestSide;
        };
        if (!inRange(width) || !inRange(height)) {
            c.fail(ExitUsage, QStringLiteral("--size must be WIDTHxHEIGHT, each %1 to %2 pixels")
                                  .arg(SmallestSide)
                                  .arg(LargestSide));
            return std::nullopt;
        }
        request.size = QSize(width, height);
    }
    if (const auto channel = words->value("--channel")) {
        request.channel = channelOfWord(*channel);
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
    const auto request = plotRequest(c, CurveSize, true);
    if (!request)
        return ExitUsage;
    if (int s = c.connectBoard())
        return s;
    const BoardLink& link = c.link();
    DayCurveScene scene =
        boardDayCurveScene(link.info, link.expert, link.schedule, request->channel);
    scene.font = QGuiApplication::font();
    QImage image(request->size, QImage::Format_ARGB32_Premultiplied);
    DrawDayCurve(image, scene);
    return savePicture(c, image, request->path);
}

int runPlotChart(Context& c) {
    const auto request = plotRequest(c, ChartSize, false);
    if (!request)
        return ExitUsage;
    if (int s = c.connectBoard())
        return s;
    const BoardLink& link = c.link();
    const chart::ChartInput input =
        chart::boardChartInput(link.info, link.expert, link.chart, QDateTime::currentDateTime());
    return savePicture(c, chart::drawChart(input, request->size), request->path);
}

} // namespace kv::cli

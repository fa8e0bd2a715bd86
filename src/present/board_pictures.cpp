#include "present/board_pictures.h"

#include "plot/board_chart.h"
#include "plot/board_day_curve.h"

#include <QGuiApplication>
#include <QRegularExpression>

namespace kv::present {

namespace {

constexpr int SmallestSide = 50;
constexpr int LargestSide = 8000;

} // namespace

std::optional<QSize> pictureSizeOfWord(const QString& word) {
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
    const auto match = pattern.match(word);
    if (!match.hasMatch())
        return std::nullopt;
    const QSize size(match.captured(1).toInt(), match.captured(2).toInt());
    const auto inRange = [](int side) {
        return side >= SmallestSide && side <= LargestSide;
    };
    if (!inRange(size.width()) || !inRange(size.height()))
        return std::nullopt;
    return size;
}

QString pictureSizeRule() {
    return QStringLiteral("WIDTHxHEIGHT, each %1 to %2 pixels").arg(SmallestSide).arg(LargestSide);
}

QImage drawBoardDayCurve(const InfoBlock& info, const ExpertBlock& expert, const Schedule& schedule,
                         int channel, QSize size) {
    DayCurveScene scene = boardDayCurveScene(info, expert, schedule, channel);
    scene.font = QGuiApplication::font();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    DrawDayCurve(image, scene);
    return image;
}

QImage drawBoardChart(const InfoBlock& info, const ExpertBlock& expert, const ChartBlock& chart,
                      QSize size, const QDateTime& computer) {
    return chart::drawChart(chart::boardChartInput(info, expert, chart, computer), size);
}

} // namespace kv::present

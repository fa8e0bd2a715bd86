#pragma once

#include "device/records/chart_block.h"
#include "device/records/expert_block.h"
#include "device/records/info_block.h"
#include "device/records/schedule_line.h"

#include <QDateTime>
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

// The board's pictures as the window's tabs draw them, for `plot` and the web
// page. Drawing text needs a GUI application (the offscreen platform will do).
namespace kv::present {

inline constexpr QSize CurvePictureSize(1000, 600);
inline constexpr QSize ChartPictureSize(600, 300);

// WIDTHxHEIGHT, each side 50 to 8000 pixels; nothing for anything else.
std::optional<QSize> pictureSizeOfWord(const QString& word);
// What pictureSizeOfWord takes, for messages.
QString pictureSizeRule();

// The day curve of the board's records, channel on top.
QImage drawBoardDayCurve(const InfoBlock& info, const ExpertBlock& expert, const Schedule& schedule,
                         int channel, QSize size);
// The chart of the board's records, ending at the board's time of day on the
// computer's date.
QImage drawBoardChart(const InfoBlock& info, const ExpertBlock& expert, const ChartBlock& chart,
                      QSize size, const QDateTime& computer = QDateTime::currentDateTime());

} // namespace kv::present

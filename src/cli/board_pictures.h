#pragma once

#include <QDateTime>
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

namespace kv {
class BoardLink;
}

// The board's pictures as the window's tabs draw them, for `plot` and the web
// page. Drawing text needs a GUI application (the offscreen platform will do).
namespace kv::cli {

inline constexpr QSize CurvePictureSize(1000, 600);
inline constexpr QSize ChartPictureSize(600, 300);

// WIDTHxHEIGHT, each side 50 to 8000 pixels; nothing for anything else.
std::optional<QSize> pictureSizeOfWord(const QString& word);
// What pictureSizeOfWord takes, for messages.
QString pictureSizeRule();

// The day curve of the records the link holds, channel on top.
QImage drawBoardDayCurve(const BoardLink& link, int channel, QSize size);
// The chart of the records the link holds, ending at the board's time of day
// on the computer's date.
QImage drawBoardChart(const BoardLink& link, QSize size,
                      const QDateTime& computer = QDateTime::currentDateTime());

} // namespace kv::cli

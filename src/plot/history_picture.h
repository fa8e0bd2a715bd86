#pragma once

#include "history/history_records.h"
#include "plot/history_geometry.h"

#include <QImage>
#include <QRgb>
#include <QSize>
#include <QString>
#include <QTimeZone>

#include <array>
#include <cstdint>
#include <vector>

// The tank's history drawn into an image: the water temperature above (the
// band from the least to the greatest value of each bucket and the mean as a
// line, on its own scale in °C), the four levels below (0 to 100 %, in the
// channels' curve colours), one time axis under both. Buckets that are
// missing are gaps, never joined over. The window's history tab shows it and
// `kestvelqorctl plot history` writes it to a file; both draw through here.
namespace kv::historyplot {

// What the picture is drawn from.
struct HistoryPicture {
    std::vector<HistoryPoint> points; // oldest first, as the history's query gives them
    qint64 from = 0;                  // the range, UTC milliseconds
    qint64 to = 0;
    qint64 bucketMs = MinBucketMs;            // the length of a point's bucket
    std::array<std::uint8_t, 4> colorNames{}; // the board's InfoBlock ColorName
    QTimeZone zone = QTimeZone::systemTimeZone();
};

namespace colors {
inline constexpr QRgb Background = 0xFF000000;
inline constexpr QRgb Grid = 0xFF282828;
inline constexpr QRgb Label = 0xFF909090;
inline constexpr QRgb Water = 0xFF40C0FF;
inline constexpr QRgb WaterBand = 0x5040C0FF;
} // namespace colors

inline constexpr int FontPointSize = 8;
inline constexpr double WaterLineWidth = 2;
inline constexpr double LevelLineWidth = 1.5;

// The picture at this size (ARGB, 32 bit); a null image for an empty size.
QImage drawHistory(const HistoryPicture& picture, QSize size);

// What the picture shows, in one German sentence: the range and the water
// temperature's extent, or that the range holds no samples.
QString historyDescription(const HistoryPicture& picture);

} // namespace kv::historyplot

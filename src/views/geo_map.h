#pragma once

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QRgb>
#include <QString>

// The world map of the Geo tab: an equirectangular picture of 1000 × 500
// pixels, column x = (longitude + 180) · 1000/360, row y = (90 − latitude) ·
// 500/180. Pure drawing and geometry, free of widgets.
namespace kv::geomap {

inline constexpr int Width = 1000;
inline constexpr int Height = 500;

// The marker: a line across the map through the place in each direction,
// white at a quarter opacity, and a red square of 5 × 5 pixels on it.
inline constexpr QRgb CrossLineColor = 0x40FFFFFF;
inline constexpr QRgb SquareColor = 0xFFFF0000;

// A place on the map, in degrees (north and east positive).
struct Place {
    double latitude = 0;
    double longitude = 0;
};

// The pixel of a place (rounded halves to even); places outside the map give
// pixels outside it.
QPoint pixelOf(const Place& place);
// The place under a point of the picture; points beyond the picture count as
// on its nearest edge (the right edge is +180, the bottom edge −90).
Place placeAt(const QPointF& picturePoint);

// Tenths of a degree, as the board stores a place (rounded halves to even).
int toTenths(double degrees);

// The picture the map is drawn on, filled from the world map. The copy reuses
// the target's pixels when it has the map's size and format.
void copyMap(const QImage& worldMap, QImage& target);
// Draws the marker of the place at that pixel onto the map.
void drawMarker(QImage& map, const QPoint& pixel);

// The world map shipped with the program (a plain dark blue map if the
// picture cannot be read), in a format to draw on.
QImage loadWorldMap();

// The status text of the map pointer: "Mausposition: Breite: 50,1°, Länge:
// 8,5°" in the catalogue's words.
QString pointerText(const Place& place);
// The place in words, for the map's accessible description ("50,1° nördliche
// Breite, 8,5° östliche Länge").
QString placeInWords(const Place& place);

} // namespace kv::geomap

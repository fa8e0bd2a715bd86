#pragma once

#include <QColor>
#include <QRgb>
#include <QString>

// The sixteen colour names a channel can carry, with the colours of each: the
// day curve's line and shade, and the tint of the channel's edits.
namespace kv {

inline constexpr int ColorCount = 16;

// The colour index as the table is read: an index outside 0..15 (from a board
// or a settings file) counts as 0, "unnamed".
int colorTableIndex(int colorIndex);

// The catalogue key of the colour's name ("ColorRed").
const char* colorNameKey(int colorIndex);
// The catalogue text of the colour's name; "ColorUnnamed" for 0 and for any
// index outside the table.
QString ColorNameText(int colorIndex);

QRgb CurveColor(int colorIndex);
QRgb CurveShade(int colorIndex);
QRgb PanelTint(int colorIndex);
// A table colour as window-system colour: red, green and blue, alpha dropped.
QColor windowColor(QRgb argb);

// The name of a channel wherever channels are listed: letter, ": ", colour
// name ("R: Rot").
QString channelName(int channel, int colorIndex);

} // namespace kv

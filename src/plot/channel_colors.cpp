#include "plot/channel_colors.h"

#include "text/text_catalogue.h"

#include <array>

namespace kv {

namespace {

struct ColorEntry {
    const char* key;
    QRgb curve;
    QRgb shade;
    QRgb tint;
};

constexpr std::array<ColorEntry, ColorCount> Colors{{
    {"ColorUnnamed", 0xFFFFFFFF, 0x20FFFFFF, 0xFFFFFFFF},
    {"ColorWhite", 0xFFFFFFFF, 0x20FFFFFF, 0xFFFFFFFF},
    {"ColorRed", 0xFFFF0000, 0x20FF0000, 0xFFFF8080},
    {"ColorGreen", 0xFF00FF00, 0x2000FF00, 0xFF80FF80},
    {"ColorBlue", 0xFF0000FF, 0x200000FF, 0xFF8080FF},
    {"ColorUV", 0xFFC000FF, 0x20C000FF, 0xFFC080FF},
    {"ColorMoonLight", 0xFFFFFFFF, 0x20FFFFFF, 0xFFFFFFFF},
    {"ColorColdWhite", 0xFFF0F0FF, 0x20F0F0FF, 0xFFF0F0FF},
    {"ColorWarmWhite", 0xFFFFFFE0, 0x20FFFFE0, 0xFFFFFFE0},
    {"ColorYellow", 0xFFFFFF00, 0x20FFFF00, 0xFFFFFF00},
    {"ColorPurple", 0xFFFF0080, 0x20FF0080, 0xFFFF80C0},
    {"ColorRoyalBlue", 0xFF4000FF, 0x204000FF, 0xFFA080FF},
    {"ColorCyan", 0xFF00FFFF, 0x2000FFFF, 0xFF80FFFF},
    {"ColorViolet", 0xFFC000FF, 0x20C000FF, 0xFFC080FF},
    {"ColorOrange", 0xFFFFC000, 0x20FFC000, 0xFFFFC080},
    {"ColorDeepRed", 0xFFC00000, 0x20C00000, 0xFFC08080},
}};

const ColorEntry& entry(int colorIndex) {
    return Colors[std::size_t(colorTableIndex(colorIndex))];
}

} // namespace

int colorTableIndex(int colorIndex) {
    return colorIndex >= 0 && colorIndex < ColorCount ? colorIndex : 0;
}

const char* colorNameKey(int colorIndex) {
    return entry(colorIndex).key;
}

QString ColorNameText(int colorIndex) {
    return Msg(QString::fromLatin1(colorNameKey(colorIndex)));
}

QRgb CurveColor(int colorIndex) {
    return entry(colorIndex).curve;
}

QRgb CurveShade(int colorIndex) {
    return entry(colorIndex).shade;
}

QRgb PanelTint(int colorIndex) {
    return entry(colorIndex).tint;
}

QColor windowColor(QRgb argb) {
    return QColor(qRed(argb), qGreen(argb), qBlue(argb));
}

QString channelName(int channel, int colorIndex) {
    return ChannelLetter(channel) + QStringLiteral(": ") + ColorNameText(colorIndex);
}

} // namespace kv

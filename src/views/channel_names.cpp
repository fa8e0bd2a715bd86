#include "views/channel_names.h"

#include "device/records/info_block.h"
#include "plot/channel_colors.h"

namespace kv {

ChannelNames::ChannelNames(const InfoBlock& info, QObject* parent) : QObject(parent), info_(info) {}

int ChannelNames::colorIndex(int channel) const {
    return colorTableIndex(info_.ColorName[std::size_t(channel)]);
}

QString ChannelNames::name(int channel) const {
    return channelName(channel, colorIndex(channel));
}

QColor ChannelNames::tint(int channel) const {
    return windowColor(PanelTint(colorIndex(channel)));
}

QRgb ChannelNames::curveColor(int channel) const {
    return CurveColor(colorIndex(channel));
}

QRgb ChannelNames::curveShade(int channel) const {
    return CurveShade(colorIndex(channel));
}

} // namespace kv

#include "mqtt/state_publisher.h"

#include "board/value_words.h"

#include <cstdlib>

namespace kv::mqtt {

namespace {

const QByteArray Online = QByteArrayLiteral("online");
const QByteArray Offline = QByteArrayLiteral("offline");

bool movedBy(std::optional<int> published, int now, int step) {
    if (!published)
        return true;
    if ((*published == NoValue) != (now == NoValue))
        return true;
    return now != NoValue && std::abs(now - *published) >= step;
}

} // namespace

StatePublisher::StatePublisher(BridgeTopics topics) : topics_(std::move(topics)) {
    lastLit_.fill(FullLevel);
}

QByteArray StatePublisher::lightPayload(int level) {
    return QByteArrayLiteral("{\"state\":\"") + (level > 0 ? "ON" : "OFF") +
           QByteArrayLiteral("\",\"brightness\":") + QByteArray::number(level) + '}';
}

int StatePublisher::lastLitLevel(int channel) const {
    return lastLit_.at(std::size_t(channel));
}

void StatePublisher::see(const InfoBlock& info) {
    for (std::size_t channel = 0; channel < ChannelCount; ++channel)
        if (info.Level[channel] > 0 && info.Level[channel] <= FullLevel)
            lastLit_[channel] = info.Level[channel];
}

Publication StatePublisher::lightState(const InfoBlock& info, int channel) const {
    return {topics_.lightState(channel), lightPayload(info.Level[std::size_t(channel)]), true};
}

void StatePublisher::publishLight(const InfoBlock& info, int channel,
                                  std::vector<Publication>& out) {
    levels_[std::size_t(channel)] = info.Level[std::size_t(channel)];
    out.push_back(lightState(info, channel));
}

std::optional<Publication> StatePublisher::modeState(const InfoBlock& info) const {
    // A Mode byte that is no mode has no option of the select.
    const auto mode = boardModeOf(info.Mode);
    if (!mode)
        return std::nullopt;
    return Publication{topics_.modeState(), words::modeName(*mode).toUtf8(), true};
}

void StatePublisher::publishMode(const InfoBlock& info, std::vector<Publication>& out) {
    mode_ = info.Mode;
    if (auto state = modeState(info))
        out.push_back(*state);
}

void StatePublisher::publishTemperature(const InfoBlock& info, std::vector<Publication>& out) {
    const bool hadTemperature = temperature_ && *temperature_ != NoValue;
    temperature_ = info.WaterTemp;
    if (info.WaterTemp == NoValue) {
        out.push_back({topics_.waterTemperatureAvailability(), Offline, true});
        return;
    }
    if (!hadTemperature)
        out.push_back({topics_.waterTemperatureAvailability(), Online, true});
    out.push_back(
        {topics_.waterTemperature(), QByteArray::number(info.WaterTemp / 10.0, 'f', 1), true});
}

void StatePublisher::publishVoltage(const InfoBlock& info, std::vector<Publication>& out) {
    voltage_ = info.InputVoltage;
    if (info.InputVoltage != NoValue)
        out.push_back(
            {topics_.inputVoltage(), QByteArray::number(info.InputVoltage / 100.0, 'f', 2), true});
}

std::vector<Publication> StatePublisher::everything(const InfoBlock& info, qint64 nowMs) {
    see(info);
    std::vector<Publication> out;
    for (int channel = 0; channel < ChannelCount; ++channel)
        publishLight(info, channel, out);
    publishMode(info, out);
    // The sensor's availability is told every time, the first time too.
    temperature_.reset();
    publishTemperature(info, out);
    publishVoltage(info, out);
    measuredAt_ = nowMs;
    return out;
}

std::vector<Publication> StatePublisher::changes(const InfoBlock& info, qint64 nowMs) {
    see(info);
    std::vector<Publication> out;
    for (int channel = 0; channel < ChannelCount; ++channel)
        if (levels_[std::size_t(channel)] != info.Level[std::size_t(channel)])
            publishLight(info, channel, out);
    if (mode_ != info.Mode)
        publishMode(info, out);
    const bool due = !measuredAt_ || nowMs - *measuredAt_ >= MeasurementPeriodMs;
    if (due || movedBy(temperature_, info.WaterTemp, TemperatureStep))
        publishTemperature(info, out);
    if (due || movedBy(voltage_, info.InputVoltage, VoltageStep))
        publishVoltage(info, out);
    if (due)
        measuredAt_ = nowMs;
    return out;
}

} // namespace kv::mqtt

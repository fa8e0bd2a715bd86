#include "sim/bus_control.h"

#include "device/records/info_block.h"
#include "sim/sim_backend.h"
#include "sim/simulated_board.h"

#include <cmath>

namespace kv::sim {

namespace {

// Words parted by blanks; a word in double quotes may hold blanks, \" and \\,
// and may be empty ("").
QStringList wordsOf(const QString& line) {
    QStringList words;
    QString word;
    bool inWord = false;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar ch = line[i];
        if (quoted) {
            if (ch == QLatin1Char('\\') && i + 1 < line.size())
                word += line[++i];
            else if (ch == QLatin1Char('"'))
                quoted = false;
            else
                word += ch;
        } else if (ch.isSpace()) {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
        } else {
            inWord = true;
            if (ch == QLatin1Char('"'))
                quoted = true;
            else
                word += ch;
        }
    }
    if (inWord)
        words << word;
    return words;
}

// "none", or a decimal number within [low, high] in units of 1/scale.
std::optional<std::int16_t> measurementOf(const QStringList& words, double low, double high,
                                          double scale) {
    if (words.size() != 1)
        return std::nullopt;
    if (words[0] == QLatin1String("none"))
        return NoValue;
    bool ok = false;
    const double value = words[0].toDouble(&ok);
    if (!ok || !(value >= low && value <= high))
        return std::nullopt;
    return std::int16_t(std::lround(value * scale));
}

} // namespace

bool BusControl::isUnplugged(const QString& serial) const {
    return allUnplugged || unplugged.contains(serial);
}

BusControl parseBusControl(const QString& text) {
    BusControl control;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        QStringList words = wordsOf(trimmed);
        if (words.isEmpty())
            continue;
        const QString statement = words.takeFirst();
        if (statement == QLatin1String("unplugged")) {
            if (words.isEmpty())
                control.allUnplugged = true;
            control.unplugged << words;
        } else if (statement == QLatin1String("device") && !words.isEmpty() && words.size() <= 3) {
            BusControl::Device device;
            device.manufacturer = words[0];
            if (words.size() > 1)
                device.product = words[1];
            if (words.size() > 2)
                device.serial = words[2];
            control.devices.push_back(device);
        } else if (statement == QLatin1String("temperature")) {
            if (const auto raw = measurementOf(words, -55.0, 125.0, 10.0))
                control.waterTemp = raw;
        } else if (statement == QLatin1String("voltage")) {
            if (const auto raw = measurementOf(words, 0.0, 30.0, 100.0))
                control.inputVoltage = raw;
        }
    }
    return control;
}

void applyBusControl(SimBackend& backend, const BusControl& before, const BusControl& now) {
    for (int index = 0; index < backend.boardCount(); ++index) {
        const QString serial = SimBackend::boardSerial(index);
        const bool wasOff = before.isUnplugged(serial);
        const bool isOff = now.isUnplugged(serial);
        if (isOff && !wasOff)
            backend.unplugBoard(index);
        else if (!isOff && wasOff)
            backend.plugBoard(index);
    }
    for (int index = 0; index < backend.boardCount(); ++index) {
        InfoBlock& info = backend.board(index).info();
        if (now.waterTemp && now.waterTemp != before.waterTemp)
            info.WaterTemp = *now.waterTemp;
        if (now.inputVoltage && now.inputVoltage != before.inputVoltage)
            info.InputVoltage = *now.inputVoltage;
    }
    if (now.devices == before.devices)
        return;
    backend.removeForeignDevices();
    for (const BusControl::Device& device : now.devices)
        backend.addForeignDevice(device.manufacturer, device.product, device.serial);
}

} // namespace kv::sim

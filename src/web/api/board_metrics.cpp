#include "web/api/board_metrics.h"

#include "board/value_words.h"
#include "web/api/served_board.h"
#include "web/web_server.h"

#include <QLocale>

namespace kv::web {

namespace {

const char* const Letters[] = {"W", "R", "G", "B"};

QByteArray number(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest).toLatin1();
}

// One metric family: its HELP and TYPE lines, then its samples, each with
// the serial label first.
class Exposition {
public:
    explicit Exposition(const QString& serial)
        : serialLabel_("serial=\"" + metricsLabelValue(serial) + '"') {}

    void family(const char* name, const char* type, const char* help) {
        name_ = name;
        text_ += "# HELP " + name_ + ' ' + help + '\n';
        text_ += "# TYPE " + name_ + ' ' + type + '\n';
    }
    void sample(const QByteArray& value, const QByteArray& label = {},
                const QString& labelValue = {}) {
        text_ += name_ + '{' + serialLabel_;
        if (!label.isEmpty())
            text_ += ',' + label + "=\"" + metricsLabelValue(labelValue) + '"';
        text_ += "} " + value + '\n';
    }
    const QByteArray& text() const { return text_; }

private:
    QByteArray serialLabel_;
    QByteArray name_;
    QByteArray text_;
};

} // namespace

QByteArray metricsLabelValue(const QString& value) {
    QByteArray escaped;
    for (const char c : value.toUtf8()) {
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '"')
            escaped += "\\\"";
        else if (c == '\n')
            escaped += "\\n";
        else
            escaped += c;
    }
    return escaped;
}

QByteArray metricsText(const MetricsState& state) {
    Exposition out(state.serial);
    out.family("kestvelqor_board_connected", "gauge",
               "Whether a board with the supported firmware is connected (1) or not (0).");
    out.sample(state.connected ? "1" : "0");

    const InfoBlock& info = state.info;
    if (state.connected && state.readingsOk) {
        if (info.WaterTemp != NoValue) {
            out.family("kestvelqor_water_temperature_celsius", "gauge",
                       "Water temperature of the KestTHERMAL sensor in degrees Celsius.");
            out.sample(number(info.WaterTemp / 10.0));
        }
        if (info.InputVoltage != NoValue) {
            out.family("kestvelqor_input_voltage_volts", "gauge",
                       "Input voltage of the board in volts.");
            out.sample(number(info.InputVoltage / 100.0));
        }
        out.family("kestvelqor_channel_level_ratio", "gauge",
                   "Level of each LED channel, 0 (off) to 1 (full).");
        for (int c = 0; c < ChannelCount; ++c)
            out.sample(number(double(info.Level[std::size_t(c)]) / FullLevel), "channel",
                       QLatin1String(Letters[c]));
        out.family("kestvelqor_mode", "gauge",
                   "The board's mode: 1 for the current one, 0 for the others.");
        for (const BoardMode mode : BoardModes)
            out.sample(info.inMode(mode) ? "1" : "0", "mode", words::modeName(mode));
    }

    out.family("kestvelqor_polls_total", "counter", "Polls that asked the board for its status.");
    out.sample(QByteArray::number(state.counters.polls));
    out.family("kestvelqor_transfer_failures_total", "counter",
               "Transfer attempts to the board that failed.");
    out.sample(QByteArray::number(state.counters.transferFailures));
    out.family("kestvelqor_clock_corrections_total", "counter",
               "Times the board's clock was set to the computer's.");
    out.sample(QByteArray::number(state.counters.clockCorrections));
    return out.text();
}

MetricsApi::MetricsApi(BoardService& service, ServedBoard& board, WebServer& server,
                       QObject* parent)
    : QObject(parent), service_(service), board_(board) {
    connect(&service, &BoardService::polled, this,
            [this](bool readOk) { lastPollFailed_ = !readOk; });
    connect(&service, &BoardService::connected, this, [this] { lastPollFailed_ = false; });
    server.routes().add("GET", MetricsPath, [this](const WebRequest&, const QString&) {
        return WebReply{200,
                        QByteArrayLiteral("text/plain; version=0.0.4; charset=utf-8"),
                        metricsText(state()),
                        {}};
    });
}

MetricsState MetricsApi::state() const {
    MetricsState state;
    state.serial = board_.serial();
    state.connected = service_.isConnected();
    state.readingsOk = state.connected && !lastPollFailed_;
    state.info = service_.info();
    state.counters = service_.counters();
    return state;
}

} // namespace kv::web

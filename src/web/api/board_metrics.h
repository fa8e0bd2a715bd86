#pragma once

#include "board/board_service.h"
#include "device/records/info_block.h"
#include "web/web_reply.h"

#include <QByteArray>
#include <QObject>
#include <QString>

namespace kv::web {

class ServedBoard;
class WebServer;

inline const QString MetricsPath = QStringLiteral("/metrics");

// What the metrics show of the board.
struct MetricsState {
    QString serial;          // the served board's; empty before any connected
    bool connected = false;  // a board with the supported firmware
    bool readingsOk = false; // info holds what the last poll read
    InfoBlock info;
    BoardCounters counters;
};

// The state in Prometheus' text exposition format (version 0.0.4), every
// sample labelled with the serial number. The gauges of the readings
// (water temperature, input voltage, channel levels as ratios, the mode)
// are left out while they are not the board's: without a board, after a
// poll that got no answer, and the temperature without its sensor.
QByteArray metricsText(const MetricsState& state);

// A label value as the format writes it: backslash, double quote and line
// feed escaped.
QByteArray metricsLabelValue(const QString& value);

// GET /metrics on the server, under the API's access rules: the board's
// state as the service holds it, without a transfer of its own.
class MetricsApi : public QObject {
    Q_OBJECT
public:
    MetricsApi(BoardService& service, ServedBoard& board, WebServer& server,
               QObject* parent = nullptr);

    MetricsState state() const;

private:
    BoardService& service_;
    ServedBoard& board_;
    bool lastPollFailed_ = false;
};

} // namespace kv::web

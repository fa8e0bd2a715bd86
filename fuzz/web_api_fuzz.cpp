// Requests to the board's JSON API, answered in this process by the web
// server's routes over a board service on the simulated board (no sockets).
// The input chooses the board (its line count, none at all, transfers that
// fail), the Host header, a route (PUT schedule/N, POST mode, level, cloud,
// storm or save, GET schedule?fresh=..., GET status, or any method and path)
// and the body. Rules: nothing crashes; every error is a JSON object with its
// status, a known code and a text; a refused request (4xx) sends no write to
// the board; a GET writes nothing, and one that answers from the service's
// records (all but schedule?fresh=1) makes no transfer at all; a change that
// was answered 200 reached the board.
#include "fuzz_input.h"
#include "fuzz_target.h"

#include "board/board_service.h"
#include "sim/simulated_board.h"
#include "sim/simulation.h"
#include "text/reporter.h"
#include "web/api/board_api.h"
#include "web/error_codes.h"
#include "web/page_files.h"
#include "web/web_server.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>

#include <set>

namespace {

using namespace kv;
using fuzz::FuzzInput;

class QuietReporter : public Reporter {
public:
    void announce(const QString&) override {}
    void log(const QString&) override {}
};

const std::set<QString>& knownCodes() {
    static const std::set<QString> codes = [] {
        namespace code = web::errorcode;
        std::set<QString> names{
            code::MalformedJson,    code::BadRequest,         code::NotFound,
            code::MethodNotAllowed, code::NotAWebSocket,      code::NoBoardDate,
            code::Unauthorized,     code::WrongToken,         code::Forbidden,
            code::PayloadTooLarge,  code::HeadersTooLarge,    code::LengthRequired,
            code::BadContentLength, code::TooManyConnections, code::PageMissing};
        for (int outcome = int(OutcomeCode::OutOfRange); outcome <= int(OutcomeCode::UpdateFailed);
             ++outcome)
            names.insert(outcomeCodeName(OutcomeCode(outcome)));
        return names;
    }();
    return codes;
}

struct Counts {
    int transfers = 0;
    int writes = 0;      // tried, taken or not
    int writesTaken = 0; // that the board took
};

Counts countsOf(const sim::SimulatedBoard& board) {
    Counts counts;
    for (const sim::Transfer& transfer : board.transfers()) {
        ++counts.transfers;
        counts.writes += transfer.write ? 1 : 0;
        counts.writesTaken += transfer.write && transfer.succeeded ? 1 : 0;
    }
    return counts;
}

struct Request {
    web::WebRequest request;
    bool change = false;    // one of the API's changes
    bool freshRead = false; // GET schedule?fresh=1
};

Request chooseRequest(FuzzInput& input) {
    Request chosen;
    web::WebRequest& request = chosen.request;
    const QString api = QStringLiteral("/api/v1/");
    switch (input.below(10)) {
    case 0:
        request.method = "PUT";
        request.path =
            api + "schedule/" + (input.flag() ? input.text(6) : QString::number(input.below(400)));
        chosen.change = true;
        break;
    case 1:
        request.method = "POST";
        request.path = api + "mode";
        chosen.change = true;
        break;
    case 2:
        request.method = "POST";
        request.path = api + "level";
        chosen.change = true;
        break;
    case 3:
    case 4:
    case 5: {
        static const char* const Commands[] = {"cloud", "storm", "save"};
        request.method = "POST";
        request.path = api + Commands[input.below(3)];
        chosen.change = true;
        break;
    }
    case 6: {
        request.method = "GET";
        request.path = api + "schedule";
        const QString fresh = input.flag() ? QStringLiteral("1") : input.text(4);
        if (!fresh.isEmpty())
            request.query.addQueryItem(QStringLiteral("fresh"), fresh);
        chosen.freshRead = request.query.queryItemValue(QStringLiteral("fresh")) == "1";
        break;
    }
    case 7:
        request.method = "GET";
        request.path = api + "status";
        break;
    default: {
        // Any method and path under the API (or beside it).
        static const char* const Methods[] = {"GET", "POST", "PUT", "DELETE", "PATCH"};
        request.method = Methods[input.below(5)];
        request.path = (input.flag() ? api : QStringLiteral("/")) + input.text(24);
        chosen.change = request.method != "GET" && request.path.startsWith(api) &&
                        !request.path.startsWith(api + "session");
        break;
    }
    }
    return chosen;
}

void checkErrorBody(const web::WebReply& reply) {
    KV_FUZZ_CHECK(reply.contentType == "application/json");
    const QJsonObject body = QJsonDocument::fromJson(reply.body).object();
    KV_FUZZ_CHECK(body.value(QStringLiteral("status")).toInt() == reply.status);
    KV_FUZZ_CHECK(knownCodes().count(body.value(QStringLiteral("code")).toString()) == 1);
    KV_FUZZ_CHECK(!body.value(QStringLiteral("error")).toString().isEmpty());
}

int fuzzWebApi(const std::uint8_t* data, std::size_t size) {
    fuzz::setUpOnce();
    FuzzInput input(data, size);

    const std::uint8_t setup = input.byte();
    const bool noBoard = (setup & 0x07) == 0;
    static const int LineCounts[] = {0, 1, 255}; // 0: as the board comes
    const int lineCount = LineCounts[(setup >> 3) % 3];
    const int failures = (setup >> 5) & 0x03;
    const std::uint8_t hostChoice = input.byte();

    sim::Simulation simulation(sim::Simulation::State::Fresh);
    sim::SimulatedBoard& board = simulation.board();
    if (lineCount > 0)
        board.schedule().resize(std::size_t(lineCount));
    QuietReporter reporter;
    BoardServiceOptions options;
    options.reads = ConnectReads::Everything;
    std::vector<DeviceSource> sources;
    if (!noBoard)
        sources.push_back(simulation.source());
    BoardService service(reporter, sources, options);
    service.scanNow();
    KV_FUZZ_CHECK(service.isConnected() == !noBoard);
    web::WebServer server(QByteArray{});
    web::BoardApi api(service, server);
    web::addPageRoutes(server.routes());

    Request chosen = chooseRequest(input);
    web::WebRequest& request = chosen.request;
    request.peer = QHostAddress(QHostAddress::LocalHost);
    // The server does not listen: its port is 0.
    request.headers.insert("host", hostChoice < 240 ? "127.0.0.1:0" : "attacker.example");
    request.body = input.rest();

    board.clearTransfers();
    board.failNext(failures);
    const web::WebReply reply = server.answer(request);
    QCoreApplication::sendPostedEvents();
    const Counts counts = countsOf(board);

    KV_FUZZ_CHECK(reply.status >= 200 && reply.status < 600);
    if (reply.status >= 400)
        checkErrorBody(reply);
    if (reply.status >= 400 && reply.status < 500)
        KV_FUZZ_CHECK(counts.writes == 0);
    if (request.method == "GET") {
        KV_FUZZ_CHECK(counts.writes == 0);
        if (!chosen.freshRead)
            KV_FUZZ_CHECK(counts.transfers == 0);
    }
    if (noBoard)
        KV_FUZZ_CHECK(reply.status >= 400 || !request.path.startsWith(QLatin1String("/api/")) ||
                      request.path == QLatin1String("/api/v1/session"));
    if (chosen.change && reply.status == 200)
        KV_FUZZ_CHECK(counts.writesTaken > 0);
    return 0;
}

} // namespace

KV_FUZZ_TARGET("web_api", fuzzWebApi)

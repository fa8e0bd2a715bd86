#pragma once

// A board service over the simulated board, connected, with what it told
// its reporter and what the board received.

#include "../device/device_test_support.h"
#include "board/board_service.h"
#include "support/board_transfers.h"
#include "text/text_catalogue.h"

#include <memory>
#include <vector>

namespace kv::testing {

struct ServedBoard {
    sim::SimBackend sim;
    RecordingReporter reporter;
    std::unique_ptr<BoardService> service;
    std::vector<OperationReport> reports;

    explicit ServedBoard(ConnectReads reads = ConnectReads::Everything, bool connect = true,
                         BoardServiceOptions options = {}) {
        LoadTextCatalogue();
        options.reads = reads;
        service = std::make_unique<BoardService>(reporter, std::vector<DeviceSource>{{&sim, &sim}},
                                                 options);
        QObject::connect(service.get(), &BoardService::operationEnded,
                         [this](const OperationReport& report) { reports.push_back(report); });
        if (connect) {
            service->scanNow();
            board().clearTransfers();
            reporter.clear();
        }
    }
    BoardService& operator*() { return *service; }
    BoardService* operator->() { return service.get(); }
    sim::SimulatedBoard& board() { return sim.board(); }
    const std::vector<sim::Transfer>& transfers() { return board().transfers(); }
    std::vector<sim::Transfer> writes(std::uint8_t reportId) { return writesOf(board(), reportId); }
    std::size_t writeCount() {
        std::size_t count = 0;
        for (const auto& t : transfers())
            count += t.write ? 1 : 0;
        return count;
    }
};

} // namespace kv::testing

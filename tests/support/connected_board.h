#pragma once

// A board service connected to the simulated board in a chosen mode, as the
// view tests and the window tests start.

#include "board/board_service.h"
#include "sim/simulated_board.h"

#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace kv::testing {

// The simulated board in this mode. In Auto mode its levels follow its
// schedule by the time of day; a board in Manual mode starts dark, whatever
// the hour.
inline void setBoardMode(sim::SimulatedBoard& board, BoardMode mode) {
    board.info().setMode(mode);
    if (mode == BoardMode::Manual)
        board.info().Level = {};
}

// Sets the board's mode, runs `beforeWaiting` (a window shows itself, and
// its initial scan finds the board), scans now when nothing found the board
// yet, and waits until the service is connected. What the board received
// while connecting is forgotten.
inline void connectInMode(BoardService& service, sim::SimulatedBoard& board,
                          BoardMode mode = BoardMode::Manual,
                          const std::function<void()>& beforeWaiting = {}) {
    setBoardMode(board, mode);
    if (beforeWaiting)
        beforeWaiting();
    if (!service.boardHeld())
        service.scanNow();
    ASSERT_TRUE(QTest::qWaitFor([&service] { return service.isConnected(); }, 5000));
    board.clearTransfers();
}

} // namespace kv::testing

#include "web/api/served_board.h"

#include "board/board_service.h"

namespace kv::web {

ServedBoard::ServedBoard(BoardService& service, QObject* parent)
    : QObject(parent), service_(service) {
    connect(&service, &BoardService::connected, this, &ServedBoard::remember);
    if (service.isConnected())
        remember();
}

void ServedBoard::remember() {
    serial_ = service_.serialNumber();
    if (serial_.isEmpty())
        serial_ = QStringLiteral("unknown");
}

} // namespace kv::web

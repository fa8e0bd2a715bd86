#include "web/web_request.h"

namespace kv::web {

QString WebRequest::peerText() const {
    bool isV4 = false;
    const quint32 v4 = peer.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4).toString() : peer.toString();
}

} // namespace kv::web

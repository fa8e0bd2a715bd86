#pragma once

#include "web/web_reply.h"
#include "web/web_request.h"

#include <QByteArrayList>
#include <QString>

#include <functional>
#include <vector>

namespace kv::web {

// The server's table of paths and methods. A pattern is a path, or a path
// ending in "{}", which stands for one segment (given to the handler).
class Routes {
public:
    using Handler = std::function<WebReply(const WebRequest& request, const QString& segment)>;

    struct Route {
        QByteArray method;
        QString pattern;
        bool open = false; // served without a token (the page and its token form)
        Handler handler;
    };

    void add(const QByteArray& method, const QString& pattern, Handler handler, bool open = false);

    // What a method and path come to: the route, or the methods the path has
    // (none: 404, some: 405).
    struct Match {
        const Route* route = nullptr;
        QString segment;
        QByteArrayList allowed;
        bool open = false; // the path's routes are open
    };
    Match find(const QByteArray& method, const QString& path) const;

private:
    std::vector<Route> routes_;
};

} // namespace kv::web

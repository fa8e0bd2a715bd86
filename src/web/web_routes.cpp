#include "web/web_routes.h"

namespace kv::web {

namespace {

const QLatin1String Placeholder("{}");

// Whether path fits the pattern; the placeholder's segment into segment.
bool fits(const QString& pattern, const QString& path, QString& segment) {
    if (!pattern.endsWith(Placeholder))
        return pattern == path;
    const QString prefix = pattern.chopped(Placeholder.size());
    if (!path.startsWith(prefix))
        return false;
    const QString rest = path.mid(prefix.size());
    if (rest.isEmpty() || rest.contains(QLatin1Char('/')))
        return false;
    segment = rest;
    return true;
}

} // namespace

void Routes::add(const QByteArray& method, const QString& pattern, Handler handler, bool open) {
    routes_.push_back({method, pattern, open, std::move(handler)});
}

Routes::Match Routes::find(const QByteArray& method, const QString& path) const {
    Match match;
    for (const Route& route : routes_) {
        QString segment;
        if (!fits(route.pattern, path, segment))
            continue;
        match.allowed << route.method;
        match.open = match.open || route.open;
        if (route.method == method && !match.route) {
            match.route = &route;
            match.segment = segment;
        }
    }
    return match;
}

} // namespace kv::web

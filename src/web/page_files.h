#pragma once

#include <QJsonObject>

namespace kv::web {

class Routes;

// The page and what it needs, from the program's resources: / (the page),
// /app.js, /style.css, /favicon.svg, the charting library (/dygraph.min.js,
// /dygraph.min.css) and /texts.json (its German texts from the text
// catalogue). Served to anyone who may reach the server, without a
// token: they hold nothing of the board.
void addPageRoutes(Routes& routes);

// The catalogue texts the page shows, by catalogue key ("ModeManual",
// "tsSchedule.Caption").
QJsonObject pageTexts();

} // namespace kv::web

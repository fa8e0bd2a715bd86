#include "web/page_files.h"

#include "text/text_catalogue.h"
#include "web/error_codes.h"
#include "web/web_routes.h"

#include <QFile>

// The page lives in a static library, so its resources are registered by
// hand (outside any namespace, as the macro needs): its own files and the
// charting library copied in at build time.
static void initPageResource() {
    Q_INIT_RESOURCE(page);
    Q_INIT_RESOURCE(dygraphs);
}

namespace kv::web {

namespace {

// The messages and component captions of the catalogue the page uses.
const char* const MessageKeys[] = {"ModeManual",
                                   "ModeAuto",
                                   "ModeGeo",
                                   "Saving",
                                   "InputVoltage",
                                   "KestTHERMALNotConnected",
                                   "Line",
                                   "Time",
                                   "Altitude",
                                   "Display",
                                   "Clouds",
                                   "Storms",
                                   "Timer",
                                   "ON",
                                   "OFF",
                                   "Sun",
                                   "Moon",
                                   "Rise",
                                   "Set",
                                   "Phase",
                                   "Azimuth",
                                   "DayLength",
                                   "Latitude",
                                   "Longitude",
                                   "CloudActiveNow",
                                   "StormActiveNow"};
const char* const CaptionKeys[] = {
    "tsChannels.Caption",  "tsSchedule.Caption", "tsVisualize.Caption",   "tsGeo.Caption",
    "tsTemp.Caption",      "gbxCloud.Caption",   "gbxStorm.Caption",      "btnCloud.Caption",
    "btnCloud.Hint",       "btnStorm.Hint",      "mnuSaveEEPROM.Caption", "mnuModeManual.Caption",
    "mnuModeAuto.Caption", "mnuModeGeo.Caption", "memDescription.Caption"};

QByteArray resource(const QString& name) {
    QFile file(QStringLiteral(":/web/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void addFile(Routes& routes, const QString& path, const QString& name,
             const QByteArray& contentType) {
    routes.add(
        "GET", path,
        [name, contentType](const WebRequest&, const QString&) {
            const QByteArray bytes = resource(name);
            if (bytes.isNull())
                return errorReply(500, errorcode::PageMissing,
                                  QStringLiteral("the page's %1 is missing").arg(name));
            return WebReply{200, contentType, bytes, {}};
        },
        true);
}

} // namespace

QJsonObject pageTexts() {
    QJsonObject texts;
    for (const char* key : MessageKeys)
        texts.insert(QLatin1String(key), Msg(QLatin1String(key)));
    const TextCatalogue& catalogue = textCatalogue();
    for (const char* key : CaptionKeys)
        if (const auto value = catalogue.formValue(QLatin1String(key)))
            texts.insert(QLatin1String(key), expandLineBreaks(*value).replace(QLatin1String("\r\n"),
                                                                              QLatin1String("\n")));
    return texts;
}

void addPageRoutes(Routes& routes) {
    initPageResource();
    addFile(routes, QStringLiteral("/"), QStringLiteral("index.html"), "text/html; charset=utf-8");
    addFile(routes, QStringLiteral("/app.js"), QStringLiteral("app.js"),
            "text/javascript; charset=utf-8");
    addFile(routes, QStringLiteral("/style.css"), QStringLiteral("style.css"),
            "text/css; charset=utf-8");
    addFile(routes, QStringLiteral("/favicon.svg"), QStringLiteral("favicon.svg"), "image/svg+xml");
    addFile(routes, QStringLiteral("/dygraph.min.js"), QStringLiteral("dygraph.min.js"),
            "text/javascript; charset=utf-8");
    addFile(routes, QStringLiteral("/dygraph.min.css"), QStringLiteral("dygraph.min.css"),
            "text/css; charset=utf-8");
    routes.add(
        "GET", QStringLiteral("/texts.json"),
        [](const WebRequest&, const QString&) { return jsonReply(pageTexts()); }, true);
}

} // namespace kv::web

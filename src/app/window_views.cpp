// The views of the main window, one per tab in the order of the tabs. A new
// view is created here and nowhere else in the window.
#include "app/main_window.h"

#include "app/window_reporter.h"
#include "views/channel_panel.h"
#include "views/channel_settings_view.h"
#include "views/chart_view.h"
#include "views/config_view.h"
#include "views/empty_view.h"
#include "views/expert_view.h"
#include "views/geo_view.h"
#include "views/history_view.h"
#include "views/jmp_view.h"
#include "views/messages_view.h"
#include "views/schedule_view.h"
#include "views/visualize_view.h"
#include "views/weather_view.h"

#include <QTabWidget>

namespace kv {

void MainWindow::createViews() {
    const ViewContext context{board_, channelNames_, reporter_, *this};
    const auto empty = [&](const char* sheetName, const char* caption,
                           std::optional<EnableRule> rule = std::nullopt) {
        return views_.add(new EmptyView(context, QString::fromLatin1(sheetName),
                                        QString::fromLatin1(caption), rule));
    };

    channels_ = views_.add(new ChannelPanel(context));
    // The program drives channels 0 to 3 only: this tab is never shown.
    channelsGL_ = empty("tsChannelsGL", "Channels G-L");
    schedule_ = views_.add(new ScheduleView(context));
    views_.add(new VisualizeView(context));
    geo_ = views_.add(new GeoView(context));
    views_.add(new ConfigView(context));
    views_.add(new ChartView(context));
    views_.add(new HistoryView(context, HistoryViewOptions{historyFile_}));
    views_.add(new WeatherView(context));
    views_.add(new WeatherDelayView(context));
    views_.add(new MoonView(context));
    expert_ = views_.add(new ExpertView(context));
    jmp_ = views_.add(new JmpView(context));
    messages_ = views_.add(new MessagesView(context, reporter_.messageLog()));

    for (View* view : views_.views())
        pc_->addTab(view, view->designCaption());
}

} // namespace kv

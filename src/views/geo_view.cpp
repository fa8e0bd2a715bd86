#include "views/geo_view.h"

#include "board/board_service.h"
#include "device/clock_sync.h"
#include "device/records/field_range.h"
#include "geo/board_geo.h"
#include "geo/time_zone_source.h"
#include "text/number_format.h"
#include "views/accessible_names.h"
#include "views/clock_text.h"
#include "views/focus_rule.h"
#include "views/geo_map.h"
#include "views/geo_pictures.h"
#include "views/input_marks.h"
#include "views/labelled_edit.h"
#include "views/slider_edit_pair.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace kv {

namespace {

constexpr int MinutesPerDay = 24 * 60;
constexpr int MinutesPerHour = 60;
// The dates every part of the program reads alike from the board's year byte
// (years after 2000).
const QDate FirstBoardDate(int(fieldrange::Year.lowest), 1, 1);
const QDate LastBoardDate(int(fieldrange::Year.highest), 12, 31);

QString degreesText(int tenths) {
    return formatNumber(tenths * 0.1, u"0.#");
}

// A text the program puts into an edit: no handler runs for it.
void putText(QLineEdit* edit, const QString& text) {
    const QSignalBlocker quiet(edit);
    clearInvalid(edit);
    edit->setText(text);
}

// The date picker is worked while it has the focus or its calendar is open.
// (calendarWidget() would make the calendar: it is looked for instead.)
bool userIsWorkingDate(const QDateEdit* picker) {
    if (focus::userIsWorking(picker))
        return true;
    const auto* calendar = picker->findChild<const QCalendarWidget*>();
    return calendar && calendar->isVisible();
}

} // namespace

InfoBlock atComputerMoment(InfoBlock info, const QDateTime& now) {
    info.TimeLapse = 1;
    setBoardDateTime(info, now);
    return info;
}

GeoView::GeoView(ViewContext context)
    : View(context, QStringLiteral("tsGeo"), QStringLiteral("Geo")), scene_(&geomap::loadWorldMap),
      zoneRules_([](int year) { return timeZoneRules(QTimeZone::systemTimeZone(), year); }) {
    buildControls();
    imgGeo_->setPicture(&scene_.map());
    imgMoon_->showPicture(scene_.moon());
}

void GeoView::buildControls() {
    auto* layout = new QVBoxLayout(this);

    imgGeo_ = new WorldMapView(this);
    imgGeo_->setObjectName(QStringLiteral("imgGeo"));
    imgGeo_->setAccessibleName(QStringLiteral("Weltkarte"));
    layout->addWidget(imgGeo_, 1);

    auto* controls = new QGridLayout;
    layout->addLayout(controls);

    // Design-time texts; the catalogue replaces them at start.
    edtLat_ = new LabelledEdit(QStringLiteral("edtLat"), QStringLiteral("Latitude"), this);
    edtLat_->edit()->setToolTip(QStringLiteral("positive: north, negative: south"));
    edtLon_ = new LabelledEdit(QStringLiteral("edtLon"), QStringLiteral("Longitude"), this);
    edtLon_->edit()->setToolTip(QStringLiteral("positive: east, negative: west"));
    for (LabelledEdit* edit : {edtLat_, edtLon_}) {
        edit->edit()->setAlignment(Qt::AlignRight);
        edit->edit()->setFixedWidth(70);
        connect(edit->edit(), &QLineEdit::textChanged, this, &GeoView::edtLatChange);
    }

    dtp_ = new QDateEdit(this);
    dtp_->setObjectName(QStringLiteral("dtp"));
    dtp_->setCalendarPopup(true);
    dtp_->setDateRange(FirstBoardDate, LastBoardDate);
    dtp_->setDisplayFormat(QLocale().dateFormat(QLocale::LongFormat));
    dtp_->setAccessibleName(QStringLiteral("Datum"));
    connect(dtp_, &QDateEdit::dateChanged, this, &GeoView::dtpChange);

    trbTime_ = new QSlider(Qt::Horizontal, this);
    trbTime_->setObjectName(QStringLiteral("trbTime"));
    trbTime_->setRange(0, MinutesPerDay - 1);
    trbTime_->setPageStep(MinutesPerHour);
    trbTime_->setTickInterval(MinutesPerHour);
    trbTime_->setTickPosition(QSlider::TicksBelow);
    trbTime_->setFocusPolicy(Qt::StrongFocus);
    trbTime_->setMinimumWidth(240);

    edtTime_ = new LabelledEdit(QStringLiteral("edtTime"), QStringLiteral("Time (HH:MM)"), this);
    edtTime_->edit()->setFixedWidth(70);

    btnNow_ = new QPushButton(QStringLiteral("Now"), this);
    btnNow_->setObjectName(QStringLiteral("btnNow"));
    btnNow_->setToolTip(QStringLiteral("Set current time and date"));
    connect(btnNow_, &QPushButton::clicked, this, &GeoView::btnNowClick);

    lblGeo_ = new QLabel(this);
    lblGeo_->setObjectName(QStringLiteral("lblGeo"));
    lblGeo_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblGeo_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    imgMoon_ = new MoonPictureLabel(this);
    imgMoon_->setObjectName(QStringLiteral("imgMoon"));
    imgMoon_->setAccessibleName(QStringLiteral("Mondphase"));
    connect(imgMoon_, &MoonPictureLabel::doubleClicked, this, &GeoView::imgMoonDblClick);

    // The controls on the left, the figures below them right-aligned, the
    // moon's picture on the right of both.
    controls->addWidget(edtLat_, 0, 0, 2, 1, Qt::AlignBottom);
    controls->addWidget(edtLon_, 0, 1, 2, 1, Qt::AlignBottom);
    controls->addWidget(dtp_, 0, 2);
    controls->addWidget(trbTime_, 1, 2);
    controls->addWidget(edtTime_, 0, 3, 2, 1, Qt::AlignBottom);
    controls->addWidget(btnNow_, 1, 4, Qt::AlignBottom);
    controls->setColumnStretch(5, 1);
    controls->addWidget(lblGeo_, 2, 0, 1, 6);
    controls->addWidget(imgMoon_, 0, 6, 3, 1, Qt::AlignCenter);

    SliderEditPair::Rules time;
    time.text = [](int minuteOfDay) {
        return clockText(minuteOfDay / MinutesPerHour, minuteOfDay % MinutesPerHour);
    };
    time.read = [](QLineEdit* edit) {
        return acceptTypedClock(edit);
    };
    time.apply = [this](int minuteOfDay) {
        setTime(minuteOfDay);
    };
    timePair_ = new SliderEditPair(trbTime_, edtTime_->edit(), time, this);

    connect(imgGeo_, &WorldMapView::pressed, this, &GeoView::imgGeoMouseDown);
    connect(imgGeo_, &WorldMapView::pointerMoved, this, &GeoView::imgGeoMouseMove);
    connect(imgGeo_, &WorldMapView::left, this, &GeoView::imgGeoMouseLeave);
    textsApplied();
}

QLineEdit* GeoView::latitudeEdit() const {
    return edtLat_->edit();
}

QLineEdit* GeoView::longitudeEdit() const {
    return edtLon_->edit();
}

QLineEdit* GeoView::timeEdit() const {
    return edtTime_->edit();
}

void GeoView::setZoneRules(ZoneRules rules) {
    zoneRules_ = std::move(rules);
    rulesByYear_.clear();
}

const sunmoon::TimeZoneRules& GeoView::zoneRulesOf(int year) {
    auto known = rulesByYear_.find(year);
    if (known == rulesByYear_.end())
        known = rulesByYear_.insert(year, zoneRules_(year));
    return *known;
}

void GeoView::textsApplied() {
    nameAfterCaption(edtLat_);
    nameAfterCaption(edtLon_);
    nameAfterCaption(edtTime_, {trbTime_});
}

// ---------------------------------------------------------------------------
// Drawing

void GeoView::UpdateGeoView() {
    const InfoBlock& info = board().info();
    const ExpertBlock& expert = board().expert();
    const BoardDateTime moment = boardMoment(info);
    // The map is drawn when it can be seen: a hidden tab draws it when it is
    // shown (see showEvent).
    mapStale_ = !isVisible();
    if (!mapStale_) {
        scene_.drawMap(expert.Lat, expert.Lon);
        imgGeo_->pictureChanged();
    }
    const auto figures =
        scene_.computeFigures(expert.Lat, expert.Lon, moment, zoneRulesOf(moment.year));
    imgGeo_->setAccessibleDescription(geomap::placeInWords({expert.Lat * 0.1, expert.Lon * 0.1}));
    if (!figures)
        return;
    QString text = figures->label;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lblGeo_->setText(text.trimmed());
    imgMoon_->showPicture(scene_.moon());
    imgMoon_->setAccessibleDescription(
        QStringLiteral("%1 % beleuchtet, %2")
            .arg(formatNumber(figures->moon.illuminated * 100, u"0.#"),
                 figures->moonPicture.angleDeg > 90 ? QStringLiteral("zunehmend")
                                                    : QStringLiteral("abnehmend")));
}

void GeoView::showEvent(QShowEvent* event) {
    View::showEvent(event);
    if (mapStale_) {
        mapStale_ = false;
        scene_.drawMap(board().expert().Lat, board().expert().Lon);
        imgGeo_->pictureChanged();
    }
}

void GeoView::activated() {
    UpdateGeoView();
}

// ---------------------------------------------------------------------------
// Refresh from the records

void GeoView::showInfo() {
    const InfoBlock& info = board().info();
    showBoardTime(false);
    const QDate date(info.calendarYear(), info.Month, info.Day);
    if (date.isValid() && date >= dtp_->minimumDate() && date <= dtp_->maximumDate() &&
        !userIsWorkingDate(dtp_))
        dtp_->setDate(date);
    if (isFront())
        UpdateGeoView();
}

void GeoView::showExpert() {
    focus::showText(latitudeEdit(), degreesText(board().expert().Lat));
    focus::showText(longitudeEdit(), degreesText(board().expert().Lon));
    if (isFront())
        UpdateGeoView();
}

void GeoView::showBoardTime(bool evenIfFocused) {
    const InfoBlock& info = board().info();
    timePair_->show(info.Hour * MinutesPerHour + info.Minute, evenIfFocused);
}

// ---------------------------------------------------------------------------
// The place

void GeoView::imgGeoMouseMove(QPointF picturePoint) {
    shell().showPassingStatus(geomap::pointerText(geomap::placeAt(picturePoint)));
}

void GeoView::imgGeoMouseLeave() {
    shell().showPassingStatus(QString());
}

void GeoView::imgGeoMouseDown(QPointF picturePoint) {
    const geomap::Place place = geomap::placeAt(picturePoint);
    putText(latitudeEdit(), formatNumber(place.latitude, u"0.#"));
    putText(longitudeEdit(), formatNumber(place.longitude, u"0.#"));
    setPlace(std::int16_t(geomap::toTenths(place.latitude)),
             std::int16_t(geomap::toTenths(place.longitude)));
}

void GeoView::edtLatChange() {
    if (!focus::userIsWorking(edtLat_) && !focus::userIsWorking(edtLon_))
        return;
    // Places beyond the poles or the date line would reach the board as
    // nonsense: refused.
    const auto latitude = acceptTypedNumber(latitudeEdit(), fieldrange::Latitude);
    const auto longitude = acceptTypedNumber(longitudeEdit(), fieldrange::Longitude);
    if (!latitude || !longitude)
        return;
    const auto lat = std::int16_t(geomap::toTenths(*latitude));
    const auto lon = std::int16_t(geomap::toTenths(*longitude));
    if (lat == board().expert().Lat && lon == board().expert().Lon)
        return;
    setPlace(lat, lon);
}

void GeoView::setPlace(std::int16_t latitude, std::int16_t longitude) {
    ExpertBlock expert = board().expert();
    expert.Lat = latitude;
    expert.Lon = longitude;
    if (board().isConnected())
        board().setExpert(expert);
    else
        presetOffline(board().info(), expert);
    UpdateGeoView();
}

void GeoView::presetOffline(const InfoBlock& info, const ExpertBlock& expert) {
    board().presetRecords(info, expert);
}

// ---------------------------------------------------------------------------
// Date and time

void GeoView::dtpChange() {
    if (!userIsWorkingDate(dtp_))
        return;
    const QDate date = dtp_->date();
    if (board().isConnected()) {
        board().setClockDate(date);
    } else {
        InfoBlock info = board().info();
        info.Day = std::int8_t(date.day());
        info.Month = std::int8_t(date.month());
        info.setCalendarYear(date.year());
        presetOffline(info, board().expert());
    }
    UpdateGeoView();
}

void GeoView::setTime(int minuteOfDay) {
    const int hour = minuteOfDay / MinutesPerHour;
    const int minute = minuteOfDay % MinutesPerHour;
    if (hour == board().info().Hour && minute == board().info().Minute)
        return;
    if (board().isConnected()) {
        board().setClockTime(hour, minute);
    } else {
        InfoBlock info = board().info();
        info.Hour = std::int8_t(hour);
        info.Minute = std::int8_t(minute);
        presetOffline(info, board().expert());
    }
    UpdateGeoView();
}

void GeoView::btnNowClick() {
    const QDateTime now = QDateTime::currentDateTime();
    // Real time first (the configuration), then the clock.
    if (board().isConnected())
        board().setClock(now);
    else
        presetOffline(atComputerMoment(board().info(), now), board().expert());
    {
        const QSignalBlocker quiet(dtp_);
        dtp_->setDate(now.date());
    }
    showBoardTime(true);
    UpdateGeoView();
    // Every view shows the new clock and time lapse.
    shell().showRecordAgain(BoardRecord::Info);
}

void GeoView::imgMoonDblClick() {
    shell().showTab(QStringLiteral("tsConfig"));
}

} // namespace kv

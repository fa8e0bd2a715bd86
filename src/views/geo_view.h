#pragma once

#include "device/records/expert_block.h"
#include "device/records/info_block.h"
#include "views/view.h"
// The astronomy headers use C++20 library parts that moc cannot read; moc
// needs nothing of them.
#ifndef Q_MOC_RUN
#include "astro/time_zone_rules.h"
#include "views/geo_scene.h"
#endif

#include <QDateTime>
#include <QHash>

#include <functional>

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace kv {

class LabelledEdit;
class MoonPictureLabel;
class SliderEditPair;
class WorldMapView;

// The records' clock set to the computer's moment as "Now" sets it: time
// lapse back to real time and every clock field. The window presets its
// records with it before a board is read.
InfoBlock atComputerMoment(InfoBlock info, const QDateTime& now);

// The Geo tab: the place whose sun the board follows in its Geo mode (a
// click on the world map or the latitude and longitude edits; the ExpertBlock
// fields Lat and Lon), the board's date and time (the InfoBlock clock), and
// for that place and moment the sun's and the moon's figures and the moon's
// phase. Every change goes to the board at once; everything shown is drawn
// again from the records. Without a board the tab still computes the sun and
// the moon: what the user sets becomes the records' preset, which the next
// board's own records replace.
class GeoView : public View {
    Q_OBJECT
public:
    explicit GeoView(ViewContext context);

    // The board's time into the time controls and its date into the picker
    // (each only while the user is not working it); the tab is drawn again
    // while it is in front.
    void showInfo() override;
    // The place into the latitude and longitude edits the user is not working.
    void showExpert() override;
    void activated() override;
    void textsApplied() override;

    // "Jetzt": real time again, then the computer's date and time into the
    // controls and onto the board (without one, into the records).
    void btnNowClick();
    // Draws the map with the place's marker, the figures and the moon's
    // phase again from the records. A board moment that gives no figures
    // (month 0 before a board is connected) leaves the label and the moon
    // picture as they were.
    void UpdateGeoView();

    // Where the local time zone's rules for a year come from: the computer's
    // zone unless set.
    using ZoneRules = std::function<sunmoon::TimeZoneRules(int year)>;
    void setZoneRules(ZoneRules rules);

    WorldMapView* map() const { return imgGeo_; }
    MoonPictureLabel* moonPicture() const { return imgMoon_; }
    QLabel* figuresLabel() const { return lblGeo_; }
    QLineEdit* latitudeEdit() const;
    QLineEdit* longitudeEdit() const;
    QDateEdit* datePicker() const { return dtp_; }
    QSlider* timeSlider() const { return trbTime_; }
    QLineEdit* timeEdit() const;
    QPushButton* nowButton() const { return btnNow_; }
    const GeoScene& scene() const { return scene_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    // The handlers of the tab's controls.
    void imgGeoMouseDown(QPointF picturePoint);
    void imgGeoMouseMove(QPointF picturePoint);
    void imgGeoMouseLeave();
    void edtLatChange();
    void dtpChange();
    void imgMoonDblClick();
    // The board's time of day as the time controls show it.
    void showBoardTime(bool evenIfFocused);
    void setTime(int minuteOfDay);
    void setPlace(std::int16_t latitude, std::int16_t longitude);
    // Without a board: the records the user set, as the preset.
    void presetOffline(const InfoBlock& info, const ExpertBlock& expert);
    const sunmoon::TimeZoneRules& zoneRulesOf(int year);

    GeoScene scene_;
    bool mapStale_ = false; // the map waits to be drawn until it is seen
    ZoneRules zoneRules_;
    QHash<int, sunmoon::TimeZoneRules> rulesByYear_;

    WorldMapView* imgGeo_ = nullptr;
    MoonPictureLabel* imgMoon_ = nullptr;
    QLabel* lblGeo_ = nullptr;
    LabelledEdit* edtLat_ = nullptr;
    LabelledEdit* edtLon_ = nullptr;
    QDateEdit* dtp_ = nullptr;
    QSlider* trbTime_ = nullptr;
    LabelledEdit* edtTime_ = nullptr;
    QPushButton* btnNow_ = nullptr;
    SliderEditPair* timePair_ = nullptr;
};

} // namespace kv

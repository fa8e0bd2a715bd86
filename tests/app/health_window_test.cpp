// The health line, the clock and mode panels and the caption, as the board's
// InfoBlock arrives.
#include "window_test_support.h"

#include "device/clock_sync.h"
#include "device/hid_backend.h"
#include "views/channel_panel.h"
#include "views/health_display.h"

#include <QLabel>
#include <QSlider>

namespace kv::testing {
namespace {

// The simulated bus with one change: on request the board's next InfoBlock
// comes with month 0, as from a board whose clock lost its date.
class MonthZeroBus : public HidBackend {
public:
    explicit MonthZeroBus(HidBackend& bus) : bus_(bus) {}

    bool breakNextDate = false;

    std::vector<HidDeviceInfo> enumerate() override { return bus_.enumerate(); }
    HidOpenResult open(const HidDeviceInfo& device) override {
        HidOpenResult result = bus_.open(device);
        if (result.connection)
            result.connection = std::make_unique<Connection>(*this, std::move(result.connection));
        return result;
    }

private:
    class Connection : public HidConnection {
    public:
        Connection(MonthZeroBus& bus, std::unique_ptr<HidConnection> inner)
            : bus_(bus), inner_(std::move(inner)) {}
        bool getFeature(std::uint8_t* buffer, std::size_t length) override {
            const bool ok = inner_->getFeature(buffer, length);
            if (ok && buffer[0] == InfoBlock::ReportId && bus_.breakNextDate) {
                buffer[1 + MonthOffset] = 0;
                bus_.breakNextDate = false;
            }
            return ok;
        }
        bool setFeature(const std::uint8_t* buffer, std::size_t length) override {
            return inner_->setFeature(buffer, length);
        }

    private:
        static constexpr std::size_t MonthOffset = 11;
        MonthZeroBus& bus_;
        std::unique_ptr<HidConnection> inner_;
    };

    HidBackend& bus_;
};

class HealthWindowTest : public WindowTest {
protected:
    QLabel* boardLabel() { return child<QLabel>("lblBoard"); }
    QColor labelColor() { return boardLabel()->palette().color(QPalette::WindowText); }
    QColor normalColor() {
        return boardLabel()->parentWidget()->palette().color(QPalette::WindowText);
    }

    std::unique_ptr<MonthZeroBus> bus; // when a test puts it on the bus
};

TEST_F(HealthWindowTest, RamFullShowsItsTextInTheNormalColour) {
    startConnected(0);
    board().info().ErrorFlags = 0x10;
    board().info().WaterTemp = NoValue;
    board().info().InputVoltage = NoValue;
    poll();
    EXPECT_EQ(boardLabel()->text(), "RAM voll");
    EXPECT_EQ(labelColor(), normalColor());
    EXPECT_NE(normalColor(), QColor(Qt::red));
    EXPECT_EQ(window->windowTitle(),
              QString::fromUtf8("Kest Lighting • KestVELQOR 1.x.12 • RAM voll"));
}

TEST_F(HealthWindowTest, Bit5ShowsNoTextButRed) {
    startConnected(0);
    board().info().ErrorFlags = 0x20;
    board().info().WaterTemp = NoValue;
    board().info().InputVoltage = NoValue;
    poll();
    EXPECT_TRUE(boardLabel()->text().isEmpty());
    EXPECT_EQ(labelColor(), QColor(Qt::red));
    // Back to normal when the board is well again.
    board().info().ErrorFlags = 0;
    poll();
    EXPECT_EQ(labelColor(), normalColor());
}

TEST_F(HealthWindowTest, NothingToReportLeavesTheCaptionEndingInABullet) {
    startConnected(0);
    board().info().ErrorFlags = 0;
    board().info().WaterTemp = NoValue;
    board().info().InputVoltage = NoValue;
    poll();
    EXPECT_TRUE(window->windowTitle().endsWith(QString::fromUtf8(" • ")));
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Kest Lighting • KestVELQOR 1.x.12 • "));
}

TEST_F(HealthWindowTest, ClockPanelShowsTheBoardsTime) {
    startConnected(0);
    const QDateTime when(QDate(2024, 12, 24), QTime(18, 5, 33));
    board().setBoardTime(when);
    poll();
    EXPECT_EQ(window->statusPanels()->panelText(1), boardClockText(when));
    EXPECT_TRUE(window->statusPanels()->panelText(1).contains("18:05:3"));
}

TEST_F(HealthWindowTest, ModePanelShowsModeAndActivityLetters) {
    startConnected(0);
    EXPECT_EQ(window->statusPanels()->panelText(2), "Manuell");
    board().info().Mode = 1;
    board().info().ActivityFlags = 0x01 | 0x02 | 0x20;
    poll();
    EXPECT_EQ(window->statusPanels()->panelText(2), "AutoWGT");
}

TEST_F(HealthWindowTest, InvalidBoardDateStopsTheHealthRefresh) {
    wrapSource = [this](DeviceSource source) {
        bus = std::make_unique<MonthZeroBus>(*source.backend);
        source.backend = bus.get();
        return source;
    };
    startConnected(0);
    board().info().ErrorFlags = 0x10;
    poll();
    const QString caption = window->windowTitle();
    const QString status = boardLabel()->text();
    const QString clock = window->statusPanels()->panelText(1);
    ASSERT_TRUE(caption.contains("RAM voll"));

    // A record with month 0, read.
    bus->breakNextDate = true;
    board().info().ErrorFlags = 0x01;
    board().info().Level[0] = 4096;
    poll();
    ASSERT_EQ(service().info().Month, 0);
    EXPECT_EQ(window->windowTitle(), caption);
    EXPECT_EQ(boardLabel()->text(), status);
    EXPECT_NE(labelColor(), QColor(Qt::red));
    EXPECT_EQ(window->statusPanels()->panelText(1), clock);
    // The other decoders still ran.
    EXPECT_EQ(window->channelPanel()->slider(0)->value(), 4096);
}

} // namespace
} // namespace kv::testing

// The channel tab driven by mouse and keyboard against the simulated board.
#include "typing.h"
#include "view_test_support.h"

#include "views/channel_panel.h"
#include "views/component_texts.h"
#include "views/input_marks.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QVBoxLayout>

#include <set>

namespace kv::testing {
namespace {

class ChannelPanelTest : public ViewTest<ChannelPanel> {
protected:
    void TearDown() override {
        QLocale::setDefault(QLocale::c());
        ViewTest::TearDown();
    }

    // The panel, shown, with the board connected in the given mode.
    void startConnected(BoardMode mode) {
        create();
        connectBoard(mode);
        showView();
    }

    QSlider* slider(int channel) { return view->slider(channel); }
    QLineEdit* edit(int channel) { return view->percentEdit(channel); }
    QComboBox* nameBox(int channel) { return view->nameBox(channel); }
};

// Where a slider's handle starts and how many pixels its range spans.
struct SliderGeometry {
    QRect handle;
    int grooveStart = 0;
    int span = 0;
};

SliderGeometry sliderGeometry(QSlider* slider) {
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.subControls = QStyle::SC_None;
    option.activeSubControls = QStyle::SC_None;
    option.orientation = slider->orientation();
    option.maximum = slider->maximum();
    option.minimum = slider->minimum();
    option.tickPosition = slider->tickPosition();
    option.tickInterval = slider->tickInterval();
    option.upsideDown = false;
    option.direction = slider->layoutDirection();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.singleStep = slider->singleStep();
    option.pageStep = slider->pageStep();
    option.state |= QStyle::State_Horizontal;
    const QStyle* style = slider->style();
    const QRect groove =
        style->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, slider);
    SliderGeometry g;
    g.handle = style->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
    g.grooveStart = groove.x();
    g.span = groove.right() - g.handle.width() + 1 - groove.x();
    return g;
}

TEST_F(ChannelPanelTest, DraggingTheSliderTo2048ShowsFiftyAndWritesOncePerPosition) {
    startConnected(BoardMode::Manual);
    // Give the slider a width at which its middle pixel stands for exactly
    // 2048: an even number of pixels in its range.
    QSlider* trb = slider(0);
    if (sliderGeometry(trb).span % 2 != 0) {
        trb->setFixedWidth(trb->width() + 1);
        QApplication::processEvents();
    }
    const SliderGeometry g = sliderGeometry(trb);
    ASSERT_EQ(g.span % 2, 0);
    ASSERT_EQ(trb->value(), 0);

    // Grab the handle at its left edge and drag it in steps to the middle.
    const int y = g.handle.center().y();
    QPoint at(g.handle.left(), y);
    QTest::mousePress(trb, Qt::LeftButton, Qt::NoModifier, at);
    ASSERT_TRUE(trb->hasFocus());
    std::set<int> positions;
    const int target = g.grooveStart + g.span / 2;
    for (int x = g.handle.left() + 7; x < target; x += 7) {
        QTest::mouseMove(trb, QPoint(x, y));
        positions.insert(trb->value());
    }
    QTest::mouseMove(trb, QPoint(target, y));
    positions.insert(trb->value());
    QTest::mouseMove(trb, QPoint(target, y)); // standing still sends nothing more
    QTest::mouseRelease(trb, Qt::LeftButton, Qt::NoModifier, QPoint(target, y));

    EXPECT_EQ(trb->value(), 2048);
    EXPECT_EQ(edit(0)->text(), "50");
    EXPECT_EQ(service.info().Level[0], 2048);
    positions.erase(0);
    const auto sent = levelWrites();
    ASSERT_EQ(sent.size(), positions.size());
    EXPECT_EQ(levelOf(sent.back(), 0), 2048);
    EXPECT_EQ(board().info().Level[0], 2048);
}

TEST_F(ChannelPanelTest, TypingTwelveAndAHalfPercentStores512) {
    startConnected(BoardMode::Manual);
    typeInto(edit(1), "12.5");
    EXPECT_EQ(service.info().Level[1], 512);
    EXPECT_EQ(slider(1)->value(), 512);
    EXPECT_EQ(edit(1)->text(), "12.5"); // left as typed
    ASSERT_FALSE(levelWrites().empty());
    EXPECT_EQ(levelOf(levelWrites().back(), 1), 512);
    EXPECT_EQ(board().info().Level[1], 512);
}

TEST_F(ChannelPanelTest, TypingTwelveCommaFiveUnderAGermanLocaleStores512) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    startConnected(BoardMode::Manual);
    typeInto(edit(1), "12,5");
    EXPECT_EQ(service.info().Level[1], 512);
    EXPECT_EQ(levelOf(levelWrites().back(), 1), 512);
}

TEST_F(ChannelPanelTest, PercentOutsideZeroToHundredIsRefusedAndMarked) {
    startConnected(BoardMode::Manual);
    typeInto(edit(0), "101");
    // "1" and "10" went out; "101" did not.
    EXPECT_TRUE(isMarkedInvalid(edit(0)));
    EXPECT_EQ(edit(0)->toolTip(), rangeReason(fieldrange::LevelPercent));
    EXPECT_EQ(service.info().Level[0], 410);
    EXPECT_EQ(levelOf(levelWrites().back(), 0), 410);
    const auto before = levelWrites().size();

    typeInto(edit(0), "-5");
    EXPECT_TRUE(isMarkedInvalid(edit(0)));
    EXPECT_EQ(levelWrites().size(), before);
    EXPECT_EQ(service.info().Level[0], 410);
    EXPECT_EQ(board().info().Level[0], 410);

    // A number in range takes the mark away and goes out.
    QTest::keyClick(edit(0), Qt::Key_Backspace);
    QTest::keyClick(edit(0), Qt::Key_Backspace);
    QTest::keyClicks(edit(0), "100");
    EXPECT_FALSE(isMarkedInvalid(edit(0)));
    EXPECT_EQ(service.info().Level[0], 4096);
}

TEST_F(ChannelPanelTest, TextThatIsNoNumberChangesNothing) {
    startConnected(BoardMode::Manual);
    typeInto(edit(3), "abc");
    EXPECT_TRUE(levelWrites().empty());
    EXPECT_FALSE(isMarkedInvalid(edit(3)));
}

TEST_F(ChannelPanelTest, PollingNeverOverwritesTheEditWithTheFocus) {
    startConnected(BoardMode::Manual);
    typeInto(edit(0), "3");
    ASSERT_EQ(board().info().Level[0], 123);
    // The board changes its levels on its own.
    board().info().Level[0] = 4096;
    board().info().Level[1] = 2048;
    poll();
    EXPECT_EQ(edit(0)->text(), "3");
    EXPECT_TRUE(edit(0)->hasFocus());
    EXPECT_EQ(slider(0)->value(), 4096); // not focused: follows the board
    EXPECT_EQ(edit(1)->text(), "50");
    EXPECT_EQ(slider(1)->value(), 2048);
    // Nothing the poll showed went back to the board.
    EXPECT_TRUE(levelWrites().size() == 1u);
}

TEST_F(ChannelPanelTest, SetAllChannelsWritesEveryLevelAtOnce) {
    startConnected(BoardMode::Auto);
    view->setAllChannels(819);
    ASSERT_EQ(levelWrites().size(), 1u);
    for (int channel = 0; channel < 4; ++channel) {
        EXPECT_EQ(service.info().Level[channel], 819);
        EXPECT_EQ(levelOf(levelWrites()[0], channel), 819);
        EXPECT_EQ(edit(channel)->text(), "20");
        EXPECT_EQ(slider(channel)->value(), 819);
    }
}

TEST_F(ChannelPanelTest, OnAndOffWriteOnEveryClick) {
    startConnected(BoardMode::Manual);
    auto* on = child<QPushButton>("btnOn2");
    auto* off = child<QPushButton>("btnOff2");
    QTest::mouseClick(on, Qt::LeftButton);
    QTest::mouseClick(on, Qt::LeftButton);
    EXPECT_EQ(edit(2)->text(), "100");
    EXPECT_EQ(slider(2)->value(), 4096);
    QTest::mouseClick(off, Qt::LeftButton);
    ASSERT_EQ(levelWrites().size(), 3u);
    EXPECT_EQ(levelOf(levelWrites()[1], 2), 4096);
    EXPECT_EQ(levelOf(levelWrites()[2], 2), 0);
    EXPECT_EQ(edit(2)->text(), "0");
}

TEST_F(ChannelPanelTest, ChoosingRedNamesChannelRAndTintsItsEdits) {
    create();
    board().info().ColorName[1] = 0;
    connectBoard(BoardMode::Manual);
    showView();
    // Every view that shows channel names follows this signal.
    QSignalSpy namesChanged(&names, &ChannelNames::changed);

    QComboBox* box = nameBox(1);
    QTest::mouseClick(box, Qt::LeftButton);
    if (box->view()->isVisible())
        box->hidePopup();
    box->setFocus();
    ASSERT_TRUE(box->hasFocus());
    QTest::keyClick(box, Qt::Key_Down); // Reinweiß
    QTest::keyClick(box, Qt::Key_Down); // Rot

    EXPECT_EQ(service.info().ColorName[1], 2);
    ASSERT_EQ(configWrites().size(), 2u); // one per colour chosen
    EXPECT_EQ(configWrites().back().bytes[1 + 35], 2);
    EXPECT_EQ(board().info().ColorName[1], 2);

    EXPECT_EQ(namesChanged.count(), 2);
    EXPECT_EQ(names.name(1), "R: Rot");
    const QColor tint(0xFF, 0x80, 0x80);
    EXPECT_EQ(names.tint(1), tint);
    EXPECT_EQ(edit(1)->palette().color(QPalette::Base), tint);
    EXPECT_EQ(edit(0)->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(box->currentText(), "Rot");
}

TEST_F(ChannelPanelTest, ColourIndexAbove15IsShownAsUnnamed) {
    create();
    board().info().ColorName[2] = 20;
    connectBoard(BoardMode::Manual);
    EXPECT_EQ(names.name(2), "G: Unbenannt");
    EXPECT_EQ(nameBox(2)->currentIndex(), 0);
    EXPECT_EQ(edit(2)->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xFF));
}

TEST_F(ChannelPanelTest, RowTextsAreCopiesOfTheFirstRowWithTheLetter) {
    create();
    ApplyTextCatalogue(view.get());
    views.textsApplied();
    EXPECT_EQ(view->nameLabel(0)->text(), "Beschriftung Kanal W");
    EXPECT_EQ(view->nameLabel(3)->text(), "Beschriftung Kanal B");
    EXPECT_EQ(child<QPushButton>("btnOn2")->text(), "EIN");
    EXPECT_EQ(child<QPushButton>("btnOff3")->text(), "AUS");
}

TEST_F(ChannelPanelTest, LevelControlsFollowTheMode) {
    startConnected(BoardMode::Manual);
    EXPECT_TRUE(slider(0)->isEnabled());
    board().info().Mode = 1;
    poll();
    EXPECT_FALSE(slider(0)->isEnabled());
    EXPECT_FALSE(edit(0)->isEnabled());
    EXPECT_FALSE(child<QWidget>("btnOn0")->isEnabled());
    EXPECT_TRUE(nameBox(0)->isEnabled());
    EXPECT_TRUE(child<QWidget>("lblName0")->isEnabled());
}

} // namespace
} // namespace kv::testing

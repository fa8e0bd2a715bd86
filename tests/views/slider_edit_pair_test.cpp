// The one coupling of a slider and its edit, driven by keyboard as a person
// would, with a setting that counts what it is handed and writes.
#include "qt_printers.h"
#include "views/input_marks.h"
#include "views/slider_edit_pair.h"

#include <QApplication>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace kv {
namespace {

class SliderEditPairTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        slider = new QSlider(Qt::Horizontal, &window);
        slider->setRange(0, 100);
        slider->setFocusPolicy(Qt::StrongFocus);
        edit = new QLineEdit(&window);
        layout->addWidget(slider);
        layout->addWidget(edit);
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    void couple(SliderEditPair::Rules rules) {
        if (!rules.text)
            rules.text = pairtext::integer;
        if (!rules.read)
            rules.read = pairread::integer(0, 100);
        // As the board's apply steps do: only a change is written.
        rules.apply = [this](int value) {
            if (value == field)
                return;
            field = value;
            ++writes;
        };
        pair = std::make_unique<SliderEditPair>(slider, edit, rules);
    }

    void type(const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    QWidget window;
    QSlider* slider = nullptr;
    QLineEdit* edit = nullptr;
    std::unique_ptr<SliderEditPair> pair;
    int field = 0;
    int writes = 0;
};

TEST_F(SliderEditPairTest, SliderMovedByTheUserShowsStoresAndWritesOnce) {
    couple({});
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_PageUp); // one page: 10
    EXPECT_EQ(field, 10);
    EXPECT_EQ(edit->text(), "10");
    // The edit's own change event that followed did not write again.
    EXPECT_EQ(writes, 1);
}

TEST_F(SliderEditPairTest, TypedValueMovesTheSliderKeepsTheTextAndRefusesOutOfRange) {
    couple({});
    type("42");
    EXPECT_EQ(slider->value(), 42);
    EXPECT_EQ(field, 42);
    EXPECT_EQ(writes, 2); // "4", then "42"
    type("420");
    EXPECT_TRUE(isMarkedInvalid(edit));
    EXPECT_EQ(field, 42);
    EXPECT_EQ(slider->value(), 42);
    EXPECT_EQ(edit->text(), "420");
    const int before = writes;
    type("abc");
    EXPECT_EQ(writes, before);
    EXPECT_FALSE(isMarkedInvalid(edit));
}

TEST_F(SliderEditPairTest, EditOfARateLetsTheSliderClamp) {
    SliderEditPair::Rules rules;
    rules.read = pairread::integerClampedBySlider();
    couple(rules);
    type("5000");
    EXPECT_EQ(slider->value(), 100);
    EXPECT_EQ(field, 5000); // the setting decides what a value beyond means
    EXPECT_EQ(edit->text(), "5000");
}

TEST_F(SliderEditPairTest, TenthsReadAndShowInTheLocale) {
    SliderEditPair::Rules rules;
    rules.text = pairtext::tenths;
    rules.read = pairread::tenths(0, 10);
    couple(rules);
    type("2.5");
    EXPECT_EQ(field, 25);
    EXPECT_EQ(slider->value(), 25);
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(edit->text(), "2.6");
}

TEST_F(SliderEditPairTest, RefreshWritesNothingAndSkipsTheControlInUse) {
    couple({});
    slider->clearFocus();
    pair->show(30);
    EXPECT_EQ(slider->value(), 30);
    EXPECT_EQ(edit->text(), "30");
    type("7");
    const int before = writes;
    pair->show(60);
    EXPECT_EQ(edit->text(), "7"); // the user's text stays
    EXPECT_EQ(slider->value(), 60);
    pair->show(80, true);
    EXPECT_EQ(edit->text(), "80");
    EXPECT_EQ(writes, before);
}

TEST_F(SliderEditPairTest, SliderHeldInOrderIsStoredAndWrittenOnce) {
    const int ceiling = 50;
    SliderEditPair::Rules rules;
    rules.keepOrder = [&] {
        if (slider->value() > ceiling)
            slider->setValue(ceiling);
    };
    couple(rules);
    slider->setFocus();
    slider->setValue(45);
    const int before = writes;
    QTest::keyClick(slider, Qt::Key_PageUp); // 55, held at 50
    EXPECT_EQ(slider->value(), 50);
    EXPECT_EQ(field, 50);
    EXPECT_EQ(edit->text(), "50");
    EXPECT_EQ(writes, before + 1);
}

} // namespace
} // namespace kv

// The catalogue's window section put on components found by name.
#include "qt_printers.h"
#include "views/component_texts.h"
#include "views/labelled_edit.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace kv {
namespace {

template <class T> T* named(QWidget* parent, const char* name) {
    auto* widget = new T(parent);
    widget->setObjectName(name);
    return widget;
}

class TextApplierTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.setObjectName("frmVELQOR");
        auto* tabs = named<QTabWidget>(&window, "pc");
        window.setCentralWidget(tabs);
        page = named<QWidget>(nullptr, "tsChannels");
        tabs->addTab(page, "Channels A-F");
        auto* other = named<QWidget>(nullptr, "tsMoon");
        tabs->addTab(other, "Moon");
        for (int n = 0; n < 4; ++n) {
            named<QPushButton>(page, QString("btnOn%1").arg(n).toLatin1())->setText("ON");
            named<QPushButton>(page, QString("btnOff%1").arg(n).toLatin1())->setText("OFF");
            named<QLabel>(page, QString("lblName%1").arg(n).toLatin1())->setText("Label");
            new LabelledEdit(QString("edtMoon%1").arg(n), "x", other);
        }
        named<QLineEdit>(page, "edtLat");
        named<QGroupBox>(page, "gbxFan");
        named<QRadioButton>(page, "rbtCHMTempWater")->setText("KestTHERMAL");
        named<QPlainTextEdit>(page, "mem");
        named<QSlider>(page, "trbTime");
        new LabelledEdit("edtCloudTempWater", "Cloud temperature", page);
        QMenu* file = window.menuBar()->addMenu("File");
        file->setObjectName("mnuFile");
        auto* exit = new QAction("Exit", &window);
        exit->setObjectName("mnuExit");
        auto* chart = new QAction("Water temperature", &window);
        chart->setObjectName("mnuCHMTempWater");
        file->addAction(exit);
    }

    template <class T = QObject> T* find(const char* name) {
        return qobject_cast<T*>(findComponent(&window, name));
    }

    QMainWindow window;
    QWidget* page = nullptr;
};

TEST_F(TextApplierTest, CaptionsAndHintsGoToEachKindOfComponent) {
    applyFormEntries(&window, {
                                  {"tsChannels.Caption", "Kanäle %s"},
                                  {"gbxFan.Caption", "Lüftergeschwindigkeit"},
                                  {"mnuFile.Caption", "Datei"},
                                  {"mnuExit.Caption", "Beenden"},
                                  {"mem.Caption", "Zeile 1\\nZeile 2"},
                                  {"edtLat.Hint", "positiv: nördlich"},
                                  {"edtMoon1.Caption", "Mond"},
                                  {"edtMoon1.Hint", "Helligkeit"},
                                  {"trbTime.Hint", "Uhrzeit"},
                              });
    auto* tabs = find<QTabWidget>("pc");
    EXPECT_EQ(tabs->tabText(0), QString::fromUtf8("Kanäle %s"));
    EXPECT_EQ(find<QGroupBox>("gbxFan")->title(), QString::fromUtf8("Lüftergeschwindigkeit"));
    EXPECT_EQ(find<QMenu>("mnuFile")->title(), "Datei");
    EXPECT_EQ(find<QAction>("mnuExit")->text(), "Beenden");
    EXPECT_EQ(find<QPlainTextEdit>("mem")->toPlainText(), "Zeile 1\nZeile 2");
    EXPECT_EQ(find<QLineEdit>("edtLat")->toolTip(), QString::fromUtf8("positiv: nördlich"));
    EXPECT_EQ(find<LabelledEdit>("edtMoon1")->caption(), "Mond");
    EXPECT_EQ(find<LabelledEdit>("edtMoon1")->edit()->toolTip(), "Helligkeit");
    EXPECT_EQ(find<QSlider>("trbTime")->toolTip(), "Uhrzeit");
}

TEST_F(TextApplierTest, UnknownNamesAndOtherKindsAreSkipped) {
    applyFormEntries(&window, {
                                  {"btnUpload.Caption", "> Hochladen"},
                                  {"edtLat.Caption", "Breite"}, // a plain edit has no caption
                                  {"trbTime.Caption", "Zeit"},
                                  {"gbxFan.Text", "ignored"},
                              });
    EXPECT_EQ(find<QLineEdit>("edtLat")->text(), "");
    EXPECT_EQ(find<QSlider>("trbTime")->toolTip(), "");
    EXPECT_EQ(find<QGroupBox>("gbxFan")->title(), "");
    EXPECT_EQ(findComponent(&window, "btnUpload"), nullptr);
}

TEST_F(TextApplierTest, CatalogueEntriesLandOnTheWindowsComponents) {
    ApplyTextCatalogue(&window);
    // Templates stay templates: the views fill them in afterwards.
    EXPECT_EQ(find<QLabel>("lblName0")->text(), "Beschriftung Kanal %s");
    EXPECT_EQ(find<QPushButton>("btnOn0")->text(), "EIN");
    EXPECT_EQ(find<QPushButton>("btnOn1")->text(), "ON");
    EXPECT_EQ(find<QTabWidget>("pc")->tabText(0), QString::fromUtf8("Kanäle %s"));
    EXPECT_EQ(find<QTabWidget>("pc")->tabText(1), "Mond");
    EXPECT_EQ(find<QRadioButton>("rbtCHMTempWater")->text(), "KestTHERMAL");
    EXPECT_TRUE(find<QPlainTextEdit>("mem")->toPlainText().startsWith("WICHTIG"));
    EXPECT_FALSE(find<QPlainTextEdit>("mem")->toPlainText().contains('\r'));
}

TEST(FormatCaptionTest, FillsTheTemplateOrKeepsIt) {
    EXPECT_EQ(formatCaption("Beschriftung Kanal %s", "W"), "Beschriftung Kanal W");
    EXPECT_EQ(formatCaption(QString::fromUtf8("Kanäle %s"), "").trimmed(),
              QString::fromUtf8("Kanäle"));
    EXPECT_EQ(formatCaption("Chart", "x"), "Chart");
}

} // namespace
} // namespace kv

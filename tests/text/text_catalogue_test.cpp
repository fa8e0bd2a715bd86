#include "text/text_catalogue.h"

#include <gtest/gtest.h>

using namespace kv;

namespace {

class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override { LoadTextCatalogue(); }
    void TearDown() override { textCatalogue().clear(); }
};

} // namespace

TEST_F(CatalogueTest, LooksUpGermanTexts) {
    EXPECT_EQ(Msg("Sun"), QString::fromUtf8("Sonne"));
    EXPECT_EQ(Msg("ColorGreen"), QString::fromUtf8("Grün"));
    EXPECT_EQ(Msg("Timer"), QString::fromUtf8("JMP-Pin"));
    // The catalogue ignores the case of keys.
    EXPECT_EQ(Msg("sun"), QString::fromUtf8("Sonne"));
}

TEST_F(CatalogueTest, MissingKeyComesBackUnchanged) {
    EXPECT_EQ(Msg("NoSuchKey"), "NoSuchKey");
    EXPECT_EQ(MsgFmt("Value %s", {7}), "Value 7");
}

TEST_F(CatalogueTest, InsertsTextAndNumberArguments) {
    EXPECT_EQ(MsgFmt("FlashSize", {32768}), QString::fromUtf8("Flashgröße: 32768 Bytes"));
    EXPECT_EQ(MsgFmt("ChecksumError", {-5}), "Checksummenfehler in der Datei (-5)!");
    EXPECT_EQ(MsgFmt("VELQORConfig", {"KestVELQOR"}), "KestVELQOR - Konfiguration");
}

TEST_F(CatalogueTest, FormattingErrorsLeaveTheTextUnformatted) {
    EXPECT_EQ(Msg("VELQORConfig"), "%s - Konfiguration");
    // An argument too many is harmless; "%d" with a text is an error.
    EXPECT_EQ(MsgFmt("Sun", {1}), "Sonne");
    EXPECT_EQ(MsgFmt("%d items", {"many"}), "%d items");
    EXPECT_EQ(MsgFmt("100%", {}), "100%");
}

TEST_F(CatalogueTest, BackslashNBecomesCrLf) {
    const QString text = Msg("FlashDlgText");
    EXPECT_TRUE(text.startsWith(QString::fromUtf8("Das Aktualisieren der Firmware geschieht auf "
                                                  "eigene Gefahr.\r\nTreten")));
    EXPECT_FALSE(text.contains("\\n"));
    EXPECT_EQ(text.count("\r\n"), 7);
    EXPECT_TRUE(text.endsWith("\r\n\r\nVorgang fortsetzen?"));
}

TEST_F(CatalogueTest, FormSectionKeepsCatalogueOrder) {
    const auto& entries = textCatalogue().formEntries();
    ASSERT_EQ(entries.size(), 134);
    EXPECT_EQ(entries.first().first, "mem.Caption");
    EXPECT_EQ(entries[1].first, "tsChannels.Caption");
    EXPECT_EQ(entries[1].second, QString::fromUtf8("Kanäle %s"));
    EXPECT_EQ(entries.last().first, "edtChartScale.Hint");
    // Values are kept raw, with their backslash-n pairs and quotation marks.
    EXPECT_TRUE(entries.first().second.contains(QString::fromUtf8("Jumper auf \"JMP\" stecken")));
    EXPECT_TRUE(entries.first().second.endsWith("\\n\\n"));
    EXPECT_EQ(textCatalogue().formValue("lblName0.Caption"), "Beschriftung Kanal %s");
}

TEST(CatalogueFallback, KeysComeBackBeforeTheCatalogueIsLoaded) {
    textCatalogue().clear();
    EXPECT_EQ(Msg("Sun"), "Sun");
    EXPECT_EQ(MsgFmt("FlashSize", {32768}), "FlashSize");
}

TEST(CatalogueFallback, RejectsNothingButStaysUsableWithOddInput) {
    TextCatalogue catalogue;
    EXPECT_TRUE(catalogue.loadFromData("[Messages]\nA=x\\ny\n[frmVELQOR]\nb.Caption=c\n"));
    EXPECT_EQ(catalogue.message("A"), "x\\ny");
    EXPECT_FALSE(catalogue.message("B"));
    EXPECT_EQ(catalogue.formEntries().size(), 1);
}

TEST(ChannelLetters, AreWrgb) {
    EXPECT_EQ(ChannelLetter(0), "W");
    EXPECT_EQ(ChannelLetter(1), "R");
    EXPECT_EQ(ChannelLetter(2), "G");
    EXPECT_EQ(ChannelLetter(3), "B");
    EXPECT_EQ(ChannelLetter(4), "");
    EXPECT_EQ(ChannelLetter(-1), "");
}

TEST(FormatText, HandlesIndexWidthAndPercent) {
    EXPECT_EQ(formatText("%1:s %0:s", {"a", "b"}), "b a");
    EXPECT_EQ(formatText("[%4s|%-4s]", {"ab", "cd"}), "[  ab|cd  ]");
    EXPECT_EQ(formatText("%x", {255}), "FF");
    EXPECT_EQ(formatText("50%%", {}), "50%");
    EXPECT_FALSE(formatText("%s %s", {"a"}));
    EXPECT_FALSE(formatText("trailing %", {}));
    EXPECT_FALSE(formatText("%q", {"a"}));
}

TEST(FormatText, RefusesHugeWidthsAndIndexes) {
    // Widths up to 4096 pad; larger ones (or ones past any integer) make the
    // placeholder plain text, so the whole text stays unformatted.
    EXPECT_EQ(formatText("%4096s", {"a"})->size(), 4096);
    EXPECT_FALSE(formatText("%4097s", {"a"}));
    EXPECT_FALSE(formatText("%999999999s", {"a"}));
    EXPECT_FALSE(formatText("%-99999999999999999999s", {"a"}));
    EXPECT_FALSE(formatText("%99999999999999999999:s", {"a"}));
    EXPECT_FALSE(formatText("%18446744073709551616:s", {"a"}));
    EXPECT_EQ(MsgFmt("x %99999999999999999999s y", {"a"}), "x %99999999999999999999s y");
    EXPECT_EQ(MsgFmt("%999999999d", {5}), "%999999999d");
}

TEST(FormatText, TakesOnlyAsciiDigits) {
    // Other scripts' digits are no width; "%٣s" is a wrong placeholder.
    EXPECT_FALSE(formatText(QString::fromUtf8("%\u0663s"), {"a"}));
    EXPECT_EQ(formatText("%03d", {7}), "  7");
}

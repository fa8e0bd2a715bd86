#include "firmware/firmware_file.h"
#include "firmware_test_support.h"
#include "support/recording_reporter.h"
#include "support/special_files.h"
#include "text/text_catalogue.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kv;
using namespace kv::testing;

namespace {

class FirmwareFileTest : public ::testing::Test {
protected:
    void SetUp() override { LoadTextCatalogue(); }
    QString path(const QString& name = "image.chx") const { return dir.filePath(name); }
    bool read(const QByteArray& bytes) {
        writeFile(path(), bytes);
        image.assign(65536, 0);
        return ReadFile(path(), image, start, end, reporter);
    }
    QTemporaryDir dir;
    RecordingReporter reporter;
    std::vector<std::uint8_t> image;
    std::int32_t start = -1;
    std::int32_t end = -1;
};

} // namespace

TEST_F(FirmwareFileTest, AcceptsTheSmallestImage) {
    const QByteArray bytes = firmwareBytes(0, 1, {0x01, 0x02});
    ASSERT_EQ(bytes.size(), 14);
    EXPECT_TRUE(read(bytes));
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 1);
    EXPECT_EQ(image[0], 1);
    EXPECT_EQ(image[1], 2);
    EXPECT_EQ(image[2], 0);
    EXPECT_TRUE(reporter.announced.isEmpty());
    // The file is described in the log: path, date, time, size, "Bytes".
    ASSERT_EQ(reporter.logged.size(), 1);
    EXPECT_TRUE(reporter.logged[0].startsWith(QFileInfo(path()).absoluteFilePath() + " "));
    EXPECT_TRUE(reporter.logged[0].endsWith(" 14 Bytes"));
}

TEST_F(FirmwareFileTest, PlacesTheImageAtItsAddresses) {
    const auto bytes = patternImage(0x1234, 0x1300);
    ASSERT_TRUE(read(firmwareBytes(0x1234, 0x1300, bytes)));
    EXPECT_EQ(image[0x1233], 0);
    EXPECT_EQ(image[0x1234], bytes.front());
    EXPECT_EQ(image[0x1300], bytes.back());
    EXPECT_EQ(image[0x1301], 0);
}

TEST_F(FirmwareFileTest, NoDataWhenStartIsNotBelowEnd) {
    EXPECT_FALSE(read(firmwareBytes(5, 5, {0xAA})));
    EXPECT_EQ(reporter.announced.last(), QString::fromUtf8("Fehler: Datei enthält keine Daten!"));
    reporter.clear();
    EXPECT_FALSE(read(firmwareBytes(10, 5, {})));
    EXPECT_EQ(reporter.announced.last(), QString::fromUtf8("Fehler: Datei enthält keine Daten!"));
}

TEST_F(FirmwareFileTest, OverlongFileIsRefusedWithoutAMessageOfItsOwn) {
    QByteArray bytes = firmwareBytes(0, 1, {1, 2});
    bytes.append(QByteArray(65537 - bytes.size(), '\0'));
    EXPECT_FALSE(read(bytes));
    EXPECT_TRUE(reporter.announced.isEmpty());
}

TEST_F(FirmwareFileTest, AFileOfExactlyTheLimitIsRead) {
    const std::int32_t end = 65536 - 12 - 1; // 8 header + image + 4 checksum = 65536
    ASSERT_TRUE(read(firmwareBytes(0, end, patternImage(0, end))));
    EXPECT_EQ(image[std::size_t(end)], patternImage(0, end).back());
}

TEST_F(FirmwareFileTest, APipeOrADeviceIsRefusedWithoutReadingIt) {
    const QString fifo = path("pipe.chx");
    ASSERT_TRUE(makeFifo(fifo));
    for (const QString& special : {fifo, EndlessDevice}) {
        reporter.clear();
        image.assign(65536, 0);
        const bool accepted =
            withoutHanging([&] { return ReadFile(special, image, start, end, reporter); }, fifo);
        EXPECT_FALSE(accepted);
        ASSERT_FALSE(reporter.announced.isEmpty());
        EXPECT_EQ(reporter.announced.last(),
                  "Fehler: " + special + QString::fromUtf8(" ist keine reguläre Datei!"));
        EXPECT_EQ(reporter.announced.size(), 1);
    }
}

TEST_F(FirmwareFileTest, WrongChecksumShowsTheSignedSum) {
    EXPECT_FALSE(read(firmwareBytes(0, 1, {1, 2}, 5)));
    EXPECT_EQ(reporter.announced.last(), "Checksummenfehler in der Datei (4)!");
    reporter.clear();
    // Bit 31 set: the sum shows as a negative number.
    EXPECT_FALSE(read(firmwareBytes(0x7FFFFFF0, 0x10, {}, 0)));
    EXPECT_EQ(reporter.announced.last(), "Checksummenfehler in der Datei (-2147483648)!");
}

TEST_F(FirmwareFileTest, RangesOutsideTheBufferAreRefused) {
    for (auto [s, e] : {std::pair{-5, 10}, std::pair{65530, 65540}, std::pair{0, 70000}}) {
        reporter.clear();
        QByteArray bytes = firmwareBytes(s, e, patternImage(0, 20));
        EXPECT_FALSE(read(bytes)) << s << " " << e;
        ASSERT_FALSE(reporter.announced.isEmpty());
        EXPECT_TRUE(reporter.announced.last().contains(QString::fromUtf8("außerhalb")));
        EXPECT_EQ(std::count(image.begin(), image.end(), 0), 65536);
    }
}

TEST_F(FirmwareFileTest, TruncatedFilesAreRefused) {
    QByteArray bytes = firmwareBytes(0, 99, patternImage(0, 99));
    EXPECT_FALSE(read(bytes.left(50)));
    EXPECT_TRUE(reporter.announced.last().contains("unvollst"))
        << reporter.announced.last().toStdString();
    EXPECT_FALSE(read(bytes.left(110))); // image complete, checksum missing
    EXPECT_FALSE(read(bytes.left(3)));
    EXPECT_FALSE(read(QByteArray()));
}

TEST_F(FirmwareFileTest, MissingFileIsAnnounced) {
    image.assign(65536, 0);
    const QString missing = path("missing.chx");
    EXPECT_FALSE(ReadFile(missing, image, start, end, reporter));
    EXPECT_EQ(reporter.announced.last(), "Fehler: Datei " + missing + " nicht gefunden!");
}

TEST_F(FirmwareFileTest, RandomBytesNeverCrash) {
    QRandomGenerator random(12345);
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes(int(random.bounded(0, 400)), '\0');
        for (char& c : bytes)
            c = char(random.bounded(256));
        if (round % 3 == 0 && bytes.size() >= 8) {
            // Plausible headers too, so that the image path is exercised.
            const std::int32_t s = std::int32_t(random.bounded(-10, 65540));
            const std::int32_t e = s + std::int32_t(random.bounded(-5, 400));
            le::putU32(reinterpret_cast<std::uint8_t*>(bytes.data()), 0, std::uint32_t(s));
            le::putU32(reinterpret_cast<std::uint8_t*>(bytes.data()), 4, std::uint32_t(e));
        }
        if (read(bytes)) {
            ++accepted;
            EXPECT_LE(0, start);
            EXPECT_LT(start, end);
            EXPECT_LE(end, 65535);
        }
    }
    EXPECT_LT(accepted, 3000);
}

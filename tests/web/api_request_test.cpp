// The API's grammar: JSON numbers, bools and texts to the service's typed
// values, and what lies outside it.
#include "device/records/field_range.h"
#include "web/api/api_request.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

using namespace kv;
using namespace kv::web::api;

namespace {

QJsonObject object(const char* json) {
    return QJsonDocument::fromJson(json).object();
}

QJsonValue value(const char* json) {
    return object((QByteArray(R"({"v":)") + json + "}").constData()).value("v");
}

TEST(ApiRequestTest, ValuesAsNumbersFlagsOrWords) {
    EXPECT_EQ(channelOf(value(R"("w")")), 0);
    EXPECT_EQ(channelOf(value(R"("3")")), 3);
    EXPECT_EQ(channelOf(value("2")), 2);
    for (const char* wrong : {"4", "-1", "1.5", "true", R"("X")", "null", "[0]"})
        EXPECT_EQ(channelOf(value(wrong)), -1) << wrong;

    EXPECT_EQ(percentOf(value("12.5")), 12.5);
    EXPECT_EQ(percentOf(value(R"("12,5")")), 12.5);
    EXPECT_EQ(percentOf(value(R"("50%")")), 50.0);
    for (const char* wrong : {"true", R"("lots")", R"("nan")", "null", "{}"})
        EXPECT_FALSE(percentOf(value(wrong))) << wrong;

    EXPECT_EQ(modeOf(value(R"("GEO")")), BoardMode::Geo);
    EXPECT_FALSE(modeOf(value("1")));

    // Out of the range: a level the service refuses, never one it takes.
    EXPECT_EQ(levelOfPercent(100), 4096);
    EXPECT_EQ(levelOfPercent(12.5), 512);
    for (double outside : {100.01, -0.01, 1e300, -1e300})
        EXPECT_FALSE(fieldrange::Level.contains(levelOfPercent(outside))) << outside;
}

TEST(ApiRequestTest, LineFieldsByTheirNames) {
    QString error;
    const auto fields = lineFieldsOf(
        object(R"({"Time":"7:5","alt":"-12,5","g":"40%","0":10,"display":"on","clouds":false,
                   "timer":"65535"})"),
        error);
    ASSERT_TRUE(fields) << error.toStdString();
    EXPECT_EQ(fields->time->hour, 7);
    EXPECT_EQ(fields->time->minute, 5);
    EXPECT_EQ(fields->altitude, -12.5);
    EXPECT_EQ(fields->percent[2], 40.0);
    EXPECT_EQ(fields->percent[0], 10.0);
    EXPECT_FALSE(fields->percent[1]);
    EXPECT_EQ(fields->display, true);
    EXPECT_EQ(fields->clouds, false);
    EXPECT_FALSE(fields->storms);
    EXPECT_EQ(fields->timer, 65535);
    EXPECT_TRUE(checkLineFields(*fields).ok());

    // Whole numbers far out stay out of range rather than wrapping round.
    const auto huge = lineFieldsOf(object(R"({"timer":1e30,"W":-1e300})"), error);
    ASSERT_TRUE(huge);
    EXPECT_FALSE(fieldrange::Timer.contains(*huge->timer));
    EXPECT_FALSE(checkLineFields(*huge).ok());
}

TEST(ApiRequestTest, WordsOutsideTheGrammarAreRefusedInEnglish) {
    for (const char* body :
         {R"({})", R"({"colour":"red"})", R"({"time":7})", R"({"time":"7"})",
          R"({"time":"seven:five"})", R"({"W":true})", R"({"alt":[1]})", R"({"clouds":1})",
          R"({"storms":"yes"})", R"({"timer":1.5})", R"({"timer":"1,5"})", R"({"W":null})"}) {
        QString error;
        EXPECT_FALSE(lineFieldsOf(object(body), error)) << body;
        EXPECT_FALSE(error.isEmpty()) << body;
        EXPECT_FALSE(error.contains(QStringLiteral("Ungültig"))) << body;
    }

    QString error;
    EXPECT_TRUE(bodyObject("  ", error));
    EXPECT_FALSE(bodyObject("[1]", error));
    EXPECT_FALSE(bodyObject("{\"a\":", error));
    EXPECT_TRUE(error.startsWith("malformed JSON")) << error.toStdString();
}

} // namespace

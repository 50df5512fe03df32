#include "docker/Records.h"

#include <gtest/gtest.h>

using namespace stowage;

namespace {

QDateTime utc(int y, int mo, int d, int h, int mi, int s, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

}  // namespace

TEST(ParseDockerDate, AcceptedForms)
{
    const QDateTime base = utc(2024, 5, 1, 10, 11, 12);
    const struct {
        const char* text;
        QDateTime expected;
    } cases[] = {
        {"2024-05-01T10:11:12Z", base}, {"2024-05-01T10:11:12.123Z", base.addMSecs(123)},
        {"2024-05-01T10:11:12.5Z", base.addMSecs(500)}, {"2024-05-01T12:11:12+02:00", base},
        {"2024-05-01T05:41:12.250-04:30", base.addMSecs(250)},
        // Docker's nanosecond stamps keep their whole second.
        {"2024-05-01T10:11:12.123456789Z", base}, {"2024-05-01T10:11:12.1234Z", base},
        {" \t2024-05-01T10:11:12Z\t ", base}, {"2024-02-29T23:59:59Z", utc(2024, 2, 29, 23, 59, 59)},
        // The whole-second fallback cuts at the first full stop when the text ends in Z.
        {"2024-05-01T10:11:12.garbageZ", base}, {"2024-05-01T10:11:12.Z", base},
    };
    for (const auto& c : cases) {
        const OptionalDate parsed = parseDockerDate(c.text);
        ASSERT_TRUE(parsed.has_value()) << c.text;
        EXPECT_EQ(*parsed, c.expected) << c.text;
        EXPECT_EQ(parsed->timeSpec(), Qt::UTC) << c.text;
    }
}

TEST(ParseDockerDate, RejectedForms)
{
    for (const char* text : {
             "", "   ",
             "0001-01-01T00:00:00Z", "0001-01-01T00:00:00.5Z",  // Docker's zero time: never
             "2024-05-01 10:11:12 +0200 CEST",                 // the listing's format
             "2024-05-01T10:11:12",                            // no zone
             "2024-05-01T10:11:12.123456789+02:00", "2024-13-01T10:11:12Z", "2023-02-29T10:11:12Z",
             "2024-05-01T24:00:00Z", "2024-05-01T10:11:12Zjunk", "2024-05-01t10:11:12z", "2024-05-01.T10:11:12Z",
             "2024-05-01T10:11:12Z\n",                         // line breaks are not trimmed
             "２０２４-05-01T10:11:12Z",                         // non-ASCII digits
             "yesterday",
         })
        EXPECT_FALSE(parseDockerDate(QString::fromUtf8(text)).has_value()) << text;
}

TEST(ParseDockerSize, Table)
{
    const struct {
        const char* text;
        qint64 bytes;
    } cases[] = {
        {"1.2GB", 1288490188}, {"512kB", 524288}, {"512KB", 524288}, {"0B", 0}, {"3B", 3}, {"  3B\t", 3},
        {"1TB", 1099511627776LL}, {"2.5MB", 2621440},
        {"1.999B", 1},      // truncated, not rounded
        {"-1.5KB", -1536},  // sign kept
        {"+2KB", 2048}, {".5KB", 512}, {"1.KB", 1024},
        // No size: 0.
        {"", 0}, {"1.5MiB", 0}, {"1.2 GB", 0}, {"12", 0}, {"GB", 0}, {"1e3B", 0}, {"infB", 0}, {"nanKB", 0},
        {"1.2.3MB", 0}, {"99999999999TB", 0} /* beyond 64 bits */, {"８KB", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SizeFormat::parseDockerSize(QString::fromUtf8(c.text)), c.bytes) << c.text;
}

TEST(HumanSize, Table)
{
    const struct {
        qint64 bytes;
        const char* text;
    } cases[] = {
        {0, "0 B"}, {1, "1.0 B"}, {1023, "1023.0 B"}, {1024, "1.0 KB"}, {1536, "1.5 KB"}, {1288490188, "1.2 GB"},
        {1125899906842623LL, "1024.0 TB"},  // rounding shows 1024.0, the unit stays
        {1125899906842624LL, "1.0 PB"}, {-1536, "-1.5 KB"},
        {std::numeric_limits<qint64>::max(), "8192.0 PB"}, {std::numeric_limits<qint64>::min(), "-8192.0 PB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SizeFormat::humanSize(c.bytes), QString::fromUtf8(c.text)) << c.bytes;
}

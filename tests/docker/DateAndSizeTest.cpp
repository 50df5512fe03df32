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
             "", "   ", "0001-01-01T00:00:00Z", "0001-01-01T00:00:00.5Z",  // Docker's zero time: never
             "2024-05-01 10:11:12 +0200 CEST", "2024-05-01T10:11:12",        // the listing's format; no zone
             "2024-05-01T10:11:12.123456789+02:00", "2024-13-01T10:11:12Z", "2023-02-29T10:11:12Z",
             "2024-05-01T24:00:00Z", "2024-05-01T10:11:12Zjunk", "2024-05-01t10:11:12z", "2024-05-01.T10:11:12Z",
             "2024-05-01T10:11:12Z\n", "２０２４-05-01T10:11:12Z",  // line breaks are not trimmed; non-ASCII digits
         })
        EXPECT_FALSE(parseDockerDate(QString::fromUtf8(text)).has_value()) << text;
}

TEST(ParseDockerSize, Table)
{
    const struct {
        const char* text;
        qint64 bytes;
    } cases[] = {
        {"1.2GB", 1200000000},  // docker prints decimal units (go-units HumanSize)
        {"512kB", 512000}, {"512KB", 512000}, {"0B", 0}, {"3B", 3}, {"  3B\t", 3}, {"1TB", 1000000000000LL},
        {"2.5MB", 2500000},
        {"1.005kB", 1005},  // rounded: 1.005 * 1000 is 1004.99… in binary
        {"-1.5KB", -1500},  // sign kept
        {"+2KB", 2000}, {".5KB", 500}, {"1.KB", 1000},
        {"1.5MiB", 1572864},  // binary units are powers of 1024
        // No size: 0.
        {"", 0}, {"1.2 GB", 0}, {"12", 0}, {"GB", 0}, {"1e3B", 0}, {"infB", 0}, {"nanKB", 0},
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
        {0, "0 B"}, {1, "1.0 B"}, {999, "999.0 B"}, {1000, "1.0 KB"},
        {1982256, "2.0 MB"},  // docker says 1.98MB
        {1200000000, "1.2 GB"},
        {999999999999999LL, "1000.0 TB"},  // rounding shows 1000.0, the unit stays
        {1000000000000000LL, "1.0 PB"}, {-1500, "-1.5 KB"},
        {std::numeric_limits<qint64>::max(), "9223.4 PB"}, {std::numeric_limits<qint64>::min(), "-9223.4 PB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SizeFormat::humanSize(c.bytes), QString::fromUtf8(c.text)) << c.bytes;
}

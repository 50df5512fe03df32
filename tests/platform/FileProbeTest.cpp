// Looks at paths named by Docker: what stat() says about them, and bounded
// reads that never wait on a FIFO or read more than asked.
#include "platform/FileProbe.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace stowage::platform {
namespace {

TEST(FileProbe, TellsPresentFoldersAndFilesFromMissingAndUnreadablePaths)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("compose.yaml"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const struct { QString path; PathPresence presence; bool isFolder; } cases[] = {
        {dir.path(), PathPresence::present, true},
        {file.fileName(), PathPresence::present, false},
        {dir.filePath("gone"), PathPresence::missing, false},
        {file.fileName() + "/inside", PathPresence::missing, false},  // through a file
        {"relative/path", PathPresence::missing, false},              // no place an engine could mean
        {"", PathPresence::missing, false},
        {dir.filePath(QString(300, 'n')), PathPresence::unavailable, false},  // name too long
    };
    for (const auto& c : cases) {
        const PathFacts facts = probePath(c.path);
        EXPECT_EQ(facts.presence, c.presence) << c.path.toStdString();
        EXPECT_EQ(facts.isFolder, c.isFolder) << c.path.toStdString();
        EXPECT_EQ(facts.reason.isEmpty(), c.presence == PathPresence::present || !QDir::isAbsolutePath(c.path));
    }
}

TEST(FileProbe, ReadsAtMostTheBytesAskedForFromEitherEndOfRegularFilesOnly)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("README.md"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("0123456789");
    file.close();
    const auto head = readRegularFile(file.fileName(), 4);
    ASSERT_TRUE(head);
    EXPECT_EQ(head->bytes, "0123");
    EXPECT_FALSE(head->whole);
    const auto tail = readRegularFile(file.fileName(), 4, FilePart::tail);
    ASSERT_TRUE(tail);
    EXPECT_EQ(tail->bytes, "6789");
    const auto all = readRegularFile(file.fileName(), 10, FilePart::tail);
    ASSERT_TRUE(all);
    EXPECT_EQ(all->bytes, "0123456789");
    EXPECT_TRUE(all->whole);

    // Neither a FIFO (no writer will ever come) nor a folder is read.
    const QString fifo = dir.filePath("README");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(readRegularFile(fifo, 100));
    EXPECT_FALSE(readRegularFile(dir.path(), 100));
    EXPECT_FALSE(readRegularFile(dir.filePath("gone"), 100));
}

}  // namespace
}  // namespace stowage::platform

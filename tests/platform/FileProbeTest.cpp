// Looks at paths named by Docker: what stat() says about them, and bounded
// reads that never wait on a FIFO or read more than asked.
#include "platform/FileProbe.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace stowage::platform {
namespace {

// It tells present folders and files from missing and unreadable paths, and reads at most the
// bytes asked for from either end of regular files only.
TEST(FileProbe, TellsWhatIsThereAndReadsAtMostTheBytesAskedForFromRegularFilesOnly)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("compose.yaml");
    ASSERT_TRUE(test::writeFile(file, {}));
    const struct { QString path; PathPresence presence; bool isFolder; } cases[] = {
        {dir.path(), PathPresence::present, true},
        {file, PathPresence::present, false},
        {dir.filePath("gone"), PathPresence::missing, false},
        {file + "/inside", PathPresence::missing, false},  // through a file
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

    ASSERT_TRUE(test::writeFile(file, "0123456789"));
    // The bytes read and whether they are the whole file; "none" when nothing is read.
    const auto read = [](const QString& path, qsizetype bytes, FilePart part) -> QByteArray {
        const auto got = readRegularFile(path, bytes, part);
        return got ? got->bytes + (got->whole ? " whole" : " part") : "none";
    };
    EXPECT_EQ(read(file, 4, FilePart::head), "0123 part");
    EXPECT_EQ(read(file, 4, FilePart::tail), "6789 part");
    EXPECT_EQ(read(file, 10, FilePart::tail), "0123456789 whole");
    // Neither a FIFO (no writer will ever come) nor a folder is read.
    const QString fifo = dir.filePath("README");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path : {fifo, dir.path(), dir.filePath("gone")})
        EXPECT_EQ(read(path, 100, FilePart::head), "none") << path.toStdString();
}

}  // namespace
}  // namespace stowage::platform

// The README dialog: what it shows while loading and after reading the file
// (or failing to), and the bounded, regular-file-only read.

#include "platform/PlatformWords.h"
#include "support/TestSupport.h"
#include "ui/readme/MarkdownView.h"
#include "ui/readme/ReadmeDialog.h"
#include "ui/readme/ReadmeFile.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

using namespace stowage;
using namespace stowage::test;

namespace {

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

TEST(ReadmeFile, ReadsUtf8UpToALineBoundaryAndRefusesEverythingElse)
{
    QTemporaryDir dir;
    EXPECT_EQ(ReadmeFile::read(writeFile(dir, "README.md", "# Shop — café\n")), "# Shop — café\n");
    EXPECT_EQ(ReadmeFile::read(std::nullopt), ReadmeFile::missingText());
    EXPECT_EQ(ReadmeFile::read(dir.filePath("absent.md")), ReadmeFile::missingText());
    EXPECT_EQ(ReadmeFile::read(writeFile(dir, "latin1.md", "caf\xe9\n")), ReadmeFile::missingText());
    EXPECT_EQ(ReadmeFile::read(QStringLiteral("/dev/zero")), ReadmeFile::missingText());
    // A huge file is cut at a line boundary.
    const QByteArray line = QByteArray("é").repeated(99) + '\n';  // 199 bytes
    const QByteArray big = line.repeated(int(ReadmeFile::maxBytes / line.size()) + 50);
    const QString text = ReadmeFile::read(writeFile(dir, "README", big));
    ASSERT_NE(text, ReadmeFile::missingText());
    EXPECT_LE(text.toUtf8().size(), ReadmeFile::maxBytes);
    EXPECT_GT(text.toUtf8().size(), ReadmeFile::maxBytes - line.size());
    EXPECT_TRUE(text.endsWith(QString(99, QChar(0xe9))));
}

TEST(ReadmeDialog, ShowsLoadingThenTheFileOrTheEmptyState)
{
    int finderCalls = 0;
    ReadmeDialog none("shop", std::nullopt, [&] { ++finderCalls; });
    EXPECT_EQ(none.content(), "_Loading…_");
    EXPECT_EQ(none.markdownView().document()->toPlainText(), "Loading…");  // italic, markers gone
    none.show();
    ASSERT_TRUE(waitUntil([&] { return none.content() != ReadmeFile::loadingText(); }));
    EXPECT_EQ(none.content(), "_No README found in this project._");
    EXPECT_EQ(none.markdownView().document()->toPlainText(), "No README found in this project.");
    for (auto* button : none.findChildren<QPushButton*>())
        if (button->text() == platform::platformWords().showFolderButton)
            button->click();
    EXPECT_EQ(finderCalls, 1);
}

}  // namespace

// A README from a project folder: the block parser, then every block's inline
// Markdown rendered into a document that loads nothing.

#include "FuzzInput.h"

#include "ui/readme/InlineMarkdown.h"
#include "ui/readme/MarkdownParser.h"
#include "ui/readme/SafeTextDocument.h"

#include <QGuiApplication>
#include <QTextCursor>

using namespace stowage;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_markdown";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SafeTextDocument document;
    QTextCursor cursor(&document);
    const InlineMarkdown::Style style;
    for (const MDBlock& block : MarkdownParser::parse(fuzz::text(data, size))) {
        fuzz::require(block.kind != MDBlock::Kind::heading || (block.level >= 1 && block.level <= 4),
                      "heading levels are 1 to 4");
        InlineMarkdown::insert(cursor, block.text, style);
    }
    return 0;
}

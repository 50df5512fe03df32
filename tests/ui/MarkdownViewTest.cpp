// Rendering README text: block styles, inline markup, and a hostile README
// that must render as inert text (no HTML, no fetched resources, no unsafe links).

#include "ui/InlineMarkdown.h"
#include "ui/MarkdownView.h"
#include "ui/SafeTextDocument.h"
#include "ui/Theme.h"

#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextFrame>

using namespace stowage;

namespace {

struct Fragment {
    QString text;
    QTextCharFormat format;
};

QList<Fragment> fragmentsOf(const QTextBlock& block)
{
    QList<Fragment> out;
    for (auto it = block.begin(); !it.atEnd(); ++it)
        out.append({it.fragment().text(), it.fragment().charFormat()});
    return out;
}

QList<QTextBlock> blocksOf(const QTextDocument& document)
{
    QList<QTextBlock> out;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        out.append(b);
    return out;
}

QStringList anchorsOf(const QTextDocument& document)
{
    QStringList out;
    for (const QTextBlock& block : blocksOf(document))
        for (const Fragment& f : fragmentsOf(block))
            if (f.format.isAnchor())
                out << f.format.anchorHref();
    return out;
}

TEST(MarkdownView, RendersEachBlockKindWithItsStyle)
{
    MarkdownView view("# Title\n## Sub\nPlain line\n- item one\n```\n  keep   spaces\n# not heading\n```\n---");
    const auto blocks = blocksOf(*view.document());
    ASSERT_GE(blocks.size(), 7);

    const auto title = fragmentsOf(blocks[0]);
    ASSERT_EQ(title.size(), 1);
    EXPECT_EQ(title[0].text, "Title");
    EXPECT_EQ(title[0].format.fontWeight(), QFont::Bold);
    EXPECT_DOUBLE_EQ(title[0].format.fontPointSize(), Theme::font(22).pointSizeF());
    EXPECT_DOUBLE_EQ(fragmentsOf(blocks[1])[0].format.fontPointSize(), Theme::font(18).pointSizeF());

    EXPECT_EQ(blocks[2].text(), "Plain line");
    EXPECT_EQ(fragmentsOf(blocks[2])[0].format.foreground().color(), Theme::text());

    const auto bullet = fragmentsOf(blocks[3]);
    ASSERT_GE(bullet.size(), 3);
    EXPECT_EQ(bullet[0].text, "•");
    EXPECT_EQ(bullet[0].format.foreground().color(), Theme::textDim());
    EXPECT_TRUE(blocks[3].text().endsWith("item one"));

    // The fence is verbatim, in its own frame, monospaced; no inline or block parsing.
    QTextCursor inCode(blocks[4]);
    ASSERT_NE(inCode.currentFrame(), view.document()->rootFrame());
    EXPECT_EQ(blocks[4].text(), "  keep   spaces");
    EXPECT_EQ(blocks[5].text(), "# not heading");
    EXPECT_TRUE(fragmentsOf(blocks[4])[0].format.fontFixedPitch() || QFontInfo(fragmentsOf(blocks[4])[0].format.font()).fixedPitch());
    EXPECT_EQ(inCode.currentFrame()->frameFormat().background().color(), Theme::surface());

    EXPECT_TRUE(blocks.last().blockFormat().hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth));
}

TEST(MarkdownView, InlineMarkupKeepsOnlyEmphasisCodeAndSafeLinks)
{
    MarkdownView view("Use **bold**, *soft*, `code` and [docs](https://example.com/docs).");
    const auto parts = fragmentsOf(view.document()->begin());
    QString bold, italic, code, link;
    for (const auto& p : parts) {
        if (p.format.fontWeight() == QFont::Bold)
            bold += p.text;
        if (p.format.fontItalic())
            italic += p.text;
        if (p.format.fontFixedPitch())
            code += p.text;
        if (p.format.isAnchor())
            link += p.text;
    }
    EXPECT_EQ(view.document()->begin().text(), "Use bold, soft, code and docs.");
    EXPECT_EQ(bold, "bold");
    EXPECT_EQ(italic, "soft");
    EXPECT_EQ(code, "code");
    EXPECT_EQ(link, "docs");
    EXPECT_EQ(anchorsOf(*view.document()), QStringList{"https://example.com/docs"});
}

TEST(MarkdownView, BlockMarkersInsideABlockStayText)
{
    // A bullet whose text looks like a list, a quote or a heading is still one line of text.
    MarkdownView view("- 1. first\n- > quoted\n- # hash\n* ~~~\n- - -\n- _soft_ start");
    const auto blocks = blocksOf(*view.document());
    ASSERT_EQ(blocks.size(), 6);
    EXPECT_TRUE(blocks[0].text().endsWith("1. first"));
    EXPECT_TRUE(blocks[1].text().endsWith("> quoted"));
    EXPECT_TRUE(blocks[2].text().endsWith("# hash"));
    EXPECT_TRUE(blocks[3].text().endsWith("~~~"));
    EXPECT_TRUE(blocks[4].text().endsWith("- -"));
    // Emphasis at the start of a block is still emphasis.
    EXPECT_TRUE(blocks[5].text().endsWith("soft start"));
    const auto last = fragmentsOf(blocks[5]);
    EXPECT_TRUE(std::any_of(last.begin(), last.end(), [](const Fragment& f) { return f.text == "soft" && f.format.fontItalic(); }));
}

TEST(MarkdownView, AHostileReadmeRendersInert)
{
    const QString hostile =
        "# <script>alert('x')</script>\n"
        "<img src=\"file:///etc/passwd\"> <iframe src=\"http://127.0.0.1:1/\"></iframe>\n"
        "[run](javascript:alert(1)) and [secrets](file:///etc/shadow) and [data](data:text/html,hi)\n"
        "![tracker](http://127.0.0.1:1/pixel.png) ![local](file:///etc/hostname)\n"
        "<a href=\"javascript:alert(2)\">html link</a>\n"
        "- [mail](mailto:someone@example.com) [web](http://example.com)\n";
    MarkdownView view(hostile);
    QList<QUrl> opened;
    view.setLinkOpener([&](const QUrl& url) { opened << url; });
    view.resize(700, 500);
    view.show();
    view.document()->adjustSize();
    (void)view.document()->documentLayout()->documentSize();

    const QString shown = view.document()->toPlainText();
    EXPECT_TRUE(shown.contains("<script>alert('x')</script>"));
    EXPECT_TRUE(shown.contains("<img src=\"file:///etc/passwd\">"));
    EXPECT_TRUE(shown.contains("<a href=\"javascript:alert(2)\">html link</a>"));
    EXPECT_TRUE(shown.contains("run and secrets and data"));
    EXPECT_TRUE(shown.contains("tracker local"));  // pictures give way to their descriptions

    for (const QTextBlock& block : blocksOf(*view.document()))
        for (const Fragment& f : fragmentsOf(block))
            EXPECT_FALSE(f.format.isImageFormat()) << f.text.toStdString();
    EXPECT_EQ(anchorsOf(*view.document()), (QStringList{"mailto:someone@example.com", "http://example.com"}));
    EXPECT_EQ(view.safeDocument().refusedResourceRequests(), 0);

    EXPECT_FALSE(view.activateLink(QUrl("javascript:alert(1)")));
    EXPECT_FALSE(view.activateLink(QUrl("file:///etc/passwd")));
    EXPECT_TRUE(view.activateLink(QUrl("https://example.com")));
    EXPECT_EQ(opened, QList<QUrl>{QUrl("https://example.com")});
}

TEST(MarkdownView, TheSafeDocumentRefusesEveryResource)
{
    SafeTextDocument document;
    document.setHtml("<img src=\"file:///etc/hostname\"><link rel=stylesheet href=\"file:///tmp/x.css\">");
    EXPECT_FALSE(document.resource(QTextDocument::ImageResource, QUrl("file:///etc/hostname")).isValid());
    EXPECT_FALSE(document.resource(QTextDocument::StyleSheetResource, QUrl("https://example.com/x.css")).isValid());
    EXPECT_GE(document.refusedResourceRequests(), 2);
}

TEST(MarkdownView, OnlyWebAndMailLinksAreOpenable)
{
    EXPECT_TRUE(InlineMarkdown::isOpenableLink(QUrl("http://example.com")));
    EXPECT_TRUE(InlineMarkdown::isOpenableLink(QUrl("HTTPS://example.com")));
    EXPECT_TRUE(InlineMarkdown::isOpenableLink(QUrl("mailto:a@b.c")));
    for (const char* unsafe : {"javascript:alert(1)", "file:///etc/passwd", "data:text/html,x", "ftp://x/y",
                               "relative/path.md", "#anchor", ""})
        EXPECT_FALSE(InlineMarkdown::isOpenableLink(QUrl(unsafe))) << unsafe;
}

}  // namespace

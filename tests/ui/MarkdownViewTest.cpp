// Rendering README text: block styles, inline markup, and a hostile README
// that must render as inert text (no HTML, no fetched resources, no unsafe links).

#include "ui/readme/MarkdownView.h"
#include "ui/readme/SafeTextDocument.h"

#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextFrame>

using namespace stowage;

namespace {

QList<QTextFragment> fragmentsOf(const QTextBlock& block)
{
    QList<QTextFragment> out;
    for (auto it = block.begin(); !it.atEnd(); ++it)
        out.append(it.fragment());
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
        for (const QTextFragment& f : fragmentsOf(block))
            if (f.charFormat().isAnchor())
                out << f.charFormat().anchorHref();
    return out;
}

TEST(MarkdownView, EachBlockKindAndInlineMarkupRenderAsTheirOwnKindOfText)
{
    MarkdownView view("# Title\n- _soft_, **bold**, `code` and [docs](https://example.com/docs).\n```\n# not heading\n```\n---");
    const auto blocks = blocksOf(*view.document());
    ASSERT_EQ(blocks.size(), 4);
    EXPECT_EQ(fragmentsOf(blocks[0])[0].charFormat().fontWeight(), QFont::Bold);
    EXPECT_GT(fragmentsOf(blocks[0])[0].charFormat().fontPointSize(), fragmentsOf(blocks[1])[0].charFormat().fontPointSize());
    QMap<QString, QString> marked;
    for (const auto& f : fragmentsOf(blocks[1])) {
        marked["bold"] += f.charFormat().fontWeight() == QFont::Bold ? f.text() : QString();
        marked["italic"] += f.charFormat().fontItalic() ? f.text() : QString();
        marked["code"] += f.charFormat().fontFixedPitch() ? f.text() : QString();
        marked["link"] += f.charFormat().isAnchor() ? f.text() : QString();
    }
    EXPECT_TRUE(blocks[1].text().endsWith("soft, bold, code and docs."));
    EXPECT_EQ(marked, (QMap<QString, QString>{{"bold", "bold"}, {"italic", "soft"}, {"code", "code"}, {"link", "docs"}}));
    EXPECT_EQ(anchorsOf(*view.document()), QStringList{"https://example.com/docs"});
    // The fence is verbatim, in its own frame.
    EXPECT_NE(QTextCursor(blocks[2]).currentFrame(), view.document()->rootFrame());
    EXPECT_EQ(blocks[2].text(), "# not heading");
    EXPECT_TRUE(blocks[3].blockFormat().hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth));
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
    // Raw HTML shows as text; pictures give way to their descriptions.
    for (const char* text : {"<script>alert('x')</script>", "<img src=\"file:///etc/passwd\">",
                             "<a href=\"javascript:alert(2)\">html link</a>", "run and secrets and data", "tracker local"})
        EXPECT_TRUE(shown.contains(text)) << text;

    for (const QTextBlock& block : blocksOf(*view.document()))
        for (const QTextFragment& f : fragmentsOf(block))
            EXPECT_FALSE(f.charFormat().isImageFormat()) << f.text().toStdString();
    EXPECT_EQ(anchorsOf(*view.document()), (QStringList{"mailto:someone@example.com", "http://example.com"}));
    EXPECT_EQ(view.safeDocument().refusedResourceRequests(), 0);
    // Asked outright, the document refuses every resource.
    EXPECT_FALSE(view.safeDocument().resource(QTextDocument::ImageResource, QUrl("file:///etc/hostname")).isValid());
    EXPECT_FALSE(view.safeDocument().resource(QTextDocument::StyleSheetResource, QUrl("https://example.com/x.css")).isValid());
    EXPECT_EQ(view.safeDocument().refusedResourceRequests(), 2);

    EXPECT_FALSE(view.activateLink(QUrl("javascript:alert(1)")));
    EXPECT_FALSE(view.activateLink(QUrl("file:///etc/passwd")));
    EXPECT_TRUE(view.activateLink(QUrl("https://example.com")));
    // A mail link keeps its recipients, subject and body; attachments, copies and headers go.
    EXPECT_TRUE(view.activateLink(QUrl("mailto:a@example.com?Subject=Hi%20there&attach=/root/.ssh/id_rsa&body=x%26y"
                                       "&cc=c@evil.example&BCC=b@evil.example&attachment=file:///etc/shadow#f")));
    EXPECT_TRUE(view.activateLink(QUrl("MAILTO:a@example.com?attach=/root/.ssh/id_rsa")));
    EXPECT_EQ(opened, (QList<QUrl>{QUrl("https://example.com"), QUrl("mailto:a@example.com?Subject=Hi%20there&body=x%26y"),
                                   QUrl("mailto:a@example.com")}));
}

}  // namespace

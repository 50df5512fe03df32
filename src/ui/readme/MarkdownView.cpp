#include "ui/readme/MarkdownView.h"

#include "platform/Desktop.h"
#include "ui/readme/InlineMarkdown.h"
#include "ui/readme/MarkdownParser.h"
#include "ui/readme/SafeTextDocument.h"
#include "ui/style/Theme.h"

#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFrame>

namespace stowage {

namespace {

constexpr qreal blockSpacing = 8;
constexpr qreal pagePadding = 20;

QTextCharFormat textFormat(const QFont& font, const QColor& color)
{
    QTextCharFormat format;
    format.setFont(font, QTextCharFormat::FontPropertiesAll);
    format.setForeground(color);
    return format;
}

InlineMarkdown::Style inlineStyle(const QFont& font)
{
    return {textFormat(font, Theme::text()), Theme::accent(), Theme::monoFont(font.pointSizeF())};
}

qreal headingSize(int level)
{
    switch (level) {
    case 1: return 22;
    case 2: return 18;
    case 3: return 15;
    default: return 13;
    }
}

// Appends blocks to a document, each as one paragraph (or a frame for code).
class BlockWriter {
public:
    explicit BlockWriter(QTextDocument& document) : cursor_(&document) {}

    void write(const MDBlock& block)
    {
        switch (block.kind) {
        case MDBlock::Kind::heading: heading(block); break;
        case MDBlock::Kind::paragraph: paragraph(block.text); break;
        case MDBlock::Kind::bullet: bullet(block.text); break;
        case MDBlock::Kind::code: code(block.text); break;
        case MDBlock::Kind::rule: rule(); break;
        }
    }

private:
    // Starts the paragraph of the next block. The document's first block and
    // the empty block that always follows a frame are reused.
    void startBlock(QTextBlockFormat format)
    {
        format.setTopMargin(format.topMargin() + (first_ ? 0 : blockSpacing));
        if (reuseBlock_)
            cursor_.setBlockFormat(format);
        else
            cursor_.insertBlock(format);
        first_ = false;
        reuseBlock_ = false;
    }

    void heading(const MDBlock& block)
    {
        QTextBlockFormat format;
        format.setTopMargin(block.level <= 2 ? 8 : 2);
        startBlock(format);
        InlineMarkdown::insert(cursor_, block.text, inlineStyle(Theme::font(headingSize(block.level), QFont::Bold)));
    }

    void paragraph(const QString& text)
    {
        startBlock({});
        InlineMarkdown::insert(cursor_, text, inlineStyle(Theme::font(13)));
    }

    // "•", 8 points, then the text; wrapped lines hang under the text.
    void bullet(const QString& text)
    {
        const QFont font = Theme::font(13);
        const qreal bulletWidth = QFontMetricsF(font).horizontalAdvance(QStringLiteral("•"));
        const qreal gap = 8;
        QTextBlockFormat format;
        format.setLeftMargin(6 + bulletWidth + gap);
        format.setTextIndent(-(bulletWidth + gap));
        startBlock(format);
        cursor_.insertText(QStringLiteral("•"), textFormat(font, Theme::textDim()));
        // An en space is half an em: a 16-pixel font makes it the 8-point gap.
        QFont gapFont = font;
        gapFont.setPixelSize(int(gap * 2));
        cursor_.insertText(QString(QChar(0x2002)), textFormat(gapFont, Theme::text()));
        InlineMarkdown::insert(cursor_, text, inlineStyle(font));
    }

    void code(const QString& text)
    {
        QTextFrameFormat frame;
        frame.setTopMargin(first_ ? 0 : blockSpacing);
        if (first_) {
            // A frame cannot open a document: collapse the empty line before it.
            QTextBlockFormat collapsed;
            collapsed.setLineHeight(0, QTextBlockFormat::FixedHeight);
            cursor_.setBlockFormat(collapsed);
        }
        first_ = false;
        frame.setBackground(Theme::surface());
        frame.setPadding(10);
        frame.setBorder(0);
        frame.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        cursor_.insertFrame(frame);
        QString verbatim = text;
        verbatim.remove(QLatin1Char('\r'));
        cursor_.insertText(verbatim, textFormat(Theme::monoFont(12), Theme::text()));
        cursor_.movePosition(QTextCursor::End);
        reuseBlock_ = true;
    }

    void rule()
    {
        QTextBlockFormat format;
        format.setProperty(QTextFormat::BlockTrailingHorizontalRulerWidth,
                           QTextLength(QTextLength::PercentageLength, 100));
        startBlock(format);
    }

    QTextCursor cursor_;
    bool first_ = true;
    bool reuseBlock_ = true;
};

}  // namespace

MarkdownView::MarkdownView(QWidget* parent) : MarkdownView(QString(), parent) {}

MarkdownView::MarkdownView(const QString& text, QWidget* parent)
    : QTextBrowser(parent), document_(new SafeTextDocument(this))
{
    setDocument(document_);
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    document_->setDocumentMargin(pagePadding);
    QPalette p = palette();
    p.setColor(QPalette::Base, Theme::bg());
    p.setColor(QPalette::Text, Theme::text());
    p.setColor(QPalette::Dark, Theme::border());  // the colour of horizontal rules
    setPalette(p);
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) { activateLink(url); });
    text_ = text;
    render();
}

void MarkdownView::setText(const QString& text)
{
    if (text == text_ && !document_->isEmpty())
        return;
    text_ = text;
    render();
}

bool MarkdownView::activateLink(const QUrl& url)
{
    if (!InlineMarkdown::isOpenableLink(url))
        return false;
    const QUrl target = InlineMarkdown::linkToOpen(url);
    if (opener_)
        opener_(target);
    else
        platform::Desktop::system().openUrl(target, {});
    return true;
}

QVariant MarkdownView::loadResource(int, const QUrl&)
{
    return {};
}

void MarkdownView::render()
{
    document_->clear();
    BlockWriter writer(*document_);
    for (const MDBlock& block : MarkdownParser::parse(text_))
        writer.write(block);
}

}  // namespace stowage

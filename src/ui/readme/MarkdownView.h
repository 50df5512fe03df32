#pragma once
// Shows README text rendered block by block (MarkdownParser) in one read-only
// text view: headings, paragraphs, bullets, fenced code and rules, with inline
// emphasis, code spans and links inside a block. Nothing is ever fetched while
// rendering, and a clicked link is opened only for http, https and mailto.

#include <QTextBrowser>

#include <functional>

namespace stowage {

class SafeTextDocument;

class MarkdownView : public QTextBrowser {
    Q_OBJECT
public:
    using LinkOpener = std::function<void(const QUrl&)>;

    explicit MarkdownView(QWidget* parent = nullptr);
    MarkdownView(const QString& text, QWidget* parent = nullptr);

    const QString& text() const { return text_; }
    void setText(const QString& text);

    // Where accepted links go; the desktop's browser or mail program by default.
    void setLinkOpener(LinkOpener opener) { opener_ = std::move(opener); }
    // Opens `url` through the link opener when its scheme is allowed; returns whether it did.
    bool activateLink(const QUrl& url);

    SafeTextDocument& safeDocument() const { return *document_; }

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    void render();

    QString text_;
    SafeTextDocument* document_;
    LinkOpener opener_;
};

}  // namespace stowage

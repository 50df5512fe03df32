#pragma once
// The README of a project in a sheet over the window: a header with the
// project name, the file-manager button and "Close", then the README rendered by
// MarkdownView. The file is read on a worker thread nobody waits for (it may
// sit on a hung mount); "Loading…" shows until its text arrives.

#include "model/OffThread.h"

#include <QDialog>

#include <functional>
#include <optional>

namespace stowage {

class MarkdownView;

class ReadmeDialog : public QDialog {
    Q_OBJECT
public:
    ReadmeDialog(const QString& title, std::optional<QString> url, std::function<void()> onOpenFileManager,
                QWidget* parent = nullptr);

    const QString& title() const { return title_; }
    QString content() const;
    MarkdownView& markdownView() const { return *view_; }

signals:
    // The file was read (or found missing) and its text is shown.
    void contentLoaded();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void startLoading();

    QString title_;
    std::optional<QString> url_;
    std::function<void()> onOpenFileManager_;
    MarkdownView* view_;
    OffThread loader_{1};
    bool loadStarted_ = false;
};

}  // namespace stowage

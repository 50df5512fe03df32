#include "ui/readme/ReadmeDialog.h"

#include "platform/PlatformWords.h"
#include "ui/readme/MarkdownView.h"
#include "ui/readme/ReadmeFile.h"
#include "ui/style/Icons.h"
#include "ui/style/Theme.h"
#include "ui/widgets/Label.h"
#include "ui/widgets/SGButton.h"

#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace stowage {

namespace {

QWidget* headerRow(const QString& title, QDialog& sheet, const std::function<void()>& onOpenFileManager)
{
    auto* row = new QWidget(&sheet);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(8);

    auto* icon = new QLabel(row);
    icon->setPixmap(Icons::symbol(QStringLiteral("doc.richtext"), Theme::accent()).pixmap(18, 18));
    auto* label = plainLabel(title, Theme::font(13, QFont::DemiBold), Theme::text(), row);
    layout->addWidget(icon);
    layout->addWidget(label);
    layout->addStretch(1);

    auto* finder = new SGButton(platform::platformWords().showFolderButton, QStringLiteral("folder"), Theme::accent(), false, row);
    QObject::connect(finder, &QPushButton::clicked, row, [onOpenFileManager] {
        if (onOpenFileManager)
            onOpenFileManager();
    });
    auto* close = new SGButton(QCoreApplication::translate("ReadmeDialog", "Close"), {}, Theme::text(), false, row);
    QObject::connect(close, &QPushButton::clicked, &sheet, &QDialog::reject);
    layout->addWidget(finder);
    layout->addWidget(close);
    return row;
}

QFrame* divider(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFixedHeight(1);
    line->setAutoFillBackground(true);
    QPalette p = line->palette();
    p.setColor(QPalette::Window, Theme::border());
    line->setPalette(p);
    return line;
}

}  // namespace

ReadmeDialog::ReadmeDialog(const QString& title, std::optional<QString> url, std::function<void()> onOpenFileManager,
                         QWidget* parent)
    : QDialog(parent), title_(title), url_(std::move(url)), onOpenFileManager_(std::move(onOpenFileManager))
{
    setPlainWindowTitle(*this, title_);
    setWindowModality(Qt::WindowModal);
    setFixedSize(780, 640);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Theme::bg());
    setPalette(p);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(headerRow(title_, *this, onOpenFileManager_));
    layout->addWidget(divider(this));
    view_ = new MarkdownView(ReadmeFile::loadingText(), this);
    layout->addWidget(view_, 1);
}

QString ReadmeDialog::content() const
{
    return view_->text();
}

void ReadmeDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    startLoading();
}

void ReadmeDialog::startLoading()
{
    if (loadStarted_)
        return;
    loadStarted_ = true;
    // A sheet closed before the file is read drops the text with its loader.
    loader_.run<QString>([path = url_] { return ReadmeFile::read(path); },
                         [this](const QString& text) {
                             view_->setText(text);
                             emit contentLoaded();
                         });
}

}  // namespace stowage

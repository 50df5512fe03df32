#include "ui/shell/EmptyState.h"

#include "docker/DockerError.h"
#include "model/AppModel.h"
#include "platform/PlatformWords.h"
#include "ui/style/Icons.h"
#include "ui/style/Theme.h"
#include "ui/widgets/Label.h"
#include "ui/widgets/SGButton.h"

#include <QVBoxLayout>

#include <algorithm>

namespace stowage {

namespace {

constexpr int textWidth = 460;

// The platform's help for the failure `detail`, or empty.
QString helpFor(const QString& detail)
{
    const platform::PlatformWords& words = platform::platformWords();
    if (detail == DockerError::notFound().description())
        return words.installDockerHelp;
    if (isSocketPermissionDenied(detail))
        return words.socketPermissionHelp;
    return {};
}

}  // namespace

bool EmptyState::applies(const AppModel& model)
{
    return !model.isLoading() && model.inventory().containers.isEmpty() && model.inventory().images.isEmpty()
        && model.inventory().volumes.isEmpty();
}

EmptyState::EmptyState(AppModel& model, QWidget* parent) : QWidget(parent), model_(model)
{
    icon_ = new QLabel(this);
    icon_->setAlignment(Qt::AlignCenter);
    title_ = plainLabel({}, Theme::font(Theme::titleSize, QFont::Bold), Theme::text(), this);
    title_->setAlignment(Qt::AlignCenter);
    const auto paragraph = [this](const QColor& color) {
        QLabel* label = plainLabel({}, Theme::font(12), color, this);
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        label->setFixedWidth(textWidth);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return label;
    };
    message_ = paragraph(Theme::textDim());
    help_ = paragraph(Theme::text());
    retry_ = new SGButton(tr("Retry"), QStringLiteral("arrow.clockwise"), Theme::accent(), false, this);
    connect(retry_, &QPushButton::clicked, &model_, &AppModel::refresh);

    auto* column = new QVBoxLayout(this);
    column->setSpacing(12);
    column->addStretch(1);
    column->addWidget(icon_, 0, Qt::AlignHCenter);
    column->addWidget(title_, 0, Qt::AlignHCenter);
    column->addWidget(message_, 0, Qt::AlignHCenter);
    column->addWidget(help_, 0, Qt::AlignHCenter);
    column->addSpacing(4);
    column->addWidget(retry_, 0, Qt::AlignHCenter);
    column->addStretch(1);

    for (auto signal : {&AppModel::statusTextChanged, &AppModel::isLoadingChanged})
        connect(&model_, signal, this, &EmptyState::sync);
    sync();
}

QString EmptyState::title() const { return title_->text(); }
QString EmptyState::message() const { return message_->text(); }
QString EmptyState::help() const { return help_->text(); }

void EmptyState::sync()
{
    const QString status = model_.statusText();
    const bool failed = status.startsWith(QStringLiteral("Error"));
    if (failed != failed_ || icon_->pixmap().isNull()) {
        failed_ = failed;
        const QString symbol = failed ? QStringLiteral("exclamationmark.triangle") : QStringLiteral("shippingbox");
        icon_->setPixmap(Icons::symbol(symbol, failed ? Theme::warning() : Theme::textDim()).pixmap(40, 40));
    }
    title_->setText(failed ? tr("Couldn't reach Docker") : tr("No Docker data"));
    const QString detail = QString(status).remove(QStringLiteral("Error loading data: "));
    message_->setText(failed ? shownDescription(detail) : tr("Make sure Docker is running, then refresh."));
    help_->setText(failed ? helpFor(detail) : QString());
    help_->setVisible(!help_->text().isEmpty());
    // The column's layout asks a label's height for the whole window's width,
    // not for the label's own: without a minimum, a long error is cut to two lines.
    // A label without text has no height for a width (-1), which Qt refuses as a size.
    for (QLabel* label : {message_, help_})
        label->setMinimumHeight(std::max(0, label->heightForWidth(textWidth)));
    retry_->setEnabled(!model_.isLoading());
}

}  // namespace stowage

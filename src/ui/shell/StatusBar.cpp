#include "ui/shell/StatusBar.h"

#include "ui/accessibility/AccessibleRoles.h"
#include "ui/operations/CommandMonitor.h"
#include "ui/style/Theme.h"
#include "ui/widgets/Label.h"
#include "ui/widgets/SGButton.h"

#include <QHBoxLayout>

namespace stowage {

StatusBar::StatusBar(OperationCenter& ops, QWidget* parent) : SurfaceBar(parent)
{
    // Read out as the status bar named by the status text, so that each new text is announced.
    AccessibleRoles::setRole(*this, QAccessible::StatusBar);
    frame_ = plainLabel({}, Theme::monoFont(13), Theme::text(), this);
    frame_->setAccessibleName(tr("Working"));
    text_ = new ElidedLabel(Qt::ElideMiddle, this);
    text_->setFont(Theme::monoFont(11));
    text_->setColor(Theme::textDim());
    monitor_ = new CommandMonitor(ops, this);
    stop_ = SGButton::borderless(tr("Stop"), QStringLiteral("stop.circle.fill"), Theme::danger(), this);
    stop_->setToolTip(tr("Stop the current operation and kill any stuck docker command"));
    connect(stop_, &QPushButton::clicked, this, &StatusBar::stopRequested);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(12, 4, 8, 4);
    row->setSpacing(8);
    row->addWidget(frame_);
    row->addWidget(text_, 1);
    row->addWidget(monitor_);
    row->addWidget(stop_);
    setFixedHeight(30);
    sync();
}

void StatusBar::setFrame(const QString& frame)
{
    frame_->setText(frame);
    sync();
}

void StatusBar::setText(const QString& text)
{
    text_->setText(text);
    setAccessibleName(text);
}

void StatusBar::setLoading(bool loading)
{
    loading_ = loading;
    sync();
}

void StatusBar::sync()
{
    frame_->setVisible(loading_ && !frame_->text().isEmpty());
    stop_->setVisible(loading_);
}

}  // namespace stowage

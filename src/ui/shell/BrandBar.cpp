#include "ui/shell/BrandBar.h"

#include "BuildInfo.h"
#include "docker/DockerError.h"
#include "model/AppModel.h"
#include "platform/Desktop.h"
#include "ui/accessibility/AccessibleRoles.h"
#include "ui/shell/Links.h"
#include "ui/style/Icons.h"
#include "ui/style/Theme.h"
#include "ui/widgets/Label.h"
#include "ui/widgets/SGButton.h"


#include <QHBoxLayout>

namespace stowage {

QString BrandBar::version()
{
    static const QString text = [] {
        const QString built = QString::fromLatin1(build::version);
        return built.isEmpty() ? QStringLiteral("—") : built;
    }();
    return text;
}

QString BrandBar::liveState(const AppModel& model)
{
    if (model.isLoading())
        return tr("Scanning…");
    if (model.statusText().startsWith(QStringLiteral("Error"))) {
        // Which of the three it is decides what the user does next (the window shows how).
        if (model.statusText().contains(DockerError::notFound().description()))
            return tr("docker program not found");
        if (isSocketPermissionDenied(model.statusText()))
            return tr("Docker socket refused this user");
        return tr("Docker not answering");
    }
    if (model.inventory().containers.isEmpty() && model.inventory().images.isEmpty() && model.inventory().volumes.isEmpty())
        return tr("No scan yet");
    // Images as the Overview's card counts them (the engine's count: one per
    // image, not per listed name, build layers left out).
    const QString images = tr("%n image(s)", nullptr, int(model.classification().imageCount()));
    const QString volumes = tr("%n volume(s)", nullptr, int(model.inventory().volumes.size()));
    return model.dataStale() ? tr("%1 · %2 · stale").arg(images, volumes) : tr("%1 · %2").arg(images, volumes);
}

BrandBar::BrandBar(AppModel& model, platform::Desktop& desktop, QWidget* parent) : QWidget(parent), model_(model)
{
    const QFont font = Theme::font(11);
    auto* icon = new QLabel(this);
    const int side = QFontMetrics(font).height();
    icon->setPixmap(Icons::symbol(QStringLiteral("shippingbox.fill"), Theme::accent()).pixmap(side, side));
    auto* name = plainLabel(QStringLiteral("Stowage"), Theme::font(11, QFont::DemiBold), Theme::text(), this);
    auto* versionLabel =
        plainLabel(QStringLiteral("v") + version(), Theme::monoFont(11), Theme::textDim(), this);
    live_ = new ElidedLabel(Qt::ElideRight, this);
    live_->setFont(Theme::monoFont(11));
    live_->setColor(Theme::textDim());
    auto separator = [&] { return plainLabel(QStringLiteral("|"), font, Theme::border(), this); };
    auto* credit = plainLabel(tr("made by KILNWORKS with ☕"), font, Theme::textDim(), this);
    home_ = SGButton::borderless(tr("Stowage Home"), {}, Theme::accent(), this);
    home_->setFont(font);
    home_->setToolTip(homePageURL().toString());
    AccessibleRoles::setRole(*home_, QAccessible::Link);
    connect(home_, &QPushButton::clicked, this, [this, &desktop] { desktop.openUrl(homePageURL(), model_.shortcuts().desktopFailed()); });

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(12, 3, 8, 3);
    row->setSpacing(6);
    row->addWidget(icon);
    row->addWidget(name);
    row->addWidget(versionLabel);
    row->addSpacing(6);
    row->addWidget(live_, 1);
    row->addWidget(separator());
    row->addWidget(credit);
    row->addWidget(separator());
    row->addWidget(home_);

    for (auto signal : {&AppModel::isLoadingChanged, &AppModel::statusTextChanged, &AppModel::containersChanged,
                        &AppModel::imagesChanged, &AppModel::volumesChanged, &AppModel::dataStaleChanged})
        connect(&model_, signal, this, &BrandBar::sync);
    sync();
}

QString BrandBar::shownLiveState() const { return live_->text(); }

void BrandBar::sync() { live_->setText(liveState(model_)); }

}  // namespace stowage

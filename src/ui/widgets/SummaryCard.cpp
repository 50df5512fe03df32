#include "ui/widgets/SummaryCard.h"

#include "ui/style/Theme.h"
#include "ui/widgets/Label.h"

#include <QLabel>
#include <QVBoxLayout>

namespace stowage {


SummaryCard::SummaryCard(const QString& title, const QString& value, const QString& subtitle, const QColor& color,
                         QWidget* parent)
    : SurfaceCard(8, Theme::withAlpha(color, 0.45), 1, parent)
{
    title_ = plainLabel(title, Theme::font(11), Theme::textDim(), this);
    value_ = plainLabel(value, Theme::font(20, QFont::Bold), color, this);
    subtitle_ = plainLabel(subtitle, Theme::font(10), Theme::withAlpha(Theme::textDim(), 0.8), this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(4);
    layout->addWidget(title_);
    layout->addWidget(value_);
    layout->addWidget(subtitle_);
    layout->addStretch();
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void SummaryCard::setValue(const QString& value) { value_->setText(value); }
void SummaryCard::setSubtitle(const QString& subtitle) { subtitle_->setText(subtitle); }
QString SummaryCard::title() const { return title_->text(); }
QString SummaryCard::value() const { return value_->text(); }
QString SummaryCard::subtitle() const { return subtitle_->text(); }

}  // namespace stowage

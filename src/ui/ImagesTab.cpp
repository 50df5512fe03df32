#include "ui/ImagesTab.h"

#include <QLabel>
#include <QVBoxLayout>

#include "model/AppModel.h"

namespace stowage {

ImagesTab::ImagesTab(AppModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Images"), this));
}

} // namespace stowage

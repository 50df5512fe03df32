#include "ui/VolumesTab.h"

#include <QLabel>
#include <QVBoxLayout>

#include "model/AppModel.h"

namespace stowage {

VolumesTab::VolumesTab(AppModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Volumes"), this));
}

} // namespace stowage

#include "ui/ProjectsTab.h"

#include <QLabel>
#include <QVBoxLayout>

#include "model/AppModel.h"

namespace stowage {

ProjectsTab::ProjectsTab(AppModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Projects"), this));
}

} // namespace stowage

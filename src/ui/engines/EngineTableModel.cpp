#include "ui/engines/EngineTableModel.h"

#include "model/engines/EngineSurvey.h"
#include "text/LocaleFormat.h"
#include "text/PrintableText.h"
#include "text/SizeFormat.h"
#include "ui/style/Theme.h"
#include "ui/widgets/Label.h"

namespace stowage {

EngineTableModel::EngineTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void EngineTableModel::setSurvey(const EngineSurvey* survey)
{
    beginResetModel();
    disconnect(ended_);
    survey_ = survey;
    if (survey_)
        ended_ = connect(survey_, &EngineSurvey::engineEnded, this, [this](int row) {
            emit dataChanged(index(row, 0), index(row, columnTotal - 1));
        });
    endResetModel();
}

int EngineTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !survey_ ? 0 : survey_->size();
}

int EngineTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columnTotal;
}

QString EngineTableModel::text(int row, int column) const
{
    const EngineSurvey::Engine& engine = survey_->engine(row);
    const std::optional<EngineFigures>& figures = engine.figures;
    const auto counted = [](qsizetype count, qint64 bytes) {
        return QStringLiteral("%1 · %2").arg(count).arg(SizeFormat::humanSize(bytes));
    };
    switch (column) {
    case nameColumn: return printable(engine.context.name);
    case endpointColumn: return printable(engine.context.endpoint);
    case stateColumn:
        if (!engine.ended)
            return engine.model ? tr("Reading…") : tr("Connecting…");
        if (engine.error.isEmpty())
            return tr("Reachable");
        return (engine.model ? tr("Could not be read: %1") : tr("Not reachable: %1")).arg(printable(engine.error));
    case refreshedColumn: return engine.refreshedAt.isValid() ? LocaleFormat::mediumTime(engine.refreshedAt.toLocalTime()) : QString();
    case idColumn: {
        const QStringList same = survey_->sameEngineAs(row);
        return same.isEmpty() ? printable(engine.id)
                              : tr("%1 — the same engine as %2").arg(printable(engine.id), printable(same.join(", ")));
    }
    }
    if (!figures)
        return {};
    switch (column) {
    case imagesColumn: return counted(figures->images, figures->imageBytes);
    case volumesColumn: return counted(figures->volumes, figures->volumeBytes);
    case buildCacheColumn: return SizeFormat::humanSize(figures->buildCacheBytes);
    case diskUsedColumn: return SizeFormat::humanSize(figures->diskUsedBytes);
    case safeColumn: return formatRange(figures->safeToRemove);
    }
    return {};
}

QVariant EngineTableModel::data(const QModelIndex& index, int role) const
{
    if (!survey_ || !index.isValid())
        return {};
    const EngineSurvey::Engine& engine = survey_->engine(index.row());
    switch (role) {
    case Qt::DisplayRole: return text(index.row(), index.column());
    case Qt::ToolTipRole: return plainToolTip(text(index.row(), index.column()));
    case Qt::ForegroundRole:
        if (index.column() == stateColumn && engine.ended)
            return engine.error.isEmpty() ? Theme::success() : Theme::danger();
        if (index.column() == safeColumn)
            return Theme::success();
        return index.column() == endpointColumn || index.column() == idColumn ? Theme::textDim() : Theme::text();
    }
    return {};
}

QVariant EngineTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case nameColumn: return tr("Engine");
    case endpointColumn: return tr("Endpoint");
    case stateColumn: return tr("State");
    case imagesColumn: return tr("Images");
    case volumesColumn: return tr("Volumes");
    case buildCacheColumn: return tr("Build Cache");
    case diskUsedColumn: return tr("Disk Used");
    case safeColumn: return tr("Safe to Remove");
    case refreshedColumn: return tr("Last Refresh");
    case idColumn: return tr("Engine ID");
    }
    return {};
}

}  // namespace stowage

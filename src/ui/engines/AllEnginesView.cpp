#include "ui/engines/AllEnginesView.h"

#include "docker/EngineContext.h"
#include "model/engines/EngineSurvey.h"
#include "text/PrintableText.h"
#include "ui/engines/EngineTableModel.h"
#include "ui/listing/DataTable.h"
#include "ui/style/Theme.h"
#include "ui/widgets/Label.h"
#include "ui/widgets/SGButton.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include <iterator>

namespace stowage {

namespace {

constexpr double listLimit = 15.0;  // seconds `docker context ls` has to answer

AppModel::Options surveyModelOptions()
{
    AppModel::Options options;
    options.cacheFile.emplace();  // the window's state cache is its own engine's
    options.refreshAfterCleanup = false;
    return options;
}

}  // namespace

AllEnginesView::AllEnginesView(DockerRunner::Config runnerConfig, QWidget* parent)
    : QWidget(parent, Qt::Window), runnerConfig_(std::move(runnerConfig)), table_(new EngineTableModel(this))
{
    runnerConfig_.context.clear();
    lister_ = std::make_shared<DockerRunner>(runnerConfig_);
    setWindowTitle(tr("All Engines"));
    setObjectName(QStringLiteral("allEngines"));
    resize(1480, 360);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Theme::bg());
    setPalette(palette);
    setAutoFillBackground(true);

    status_ = plainLabel({}, Theme::font(11), Theme::textDim(), this);
    refreshButton_ = new SGButton(tr("Refresh"), QStringLiteral("arrow.clockwise"), Theme::accent(), false, this);
    connect(refreshButton_, &SGButton::clicked, this, &AllEnginesView::refresh);
    auto* top = new QHBoxLayout;
    top->addWidget(plainLabel(tr("Every docker context, side by side"), Theme::font(13, QFont::DemiBold), Theme::text()));
    top->addStretch();
    top->addWidget(status_);
    top->addWidget(refreshButton_);

    auto* view = new DataTable(table_, this);
    view->setAccessibleName(tr("Engines"));
    // Room for the usual texts; a long name, endpoint or error is elided, in full in its tooltip,
    // and every column can be widened by hand.
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    static constexpr int widths[] = {130, 180, 220, 120, 120, 90, 90, 110, 260};
    for (int column = 0; column < int(std::size(widths)); ++column)
        view->setColumnWidth(column, widths[column]);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->addLayout(top);
    layout->addWidget(view);
}

AllEnginesView::~AllEnginesView()
{
    listStop_.request_stop();
    table_->setSurvey(nullptr);
}

void AllEnginesView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!reading_)
        refresh();
}

void AllEnginesView::closeEvent(QCloseEvent* event)
{
    listStop_.request_stop();
    if (survey_)
        survey_->interrupt();
    QWidget::closeEvent(event);
}

void AllEnginesView::refresh()
{
    if (reading_)
        return;
    setReading(true);
    status_->setText(tr("Listing the docker contexts…"));
    listStop_ = {};
    using Listing = std::pair<QList<EngineContext>, QString>;  // the contexts, or why there are none
    listing_.run<Listing>(
        [runner = lister_, stop = listStop_.get_token()] {
            try {
                return Listing{listContexts(*runner, listLimit, stop), {}};
            } catch (const RunError& error) {
                return Listing{{}, error.description()};
            }
        },
        [this](const Listing& listing) { listed(listing.first, listing.second); });
}

void AllEnginesView::listed(const QList<EngineContext>& contexts, const QString& error)
{
    if (!isVisible())
        return setReading(false);  // closed while docker listed them
    if (!error.isEmpty() || contexts.isEmpty()) {
        status_->setText(error.isEmpty() ? tr("Docker lists no contexts.")
                                         : tr("Could not list the docker contexts: %1").arg(printable(error)));
        return setReading(false);
    }
    // The previous survey goes once the table no longer shows it.
    auto survey = std::make_unique<EngineSurvey>(contexts, runnerConfig_, surveyModelOptions());
    table_->setSurvey(survey.get());
    survey_ = std::move(survey);
    connect(survey_.get(), &EngineSurvey::engineEnded, this, &AllEnginesView::showProgress);
    connect(survey_.get(), &EngineSurvey::finished, this, [this] { setReading(false); });
    survey_->start();
    showProgress();
}

void AllEnginesView::showProgress()
{
    int ended = 0, unreachable = 0;
    for (int index = 0; index < survey_->size(); ++index) {
        ended += survey_->engine(index).ended ? 1 : 0;
        unreachable += survey_->engine(index).error.isEmpty() ? 0 : 1;
    }
    const int total = survey_->size();
    if (ended < total)
        status_->setText(tr("Reading %1 of %n engine(s)…", nullptr, total).arg(total - ended));
    else if (unreachable > 0)
        status_->setText(tr("%n engine(s) read, %1 not reachable", nullptr, total).arg(unreachable));
    else
        status_->setText(tr("%n engine(s) read", nullptr, total));
}

void AllEnginesView::setReading(bool reading)
{
    reading_ = reading;
    refreshButton_->setEnabled(!reading);
}

}  // namespace stowage

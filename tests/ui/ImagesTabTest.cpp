// The Images tab: row order, colours, marks and verdicts by the classification,
// the short ID, the banner and the two removal buttons.
#include "UiRig.h"

#include "ui/images/ImageRows.h"
#include "ui/images/ImageTableModel.h"
#include "ui/images/ImagesTab.h"
#include "ui/listing/UsageWarningBanner.h"
#include "ui/style/Theme.h"
#include "ui/widgets/SGButton.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QTableView>

#include <set>

namespace stowage::test {
namespace {

struct Images {
    explicit Images(const CachedState& state = records::realistic()) : rig(state), tab(*rig.model)
    {
        rig.alerts.defaultAnswer = false;  // removals ask and are declined
        tab.resize(1200, 700);
        tab.show();
        drainEvents();
    }
    const ImageRow& row(const QString& name) const
    {
        for (const ImageRow& r : tab.tableModel().rows())
            if (r.repository + ':' + r.tag == name)
                return r;
        ADD_FAILURE() << "no row " << name.toStdString();
        static const ImageRow none;
        return none;
    }
    records::LoadedRig rig;
    ImagesTab tab;
};

TEST(ImagesTabTest, RowsAreLargestFirstAndStableForEqualSizes)
{
    Images images(records::StateBuilder().image("b-first", "1", "10MB").image("a-big", "1", "2GB")
                      .image("c-second", "1", "10MB").image("d-small", "1", "1kB").build());
    QStringList order;
    for (const ImageRow& r : images.tab.tableModel().rows())
        order << r.repository;
    EXPECT_EQ(order, (QStringList{"a-big", "b-first", "c-second", "d-small"}));
}

TEST(ImagesTabTest, ProjectsAndVerdictsFollowTheClassificationAndRemovalsOfferOnlyTheSafeImages)
{
    Images images;
    ASSERT_TRUE(images.rig.loaded);
    const struct { const char* image; const char* project; const char* status; } expected[] = {
        {"shop-web:latest", "shop", "Used by container"},
        {"postgres:16", "shop", "Used by container"},
        // Run by shop, blog and a standalone container: two named projects make it shared.
        {"redis:7-alpine", "blog, shop", "Shared — keep"},
        {"portainer/portainer-ce:latest", "—", "Used by container"},
        // An older build of a project's image, used by nothing.
        {"shop-web:v0.9", "shop (unused)", "Not used by any container"},
        {"legacy-api:latest", "—", "Not used by any container"},
        {"<none>:<none>", "—", "Dangling image"},
        // Pulled images nothing uses are safe, but never offered for bulk removal.
        {"nginx:1.25", "—", "Base image — not offered for bulk removal"},
        {"node:20-alpine", "—", "Base image — not offered for bulk removal"},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.image);
        const ImageRow& r = images.row(QString::fromUtf8(e.image));
        EXPECT_EQ(r.project, QString::fromUtf8(e.project));
        EXPECT_EQ(r.status, QString::fromUtf8(e.status));
    }
    // The table shows them, every cell in the row colour, not in the colour the legend calls "Safe to remove".
    const auto& model = images.tab.tableModel();
    const int row = model.rowOf(records::imageId("nginx:1.25"));
    ASSERT_GE(row, 0);
    EXPECT_EQ(model.index(row, ImageTableModel::statusColumn).data().toString(),
              "Base image — not offered for bulk removal");
    for (int column = 0; column < ImageTableModel::columnTotal; ++column)
        EXPECT_EQ(model.index(row, column).data(Qt::ForegroundRole).value<QColor>(), Theme::cyan());

    const QString legacy = records::imageId("legacy-api:latest");
    images.tab.setSelection({legacy, records::imageId("postgres:16")});
    images.tab.removeSelectedButton().click();
    images.tab.removeUnusedButton().click();
    const auto confirms = images.rig.alerts.confirms();
    ASSERT_EQ(confirms.size(), 2);
    for (const auto& [confirm, text, listed] : std::initializer_list<std::tuple<int, const char*, bool>>{
             {0, "legacy-api:latest", true}, {0, "BLOCKED", true}, {0, "Will remove:\n  postgres", false},
             {1, "legacy-api:latest", true}, {1, "nginx", false}})
        EXPECT_EQ(confirms[confirm].message.contains(text), listed) << confirm << text;

    // While another operation runs, neither removal starts.
    images.rig.docker.setRules({FakeRule{"", {}, {}, 0, 30}});
    images.rig.model->refresh();
    EXPECT_FALSE(images.tab.removeUnusedButton().isEnabled());
    EXPECT_FALSE(images.tab.removeSelectedButton().isEnabled());
    images.rig.model->cancelCurrentOperation();
    ASSERT_TRUE(images.rig.waitIdle());

    // A new inventory keeps the selection; the next visit clears it.
    images.tab.setSelection({legacy});
    ASSERT_TRUE(records::loadInto(images.rig, records::realistic()));
    images.tab.render();
    EXPECT_EQ(images.tab.selection(), QSet<QString>{legacy});
    EXPECT_EQ(shortImageId(legacy), legacy.mid(7, 12));
    images.tab.hide();
    images.tab.show();
    EXPECT_TRUE(images.tab.selection().isEmpty());
}

TEST(ImagesTabTest, EveryColourAndMarkOnScreenIsExplainedByTheLegendAndUnverifiedUsageOffersNoBulkRemoval)
{
    // shop-web:latest built by the classic builder on an untagged step, shown behind the toggle.
    CachedState state = records::realistic();
    state.images << SGImage{"sha256:step", "<none>", "<none>", "10MB", 10000000, "3 hours ago"};
    state.imageLayers << ImageLayers{"sha256:step", {}, 10000000, {"step-layer"}};
    state.imageLayers[0].parent = "sha256:step";
    Images images(state);
    images.tab.buildLayersToggle().setChecked(true);
    Images unverified(records::realisticBuilder().build(false));
    QStringList shownLabels;
    for (const QLabel* label : images.tab.findChildren<QLabel*>())
        shownLabels << label->text();
    for (const ImageLegendEntry& entry : ImageRows::legend())
        EXPECT_TRUE(shownLabels.contains(entry.mark + ' ' + entry.caption)) << entry.caption.toStdString();
    std::set<ImageVerdict> seen;
    for (const Images* tab : {&images, &unverified})
        for (const ImageRow& r : tab->tab.tableModel().rows()) {
            const ImageLegendEntry& entry = ImageRows::legendEntry(r.verdict);
            EXPECT_EQ(r.color, entry.color) << r.repository.toStdString();
            EXPECT_EQ(r.mark, entry.mark) << r.repository.toStdString();
            seen.insert(r.verdict);
        }
    EXPECT_EQ(qsizetype(seen.size()), ImageRows::legend().size());  // the sample shows every kind
    // Unverified usage: every row unknown, the warning shown, no bulk removal.
    for (const ImageRow& r : unverified.tab.tableModel().rows())
        EXPECT_EQ(r.status, "Unknown — refresh needed");
    EXPECT_FALSE(unverified.tab.banner().isHidden());
    EXPECT_FALSE(unverified.tab.removeUnusedButton().isEnabled());
    EXPECT_TRUE(unverified.tab.removeSelectedButton().isEnabled());
    // The status column fits the longest verdict the tab writes.
    EXPECT_GE(images.tab.table().columnWidth(ImageTableModel::statusColumn),
              images.tab.table().fontMetrics().horizontalAdvance(UsageClassification::baseImageStatusText()));
    // The legend does not squeeze the title at the default window width.
    EXPECT_GE(images.tab.title().width(), images.tab.title().sizeHint().width());
}

}  // namespace
}  // namespace stowage::test

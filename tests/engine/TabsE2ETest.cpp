// The Images, Volumes and Projects tabs end to end on the private engine:
// after a refresh of the fixture, the Volumes tab's sections and cells and the
// Images tab's rows carry the fixture's verdicts, and "Delete entire project"
// pressed on a project card removes that project from the engine.

#include "EngineModelRig.h"

#include "ui/ImageRows.h"
#include "ui/ImageTableModel.h"
#include "ui/ImagesTab.h"

#include <QCheckBox>
#include "ui/ProjectListModel.h"
#include "ui/ProjectCardList.h"
#include "ui/ProjectsTab.h"
#include "ui/SGButton.h"
#include "ui/Theme.h"
#include "ui/VolumeTableModel.h"
#include "ui/VolumesTab.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QListView>
#include <QTest>

using namespace stowage;
using namespace stowage::test;

namespace {

using TabsE2ETest = EngineTest;

QStringList strings(const QJsonValue& value)
{
    QStringList out;
    for (const QJsonValue& v : value.toArray())
        out << v.toString();
    return out;
}

// The section a volume of the fixture belongs in: in-use volumes under their
// alphabetically first named owner, the others by their verdict.
QString expectedSection(const QJsonObject& volume)
{
    const QString usage = volume.value("usage").toString();
    if (usage == "inUse") {
        QStringList owners = strings(volume.value("owners"));
        owners.removeAll(QString());
        owners.sort();
        return "p:" + owners.value(0);
    }
    if (usage == "orphanLabeled")
        return "orphan-labeled";
    if (usage == "orphanNamed")
        return "orphan-named";
    if (usage == "orphanAnonymous")
        return "orphan-anon";
    return usage;  // "disputed", "unknown"
}

TEST_F(TabsE2ETest, AfterARefreshTheVolumeSectionsAndImageStatusesMatchTheFixture)
{
    EngineModelRig rig(engine);
    ASSERT_TRUE(rig.refreshAndWait()) << rig.model->statusText().toStdString();

    VolumesTab volumes(*rig.model);
    volumes.show();
    drainEvents();
    QHash<QString, QString> sectionOf;
    QHash<QString, int> sizes;
    for (const VolumeSection& section : volumes.tableModel().sections()) {
        sizes[section.id] = int(section.volumes.size());
        for (const SGVolume& v : section.volumes)
            sectionOf.insert(v.name, section.id);
    }
    const QJsonArray expectedVolumes = expected.value("volumes").toArray();
    EXPECT_EQ(sectionOf.size(), expectedVolumes.size());
    for (const QJsonValue& value : expectedVolumes) {
        const QJsonObject volume = value.toObject();
        const QString name = engine.volumeName(volume.value("name").toString());
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(sectionOf.value(name), expectedSection(volume));
        const int row = volumes.tableModel().rowOf(name);
        ASSERT_GE(row, 0);
        const auto cell = [&](int column) { return volumes.tableModel().index(row, column).data().toString(); };
        EXPECT_EQ(cell(VolumeTableModel::statusColumn), volume.value("statusText").toString());
        EXPECT_EQ(cell(VolumeTableModel::projectColumn), volume.value("projectText").toString());
        const QStringList mounters = strings(volume.value("mountedBy"));
        if (mounters.isEmpty())
            EXPECT_EQ(cell(VolumeTableModel::usedByColumn), "—");
        else
            EXPECT_TRUE(cell(VolumeTableModel::usedByColumn).startsWith(*std::min_element(mounters.begin(), mounters.end())));
    }
    EXPECT_EQ(sizes.value("orphan-labeled") + sizes.value("orphan-named") + sizes.value("orphan-anon"),
              strings(expected.value("orphanVolumes")).size());
    EXPECT_EQ(sizes.value("disputed"), strings(expected.value("disputedVolumes")).size());
    EXPECT_FALSE(sizes.contains("unknown"));
    EXPECT_EQ(volumes.removeAllOrphansButton().text(),
              QString("Remove All %1 Orphans").arg(strings(expected.value("orphanVolumes")).size()));
    EXPECT_TRUE(volumes.removeAllOrphansButton().isEnabled());

    ImagesTab images(*rig.model);
    images.show();
    drainEvents();
    // The classic builder's two intermediate images show only behind the toggle.
    const int rows = expected.value("counts").toObject().value("imageRows").toInt();
    EXPECT_EQ(images.tableModel().rowCount(), rows - 2);
    EXPECT_EQ(images.buildLayersToggle().text(), "Show build layers (2)");
    images.buildLayersToggle().setChecked(true);
    EXPECT_EQ(images.tableModel().rowCount(), rows);
    const QStringList baseImages = strings(expected.value("baseImagesNotOffered"));
    QHash<QString, QList<ImageRow>> rowsByRef;
    for (const ImageRow& row : images.tableModel().rows())
        rowsByRef[row.repository + ':' + row.tag] << row;
    for (const QJsonValue& value : expected.value("images").toArray()) {
        const QJsonObject image = value.toObject();
        const QString ref = image.value("ref").toString();
        SCOPED_TRACE(ref.toStdString());
        QString status = image.value("reason").toString();
        if (image.value("projectShared").toBool())
            status = "Shared — keep";
        else if (baseImages.contains(ref))
            status = "Base image — not offered for bulk removal";
        // The <none> rows are told apart by their status.
        QList<ImageRow> refRows = rowsByRef.value(ref);
        refRows.removeIf([&](const ImageRow& row) { return image.contains("count") && row.status != status; });
        ASSERT_EQ(refRows.size(), image.value("count").toInt(refRows.size()));
        ASSERT_FALSE(refRows.isEmpty());
        const QString kind = image.value("kind").toString();
        const ImageVerdict verdict = kind == "intermediate" ? ImageVerdict::buildLayer
                                     : kind == "dangling"   ? ImageVerdict::dangling
                                     : baseImages.contains(ref) ? ImageVerdict::baseImage
                                     : image.value("safe").toBool() ? ImageVerdict::removable
                                                                    : ImageVerdict::used;
        for (const ImageRow& row : refRows) {
            EXPECT_EQ(row.status, status);
            EXPECT_EQ(row.project, image.value("projectText").toString());
            EXPECT_EQ(row.verdict, verdict);
            EXPECT_EQ(row.mark, ImageRows::legendEntry(verdict).mark);
            EXPECT_EQ(row.color, ImageRows::legendEntry(verdict).color);
        }
    }
}

using ProjectCardE2ETest = FreshFixtureTest;

TEST_F(ProjectCardE2ETest, DeleteEntireProjectOnACardRemovesItFromTheEngine)
{
    EngineModelRig rig(engine);
    ASSERT_TRUE(rig.refreshAndWait()) << rig.model->statusText().toStdString();
    rig.alerts.defaultAnswer = true;

    ProjectsTab tab(*rig.model);
    tab.resize(1200, 900);
    tab.show();
    drainEvents();
    const QString project = "sgfx-beta";
    const QRect button = tab.actionRect(project, CardAction::deleteProject);
    ASSERT_FALSE(button.isEmpty());
    QTest::mouseClick(tab.list().viewport(), Qt::LeftButton, {}, button.center());
    ASSERT_TRUE(waitUntil([&] { return !rig.alerts.confirms().isEmpty(); }));
    ASSERT_TRUE(rig.waitIdle());
    EXPECT_EQ(rig.alerts.confirms()[0].title, "Delete entire project");
    EXPECT_TRUE(rig.alerts.confirms()[0].message.startsWith("Project: sgfx-beta\n"));

    const QJsonObject beta = expected.value("projects").toObject().value(project).toObject();
    const DockerState state = DockerState::read(engine);
    for (const QString& container : strings(beta.value("containers")))
        EXPECT_FALSE(state.containerNames.contains(container)) << container.toStdString();
    EXPECT_FALSE(state.imageRefs.contains("sgfx-beta_api:latest"));
    EXPECT_FALSE(state.volumes.contains("sgfx-beta_state"));
    // Shared with other projects: kept.
    EXPECT_TRUE(state.imageRefs.contains("redis:7"));
    EXPECT_TRUE(state.volumes.contains("sgfx-alpha_shared-data"));
    EXPECT_TRUE(state.containerNames.contains("sgfx-alpha_web_1"));

    // The card is gone from the tab.
    tab.render();
    EXPECT_EQ(tab.cards().rowOf(project), -1);
    EXPECT_GE(tab.cards().rowOf("sgfx-alpha"), 0);
}

}  // namespace

#pragma once
// The removals the window and the headless clean offer: each picks its
// candidates from the shown inventory's classification, explains when there
// is nothing safe to remove, confirms with a text listing exactly what goes,
// and then hands its plan to the one runner. Each reads the engine again
// first when the shown facts are not fresh, and starts nothing while another
// operation runs. Lives on the UI thread, owned by the model.
//
// Project teardown follows one rule of exclusivity: nothing that a project
// outside the ones being removed still uses goes. Owners are known only when
// every container was inspected: until then nothing is exclusive, and
// containers alone go.

#include "model/removal/RemovalConfirmations.h"
#include "model/removal/RemovalRunner.h"

#include <QObject>

#include <functional>

namespace stowage {

class AppModel;

class Removals : public QObject {
    Q_OBJECT
public:
    Removals(AppModel& model, RemovalRunner::Limits limits);

    const RemovalRunner::Limits& limits() const { return runner_.limits(); }

    // Removes containers, then images, then volumes, after a daemon health check; no confirmation.
    // `operationName` names the run in the log, `windowName` (when set) in the window.
    void deleteResources(const QString& operationName, const QList<SGContainer>& containers, const QList<ImageUnit>& images,
                         const QList<SGVolume>& volumes, const QString& windowName = {});
    void cleanBuildCache();
    void cleanUnusedImages();
    void cleanOrphanVolumes();
    void cleanAnonymousOrphanVolumes();
    void safeCleanAll() { safeClean(safeCleanAllKinds); }
    // Safe Clean All restricted to `kinds`: confirms the plan, then clears the
    // build cache, removes the images one at a time and the volumes in batches.
    void safeClean(CleanKinds kinds);
    void removeSelectedImages(const QSet<QString>& ids);
    void removeSelectedVolumes(const QSet<QString>& names);

    // What goes with a project: its (built) images and its volumes that no other project uses.
    QList<SGImage> projectExclusiveImages(const QString& project, bool builtOnly) const;
    QList<SGVolume> projectExclusiveVolumes(const QString& project) const;
    void removeProjectContainers(const QString& project);
    void removeProjectImages(const QString& project);
    void removeProjectVolumes(const QString& project);
    void deleteEntireProject(const QString& project);
    // Deletes the named projects (the standalone group never); `confirmed`
    // runs once the person said yes, before the removal starts.
    void deleteProjects(const QSet<QString>& projects, std::function<void()> confirmed = {});

private:
    // Every confirmation goes through here: when the window knows several
    // engines, its message first says which engine it acts on.
    bool confirm(Confirmation confirmation) const;
    // The orphans Docker created without a name: a long confirmation only counts them.
    QSet<QString> anonymousVolumeNames() const;
    void removeOrphanBucket(OrphanBucket bucket, const QString& operationName, const QString& windowName);
    ImageFreeing freeingOf(const QList<ImageUnit>& images) const;
    // Project teardown without complete usage data: a notice, and true.
    bool blockedWithoutOwners();
    // Why owners are unknown, when they are.
    OwnersUnknown ownersUnknown() const;
    QList<ImageUnit> unitsOf(const QList<SGImage>& rows) const;

    AppModel& model_;
    RemovalRunner runner_;
};

}  // namespace stowage

#pragma once
// The geometry of one project card as a list of things to draw (texts, dots,
// badges, buttons, the selection circle), each with its rectangle in card
// coordinates. Painting and hit-testing both read it, so what is clicked is
// always what is drawn.

#include "ui/projects/ProjectCardData.h"

#include <QDateTime>
#include <QFont>
#include <QList>
#include <QRect>

#include <optional>

namespace stowage {

enum class CardAction {
    toggleSelection,
    fileManager,
    terminal,
    readme,
    copyAssistantContext,
    deleteProject,
    removeContainers,
    removeImages,
    removeVolumes,
};

struct CardItem {
    enum class Kind { text, dot, badge, button, checkbox };
    Kind kind = Kind::text;
    QRect rect;
    QString text;
    QFont font;
    QColor color;
    // Buttons: icon symbol, filled or outlined, enabled; buttons and the checkbox carry their action.
    QString icon;
    bool prominent = false;
    bool enabled = true;
    bool checked = false;
    std::optional<CardAction> action;
    // Why a button is disabled, when that is not plain from the card.
    QString toolTip;
    // What a button does, for its tooltip and for assistive technology.
    QString description;
};

// What else decides a card's look besides its data.
struct CardContext {
    bool selectionMode = false;
    bool selected = false;
    bool hasReadme = false;
    // Why the folder shortcuts cannot act (the folder is not on this host); empty while they can.
    QString folderUnavailable;
    // An operation runs: the removal buttons wait for it.
    bool busy = false;
    QDateTime now = QDateTime::currentDateTimeUtc();
};

struct CardLayout {
    int height = 0;
    QColor outline;
    QList<CardItem> items;

    // The enabled action under `point` (card coordinates), if any.
    std::optional<CardAction> actionAt(const QPoint& point) const;
    // The rectangle of an action's button; empty when the card has none.
    QRect rectOf(CardAction action) const;
    const CardItem* itemWithText(const QString& text) const;
};

namespace ProjectCardGeometry {

constexpr int padding = 14;

// Lays a card out at `width`. The height does not depend on the width.
CardLayout layout(const ProjectCardData& card, const CardContext& context, int width);
// The height layout() gives, without placing anything (for long lists).
int height(const ProjectCardData& card);

}  // namespace ProjectCardGeometry

}  // namespace stowage

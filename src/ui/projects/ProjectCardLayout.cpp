#include "ui/projects/ProjectCardLayout.h"

#include "inventory/ContainerStatus.h"
#include "platform/PlatformWords.h"
#include "text/RelativeTime.h"
#include "ui/style/Theme.h"

#include <QCoreApplication>
#include <QFontMetrics>

#include <algorithm>

namespace stowage {

std::optional<CardAction> CardLayout::actionAt(const QPoint& point) const
{
    for (const CardItem& item : items)
        if (item.action && item.enabled && item.rect.contains(point))
            return item.action;
    return std::nullopt;
}

QRect CardLayout::rectOf(CardAction action) const
{
    for (const CardItem& item : items)
        if (item.action == action)
            return item.rect;
    return {};
}

const CardItem* CardLayout::itemWithText(const QString& text) const
{
    for (const CardItem& item : items)
        if (item.text == text)
            return &item;
    return nullptr;
}

namespace ProjectCardGeometry {

namespace {

constexpr int headerHeight = 22;
constexpr int figuresHeight = 16;
constexpr int blockGap = 10;
constexpr int utilityHeight = 26;
constexpr int sectionTitleHeight = 20;
constexpr int rowHeight = 20;
constexpr int actionHeight = 28;
constexpr int buttonGap = 8;
constexpr int badgeGap = 6;

CardItem makeItem(CardItem::Kind kind, const QRect& rect, const QString& text = {}, const QFont& font = {},
                  const QColor& color = {})
{
    CardItem item;
    item.kind = kind;
    item.rect = rect;
    item.text = text;
    item.font = font;
    item.color = color;
    return item;
}

// Places items left to right on one line of a card.
class Line {
public:
    Line(CardLayout& layout, int left, int top, int height, int right)
        : layout_(layout), x_(left), top_(top), height_(height), right_(right)
    {
    }

    // A text at its natural width, at most `maxWidth` (elided when drawn).
    void text(const QString& text, const QFont& font, const QColor& color, int maxWidth = -1, int gapAfter = 8)
    {
        int width = Theme::textWidth(font, text);
        if (maxWidth >= 0)
            width = std::min(width, maxWidth);
        width = std::min(width, std::max(0, right_ - x_));
        add(makeItem(CardItem::Kind::text, QRect(x_, top_, width, height_), text, font, color), gapAfter);
    }

    // A text in a column of fixed width, whatever its own width.
    void column(const QString& text, const QFont& font, const QColor& color, int width)
    {
        width = std::min(width, std::max(0, right_ - x_));
        add(makeItem(CardItem::Kind::text, QRect(x_, top_, std::max(0, width - 8), height_), text, font, color), 8);
    }

    void badge(const CardBadge& badge)
    {
        const QFont font = Theme::monoFont(9);
        const int width = std::min(Theme::textWidth(font, badge.text) + 2 * 6 + 2, std::max(0, right_ - x_));
        const int height = QFontMetrics(font).height() + 2 * 2 + 2;
        add(makeItem(CardItem::Kind::badge, QRect(x_, top_ + (height_ - height) / 2, width, height), badge.text, font,
                     badge.color),
            badgeGap);
    }

    void dot(const QColor& color)
    {
        const QFont font = Theme::font(8);
        add(makeItem(CardItem::Kind::dot, QRect(x_, top_, 8, height_), QStringLiteral("●"), font, color), 6);
    }

    void button(const QString& title, const QString& icon, const QColor& tint, bool prominent, bool enabled,
                CardAction action, const QString& toolTip = {}, const QString& description = {})
    {
        const QFont font = Theme::font(11, QFont::Medium);
        const int iconSide = QFontMetrics(font).height();
        const int width = Theme::textWidth(font, title) + iconSide + 5 + 2 * 10;
        CardItem item = makeItem(CardItem::Kind::button, QRect(x_, top_, width, height_), title, font, tint);
        item.icon = icon;
        item.prominent = prominent;
        item.enabled = enabled;
        item.action = action;
        item.toolTip = toolTip;
        item.description = description;
        add(item, buttonGap);
    }

    void checkbox(bool checked)
    {
        CardItem item = makeItem(CardItem::Kind::checkbox, QRect(x_, top_ + (height_ - 16) / 2, 16, 16));
        item.checked = checked;
        item.color = checked ? Theme::accent() : Theme::textDim();
        item.icon = checked ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("circle");
        item.action = CardAction::toggleSelection;
        add(item, 8);
    }

    int x() const { return x_; }

private:
    void add(CardItem item, int gapAfter)
    {
        x_ += item.rect.width() + gapAfter;
        layout_.items.append(std::move(item));
    }

    CardLayout& layout_;
    int x_;
    int top_;
    int height_;
    int right_;
};

void sectionTitle(CardLayout& layout, const QString& title, int left, int& y, int right)
{
    Line(layout, left, y + 4, sectionTitleHeight - 4, right).text(title, Theme::font(10, QFont::Bold), Theme::textDim());
    y += sectionTitleHeight;
}

// A column as wide as its widest text (plus a gap), within [minimum, share of the card].
template <typename Rows, typename Text>
int columnWidth(const Rows& rows, Text text, const QFont& font, int minimum, int maximum)
{
    int widest = 0;
    for (const auto& row : rows)
        widest = std::max(widest, Theme::textWidth(font, text(row)));
    return std::clamp(widest + 24, minimum, std::max(minimum, maximum));
}

// One name column for the images and the volumes, so that their sizes line
// up; a name wider than half the card is elided (its tooltip shows it whole).
int resourceNameWidth(const ProjectCardData& card, int left, int right)
{
    return columnWidth(card.images + card.volumes, [](const CardResourceRow& r) { return r.name; },
                       Theme::monoFont(11), 200, (right - left) / 2);
}

void resourceRows(CardLayout& layout, const QList<CardResourceRow>& rows, int nameWidth, int left, int& y, int right)
{
    for (const CardResourceRow& row : rows) {
        Line line(layout, left, y, rowHeight, right);
        line.column(row.name, Theme::monoFont(11), Theme::text(), nameWidth);
        line.column(row.size, Theme::font(10), Theme::textDim(), 80);
        if (row.kind)
            line.badge(*row.kind);
        line.badge(row.ownership);
        y += rowHeight;
    }
}

// The card's last row, left to right.
struct RemovalButton {
    const char* title;
    const char* icon;
    bool prominent;
    CardAction action;
    const char* description;
};
constexpr RemovalButton removalButtons[] = {
    {QT_TRANSLATE_NOOP("ProjectCardLayout", "Delete entire project"), "trash.fill", true, CardAction::deleteProject,
     QT_TRANSLATE_NOOP("ProjectCardLayout",
                       "Asks, then removes this project's containers and the images and volumes only it uses")},
    {QT_TRANSLATE_NOOP("ProjectCardLayout", "Remove Containers…"), "shippingbox", false, CardAction::removeContainers,
     QT_TRANSLATE_NOOP("ProjectCardLayout", "Asks, then removes this project's containers; images and volumes stay")},
    {QT_TRANSLATE_NOOP("ProjectCardLayout", "Remove Images…"), "photo.stack", false, CardAction::removeImages,
     QT_TRANSLATE_NOOP("ProjectCardLayout", "Asks, then removes the images only this project built and uses")},
    {QT_TRANSLATE_NOOP("ProjectCardLayout", "Remove Volumes…"), "externaldrive", false, CardAction::removeVolumes,
     QT_TRANSLATE_NOOP("ProjectCardLayout",
                       "Asks, then removes the volumes only this project uses, with their data")},
};

}  // namespace

CardLayout layout(const ProjectCardData& card, const CardContext& context, int width)
{
    CardLayout out;
    out.outline = card.runningCount >= 1 ? Theme::success() : Theme::border();
    const int left = padding;
    const int right = std::max(left, width - padding);
    int y = padding;

    {
        Line header(out, left, y, headerHeight, right);
        if (context.selectionMode && !card.isStandalone())
            header.checkbox(context.selected);
        header.text(card.title, Theme::font(13, QFont::Bold), Theme::text(), (right - left) / 2, 10);
        header.text(card.runningText, Theme::font(11, QFont::Medium), card.runningColor, -1, 8);
        if (card.lastActivity)
            header.text(QCoreApplication::translate("ProjectCardLayout", "· active %1")
                            .arg(RelativeTime::describe(*card.lastActivity, context.now)),
                        Theme::font(10), Theme::textDim());
        y += headerHeight;
    }
    Line(out, left, y, figuresHeight, right).text(card.figures, Theme::font(10), Theme::textDim());
    y += figuresHeight + blockGap;

    if (!card.isStandalone()) {
        const bool folderHere = !card.path.isEmpty() && context.folderUnavailable.isEmpty();
        Line utility(out, left, y, utilityHeight, right);
        utility.button(platform::platformWords().showFolderButton, QStringLiteral("folder"), Theme::accent(), false,
                       folderHere, CardAction::fileManager, context.folderUnavailable);
        utility.button(QCoreApplication::translate("ProjectCardLayout", "Terminal"), QStringLiteral("terminal"),
                       Theme::accent(), false, folderHere, CardAction::terminal, context.folderUnavailable);
        if (context.hasReadme)
            utility.button(QCoreApplication::translate("ProjectCardLayout", "README"), QStringLiteral("doc.richtext"),
                           Theme::accent(), false, true, CardAction::readme);
        utility.button(QCoreApplication::translate("ProjectCardLayout", "Copy Assistant Context"),
                       QStringLiteral("doc.on.clipboard"), Theme::accent(), false, true,
                       CardAction::copyAssistantContext);
        y += utilityHeight + blockGap - 4;
    }

    sectionTitle(out, QCoreApplication::translate("ProjectCardLayout", "Containers"), left, y, right);
    const int nameWidth = columnWidth(card.containers, [](const CardContainerRow& c) { return c.name; },
                                      Theme::monoFont(11), 200, (right - left) * 2 / 5);
    const int imageWidth = columnWidth(card.containers, [](const CardContainerRow& c) { return c.image; },
                                       Theme::font(10), 140, (right - left) * 3 / 10);
    for (const CardContainerRow& c : card.containers) {
        Line row(out, left, y, rowHeight, right);
        row.dot(c.running ? Theme::success() : Theme::textDim());
        row.column(c.name, Theme::monoFont(11), Theme::text(), nameWidth);
        row.column(c.image, Theme::font(10), Theme::textDim(), imageWidth);
        row.text(ContainerStatus::at(c.status, c.startedAt, c.finishedAt, context.now), Theme::font(10),
                 Theme::textDim());
        y += rowHeight;
    }
    const int resourceWidth = resourceNameWidth(card, left, right);
    if (!card.images.isEmpty()) {
        sectionTitle(out, QCoreApplication::translate("ProjectCardLayout", "Images"), left, y, right);
        resourceRows(out, card.images, resourceWidth, left, y, right);
    }
    if (!card.volumes.isEmpty()) {
        sectionTitle(out, QCoreApplication::translate("ProjectCardLayout", "Volumes"), left, y, right);
        resourceRows(out, card.volumes, resourceWidth, left, y, right);
    }
    y += blockGap;

    Line actions(out, left, y, actionHeight, right);
    const bool idle = !context.busy;
    // Every button of this row removes something: each says so, in the danger colour.
    for (const RemovalButton& b : removalButtons)
        actions.button(QCoreApplication::translate("ProjectCardLayout", b.title), QString::fromLatin1(b.icon),
                       Theme::danger(), b.prominent, idle, b.action, {},
                       QCoreApplication::translate("ProjectCardLayout", b.description));
    y += actionHeight + padding;

    out.height = y;
    return out;
}

int height(const ProjectCardData& card)
{
    int y = padding + headerHeight + figuresHeight + blockGap;
    if (!card.isStandalone())
        y += utilityHeight + blockGap - 4;
    y += sectionTitleHeight + int(card.containers.size()) * rowHeight;
    if (!card.images.isEmpty())
        y += sectionTitleHeight + int(card.images.size()) * rowHeight;
    if (!card.volumes.isEmpty())
        y += sectionTitleHeight + int(card.volumes.size()) * rowHeight;
    return y + blockGap + actionHeight + padding;
}

}  // namespace ProjectCardGeometry

}  // namespace stowage

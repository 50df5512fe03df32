// The building blocks: colours from hex, the symbol icons, SGButton, and the
// solid surfaces that stand in for the glass material.
#include "ui/Glass.h"
#include "ui/Icons.h"
#include "ui/SGButton.h"
#include "ui/SegmentedControl.h"
#include "ui/Theme.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>
#include <QSignalSpy>

namespace stowage {
namespace {

TEST(ThemeTest, ColourFromHexIgnoresHashesAtEitherEndAndFallsBackToBlack)
{
    const struct {
        const char* text;
        QColor expected;
    } cases[] = {
        {"1C1C1E", QColor(0x1c, 0x1c, 0x1e)},  {"#1C1C1E", QColor(0x1c, 0x1c, 0x1e)},
        {"##0A84FF#", QColor(0x0a, 0x84, 0xff)}, {"ff453a", QColor(0xff, 0x45, 0x3a)},
        {"not hex", QColor(0, 0, 0)},          {"", QColor(0, 0, 0)},
    };
    for (const auto& c : cases) {
        const QColor colour = Theme::colorFromHex(QString::fromLatin1(c.text));
        EXPECT_EQ(colour, c.expected) << c.text;
        EXPECT_EQ(colour.alpha(), 255) << c.text;
    }
    EXPECT_EQ(Theme::accent(), QColor(0x0a, 0x84, 0xff));
    EXPECT_EQ(Theme::warning(), QColor(0xff, 0x9f, 0x0a));
}

int paintedPixels(const QIcon& icon, int side = 24)
{
    const QImage image = icon.pixmap(side, side).toImage();
    int painted = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            painted += qAlpha(image.pixel(x, y)) > 0;
    return painted;
}

TEST(IconsTest, EverySymbolTheScreensUseIsDrawnInItsColour)
{
    const char* symbols[] = {"exclamationmark.triangle", "exclamationmark.triangle.fill", "exclamationmark.circle.fill",
                             "shippingbox", "shippingbox.fill", "arrow.clockwise", "stop.circle", "stop.circle.fill",
                             "bolt.horizontal.circle", "hourglass", "photo.stack", "externaldrive",
                             "externaldrive.badge.minus", "sparkles", "trash", "trash.fill", "doc.on.doc",
                             "doc.on.clipboard", "doc.richtext", "folder", "magnifyingglass", "terminal",
                             "checkmark.circle", "checkmark.circle.fill", "xmark.circle.fill", "circle", "circle.fill",
                             "arrow.up", "arrow.down"};
    for (const char* name : symbols) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(Icons::isDrawn(name));
        EXPECT_FALSE(Icons::freedesktopName(name).isEmpty());
        const QIcon icon = Icons::symbol(name, Theme::danger());
        EXPECT_GT(paintedPixels(icon), 20);
        // Opaque pixels carry the requested colour.
        const QImage image = icon.pixmap(48, 48).toImage();
        bool sawColour = false;
        for (int y = 0; y < image.height() && !sawColour; ++y)
            for (int x = 0; x < image.width() && !sawColour; ++x)
                sawColour = qAlpha(image.pixel(x, y)) == 255 && QColor(image.pixel(x, y)) == Theme::danger();
        EXPECT_TRUE(sawColour);
    }
}

TEST(IconsTest, UnknownSymbolStillGetsAnIcon)
{
    EXPECT_FALSE(Icons::isDrawn("no.such.symbol"));
    EXPECT_GT(paintedPixels(Icons::symbol("no.such.symbol", Theme::text())), 20);
}

TEST(SGButtonTest, TitleAloneWithoutSymbolAndProminenceSwitch)
{
    SGButton plain("Copy", {}, Theme::accent(), false);
    EXPECT_TRUE(plain.icon().isNull());
    EXPECT_FALSE(plain.isProminent());
    SGButton withIcon("Copy", "doc.on.doc", Theme::accent(), true);
    EXPECT_FALSE(withIcon.icon().isNull());
    EXPECT_TRUE(withIcon.isProminent());
    // The icon takes room beside the title; the title never has to be cut.
    EXPECT_GT(withIcon.sizeHint().width(), plain.sizeHint().width());
    EXPECT_GE(plain.sizeHint().width(), Theme::textWidth(plain.font(), "Copy"));

    QSignalSpy clicks(&plain, &QPushButton::clicked);
    plain.click();
    EXPECT_EQ(clicks.size(), 1);
}

TEST(SurfaceTest, CardsAndBarsHaveSolidThemeBackgrounds)
{
    GlassCard card;
    GlassBar bar;
    EXPECT_EQ(card.fill(), Theme::cardBg());
    EXPECT_EQ(bar.fill(), Theme::surface());
    card.resize(80, 40);
    bar.resize(80, 20);
    const QImage cardImage = card.grab().toImage();
    const QImage barImage = bar.grab().toImage();
    EXPECT_EQ(QColor(cardImage.pixel(40, 20)), Theme::cardBg());
    EXPECT_EQ(QColor(barImage.pixel(40, 10)), Theme::surface());
}

TEST(SegmentedControlTest, SelectionChangesOnlyWithinRangeAndReportsOnce)
{
    SegmentedControl control({"All", "Info+", "Warnings+", "Errors"});
    QSignalSpy changes(&control, &SegmentedControl::currentIndexChanged);
    control.setCurrentIndex(3);
    control.setCurrentIndex(3);
    control.setCurrentIndex(7);
    control.setCurrentIndex(-1);
    EXPECT_EQ(control.currentIndex(), 3);
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes.first().first().toInt(), 3);
}

}  // namespace
}  // namespace stowage

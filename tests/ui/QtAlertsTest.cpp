// The message-box alerts: a confirmation is true only for OK; a notice returns at once,
// window-modal on the active window or else application-modal; Docker's texts stay plain.

#include "support/TestSupport.h"
#include "ui/listing/ListWrap.h"
#include "ui/operations/QtAlerts.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>
#include <QTest>
#include <QTimer>

#include <functional>

namespace stowage {
namespace {

// Waits (inside the confirmation's own event loop) for the modal box, describes
// it in `seen` (texts, icon, modality, buttons) and lets `answer` close it.
void whenModalBoxOpens(QString& seen, std::function<void(QMessageBox&)> answer)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, &seen, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll->deleteLater();
        QStringList buttons;
        for (QAbstractButton* button : box->buttons())
            if (box->buttonRole(button) != QMessageBox::ActionRole)  // "Show Details…"
                buttons << button->text();
        // The list of what goes shows in the scrolling details area, open from the start.
        const auto* details = box->findChild<QTextEdit*>();
        seen = QStringLiteral("%1|%2|%3|%4|").arg(box->text(), box->informativeText()).arg(box->icon()).arg(box->windowModality())
            + buttons.join(',') + u'|' + (details && details->isVisible() ? details->toPlainText() : QString());
        answer(*box);
    });
    poll->start(5);
}

TEST(QtAlerts, ConfirmationIsTrueOnlyForOk)
{
    const auto click = [](const char* name) {
        return [name](QMessageBox& box) {
            for (QAbstractButton* button : box.buttons())
                if (button->text() == name)
                    button->click();
        };
    };
    const auto key = [](Qt::Key k) { return [k](QMessageBox& box) { QTest::keyClick(&box, k); }; };
    // A destructive box names its action and defaults to Cancel: Return and Esc never destroy.
    const struct { const char* scenario; bool destructive; std::function<void(QMessageBox&)> answer; bool expected; } cases[] = {
        {"the action", true, click("Remove 2 Volumes"), true},
        {"Cancel", false, click("Cancel"), false},
        {"Escape", true, key(Qt::Key_Escape), false},
        {"Return on a destructive box", true, key(Qt::Key_Return), false},
        {"Return on a plain box", false, key(Qt::Key_Return), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scenario);
        QtAlerts alerts;
        QString seen;
        whenModalBoxOpens(seen, c.answer);
        EXPECT_EQ(alerts.confirm({"Remove 2 volumes?", "Data goes.", "  • a\n  • b", "Remove 2 Volumes", c.destructive}),
                  c.expected);
        EXPECT_EQ(seen, QStringLiteral("Remove 2 volumes?|Data goes.|%1|%2|Remove 2 Volumes,Cancel|  • a\n  • b")
                            .arg(c.destructive ? QMessageBox::Warning : QMessageBox::Information)
                            .arg(Qt::ApplicationModal));
    }

    // A carriage return, an escape or a bidirectional override in a name cannot forge or reorder a line.
    QtAlerts alerts;
    QString seen;
    whenModalBoxOpens(seen, key(Qt::Key_Escape));
    alerts.confirm({"a\u202Eb", "x\ry", "v\x1b[2K", "Go", true});
    EXPECT_EQ(seen.section('|', 0, 1) + '|' + seen.section('|', 5), "a\uFFFDb|x\uFFFDy|v\uFFFD[2K");
}

TEST(QtAlerts, LongListLinesWrapUnderTheirTextAndNeverInsideASize)
{
    const QFont font;
    const QFontMetrics metrics(font);
    const QString item = "  • " + QString("very-long-volume-name ").repeated(4).trimmed() + " (0 B)";
    const int width = metrics.horizontalAdvance(item) * 2 / 3;
    const QStringList lines =
        wrapListLines("Remove 2 volumes?\n\n" + item + "\n  • " + QString(200, 'x'), metrics, width).split('\n');
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines.mid(0, 2), (QStringList{"Remove 2 volumes?", ""}));
    for (const QString& line : lines.mid(2)) {
        EXPECT_LE(metrics.horizontalAdvance(line), width) << line.toStdString();
        EXPECT_NE(line.trimmed(), "•");
        EXPECT_FALSE(line.trimmed().startsWith("B)")) << line.toStdString();
    }
    // The long item's next line is continued under its text.
    EXPECT_TRUE(lines[2].startsWith("  • very-long-volume-name") && lines[3].startsWith("    ") && lines[3][4] != ' ');
    EXPECT_TRUE(lines.join('\n').contains("(0 B)"));
    // A short message is left as written.
    EXPECT_EQ(wrapListLines("  • a (1 B)", metrics, width), "  • a (1 B)");
}

TEST(QtAlerts, NoticeReturnsAtOnceWindowModalOnTheActiveWindowOrApplicationModalAndShowsDockerTextsPlain)
{
    QtAlerts alerts;
    // Without any window: application-modal; texts from Docker stay plain and can be selected.
    alerts.info("<b>title</b>", "<none>:<none>\n<i>volume</i>");
    QPointer<QMessageBox> lone = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(lone, nullptr);
    EXPECT_EQ(lone->parentWidget(), nullptr);
    EXPECT_EQ(lone->windowModality(), Qt::ApplicationModal);
    auto* informative = lone->findChild<QLabel*>("qt_msgbox_informativelabel");
    ASSERT_NE(informative, nullptr);
    EXPECT_EQ(lone->textFormat(), Qt::PlainText);
    EXPECT_EQ(informative->textFormat(), Qt::PlainText);
    EXPECT_TRUE(informative->textInteractionFlags() & lone->textInteractionFlags() & Qt::TextSelectableByMouse);
    QTimer::singleShot(0, lone, [lone] { lone->buttons().first()->click(); });
    EXPECT_TRUE(test::waitUntil([&] { return lone.isNull(); }));  // closed and deleted

    QWidget window;
    window.resize(400, 300);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    alerts.info("Not found", "Project path not found on this host:\n/src/shop");
    // A second notice stacks on the window, not on the first one; a warning shows its own icon.
    alerts.warning("Completed with errors", "✗ image a: conflict");
    const auto boxes = window.findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 2);
    for (QMessageBox* box : boxes) {
        EXPECT_EQ(box->parentWidget(), &window);
        EXPECT_EQ(box->windowModality(), Qt::WindowModal);
        EXPECT_TRUE(box->isVisible());
        EXPECT_EQ(box->buttons().size(), 1);
    }
    EXPECT_EQ(boxes.first()->text() + '|' + boxes.first()->informativeText(),
              "Not found|Project path not found on this host:\n/src/shop");
    EXPECT_EQ(std::pair(boxes[0]->icon(), boxes[1]->icon()), std::pair(QMessageBox::Information, QMessageBox::Warning));
    qDeleteAll(boxes);
}

}  // namespace
}  // namespace stowage

// The message-box alerts: a confirmation answers true only for OK; a notice
// returns at once and sits window-modal on the active window, or
// application-modal when no window is shown. Texts from Docker stay plain and
// selectable.

#include "ui/ListWrap.h"
#include "ui/QtAlerts.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace stowage {
namespace {

// What a confirmation looked like while it was open.
struct SeenBox {
    QString text, informativeText;
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::WindowModality modality = Qt::NonModal;
};

// Waits (inside the confirmation's own event loop) for the modal box, records it and lets `answer` close it.
void whenModalBoxOpens(SeenBox& seen, std::function<void(QMessageBox&)> answer)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, &seen, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        seen.text = box->text();
        seen.informativeText = box->informativeText();
        seen.icon = box->icon();
        seen.modality = box->windowModality();
        for (QAbstractButton* button : box->buttons())
            seen.buttons << button->text();
        answer(*box);
    });
    poll->start(5);
}

QAbstractButton* buttonNamed(QMessageBox& box, const QString& text)
{
    for (QAbstractButton* button : box.buttons())
        if (button->text() == text)
            return button;
    return nullptr;
}

TEST(QtAlerts, ConfirmationIsTrueOnlyForOk)
{
    struct Case {
        const char* scenario;
        bool destructive;
        std::function<void(QMessageBox&)> answer;
        bool expected;
        QMessageBox::Icon icon;
    };
    const QList<Case> cases = {
        {"OK", true, [](QMessageBox& b) { buttonNamed(b, "OK")->click(); }, true, QMessageBox::Warning},
        {"Cancel", false, [](QMessageBox& b) { buttonNamed(b, "Cancel")->click(); }, false, QMessageBox::Information},
        {"Escape", true, [](QMessageBox& b) { QTest::keyClick(&b, Qt::Key_Escape); }, false, QMessageBox::Warning},
        {"Return takes the default", false, [](QMessageBox& b) { QTest::keyClick(&b, Qt::Key_Return); }, true,
         QMessageBox::Information},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scenario);
        QtAlerts alerts;
        SeenBox seen;
        whenModalBoxOpens(seen, c.answer);
        EXPECT_EQ(alerts.confirm("Remove 2 volumes?", "  • a\n  • b", c.destructive), c.expected);
        EXPECT_EQ(seen.text + '|' + seen.informativeText, "Remove 2 volumes?|  • a\n  • b");
        EXPECT_EQ(seen.icon, c.icon);
        EXPECT_EQ(seen.modality, Qt::ApplicationModal);
        EXPECT_EQ(seen.buttons, (QStringList{"OK", "Cancel"}));
    }
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
    EXPECT_TRUE(lines[2].startsWith("  • very-long-volume-name"));
    EXPECT_TRUE(lines[3].startsWith("    ") && lines[3][4] != ' ');  // continued under the text
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
    alerts.info("Info", "No unused images found.");  // a second notice stacks on the window, not on the first one
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
    qDeleteAll(boxes);
}

}  // namespace
}  // namespace stowage

// Message boxes as the game shows them: modal, one OK button, one line per
// carriage return, readable by screen readers.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "platform/qt/qt_message_boxes.h"

namespace poroten::testing {
namespace {

struct SeenBox {
    bool found = false;
    QString title;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    int buttons = 0;
    bool readable = false;  // some accessible text element carries the text
};

bool accessibleTextContains(QAccessibleInterface* node, const QString& text) {
    if (!node) {
        return false;
    }
    if (node->role() == QAccessible::StaticText && node->text(QAccessible::Name) == text) {
        return true;
    }
    for (int i = 0; i < node->childCount(); ++i) {
        if (accessibleTextContains(node->child(i), text)) {
            return true;
        }
    }
    return false;
}

// Shows a box and reads it from inside its own modal loop, then closes it.
SeenBox showAndRead(std::string_view title, std::string_view text) {
    SeenBox seen;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&seen, &poll] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            return;
        }
        poll.stop();
        seen.found = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.format = box->textFormat();
        seen.buttons = static_cast<int>(box->buttons().size());
        seen.readable =
            accessibleTextContains(QAccessible::queryAccessibleInterface(box), box->text());
        box->accept();
    });
    poll.start();
    // What follows the box runs once it is closed, before show returns.
    bool closedAfterSeen = false;
    platform::qt::QtMessageBoxes().show(title, text,
                                        [&] { closedAfterSeen = seen.found && !poll.isActive(); });
    EXPECT_TRUE(closedAfterSeen);
    return seen;
}

// A player's name is shown as typed, never read as markup, and screen readers
// read the box.
TEST(MessageBoxes, NamesStayPlainTextAndScreenReadersReadTheBox) {
    const SeenBox seen = showAndRead("", "a\r<img src=x>さん　3点");
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.format, Qt::PlainText);
    EXPECT_EQ(seen.buttons, 1);
    EXPECT_TRUE(seen.readable);
}

}  // namespace
}  // namespace poroten::testing

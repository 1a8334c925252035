// What windows report back to the game: typed and composed characters, menu
// commands, close requests, and windows torn down from their own events.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cctype>
#include <memory>
#include <utility>
#include <vector>

#include "game/layout.h"
#include "highscore/name_window.h"
#include "menu/menu_bar.h"
#include "platform/qt/qt_window.h"
#include "qt_test_support.h"

namespace poroten::testing {
namespace {

using Key = std::pair<int, char32_t>;
using platform::kNoControl;

void commit(QWidget* target, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QCoreApplication::sendEvent(target, &event);
}

class WindowEvents : public ::testing::Test {
protected:
    QWidget* open(const platform::WindowDesc& desc) {
        window = factory.createWindow(desc, events);
        window->show();
        QWidget* shown = visibleWindow(QString::fromStdString(desc.name));
        EXPECT_TRUE(activate(shown));
        return shown;
    }

    void TearDown() override {
        window.reset();
        runDeferredDeletes();
    }

    platform::qt::QtWindowFactory factory;
    RecordingEvents events;
    std::unique_ptr<platform::Window> window;
};

TEST_F(WindowEvents, MainWindowTakesKeysDirectlyWithoutAnInputMethod) {
    QWidget* form = open(game::form1Layout());
    ASSERT_NE(form, nullptr);
    // An input method consults this before it may take keys for a composition.
    EXPECT_FALSE(form->inputMethodQuery(Qt::ImEnabled).toBool());
    EXPECT_EQ(QApplication::focusWidget(), form);

    QTest::keyClick(form, Qt::Key_Return);
    QTest::keyClick(form, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(form, Qt::Key_7, Qt::KeypadModifier);
    QTest::keyClick(form, Qt::Key_5);
    QTest::keyClick(form, Qt::Key_Q);
    QTest::keyClick(form, Qt::Key_Escape);              // types nothing
    QTest::keyClick(form, Qt::Key_Q, Qt::AltModifier);  // a shortcut, not a character
    // Full-width digits, as a keyboard layout or a key mapping types them.
    QTest::sendKeyEvent(QTest::Click, form, Qt::Key_unknown, QStringLiteral("１"), Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Click, form, Qt::Key_unknown, QStringLiteral("２"), Qt::NoModifier);
    QInputMethodEvent composing(QStringLiteral("３"), {});
    QCoreApplication::sendEvent(form, &composing);  // a composition types nothing

    EXPECT_EQ(events.keys, (std::vector<Key>{{kNoControl, 13},
                                             {kNoControl, 13},
                                             {kNoControl, U'7'},
                                             {kNoControl, U'5'},
                                             {kNoControl, U'q'},
                                             {kNoControl, U'\uFF11'},
                                             {kNoControl, U'\uFF12'}}));
}

// The key after the "&" in a menu entry's text, which chooses the entry.
Qt::Key accessKey(const platform::MenuDesc& entry) {
    return static_cast<Qt::Key>(
        std::toupper(static_cast<unsigned char>(entry.text.at(entry.text.find('&') + 1))));
}

TEST_F(WindowEvents, MenusFollowTheDescriptionAndAccessKeysWork) {
    QWidget* form = open(game::form1Layout());
    ASSERT_NE(form, nullptr);
    auto* bar = form->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);

    const std::vector<platform::MenuDesc> described = menu::menuBar();
    const QList<QAction*> top = bar->actions();
    ASSERT_EQ(top.size(), std::ssize(described));
    std::vector<int> triggered;
    std::size_t dropDown = described.size();  // the first entry with items, and the first without
    std::size_t command = described.size();
    for (std::size_t i = 0; i < described.size(); ++i) {
        EXPECT_EQ(top[i]->text(), QString::fromStdString(described[i].text));
        if (described[i].items.empty()) {
            EXPECT_EQ(top[i]->menu(), nullptr) << "a command right on the menu bar";
            command = std::min(command, i);
            continue;
        }
        dropDown = std::min(dropDown, i);
        ASSERT_NE(top[i]->menu(), nullptr);
        const QList<QAction*> items = top[i]->menu()->actions();
        ASSERT_EQ(items.size(), std::ssize(described[i].items));
        for (std::size_t j = 0; j < described[i].items.size(); ++j) {
            EXPECT_EQ(items[j]->text(), QString::fromStdString(described[i].items[j].text));
            items[j]->trigger();
            triggered.push_back(described[i].items[j].id);
        }
    }
    EXPECT_EQ(events.commands, triggered);
    ASSERT_LT(dropDown, described.size());
    ASSERT_LT(command, described.size());

    events.commands.clear();
    QTest::keyClick(form, accessKey(described[command]), Qt::AltModifier);
    EXPECT_EQ(events.commands, std::vector<int>{described[command].id});

    QMenu* file = top[dropDown]->menu();
    QTest::keyClick(form, accessKey(described[dropDown]), Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([file] { return file->isVisible(); }, 2000));
    QTest::keyClick(file, accessKey(described[dropDown].items[0]));
    EXPECT_TRUE(QTest::qWaitFor([file] { return !file->isVisible(); }, 2000));
    EXPECT_EQ(events.commands,
              (std::vector<int>{described[command].id, described[dropDown].items[0].id}));
    EXPECT_TRUE(events.keys.empty()) << "access keys are not typed characters";
}

TEST_F(WindowEvents, LabelsTellScreenReadersTheirCurrentText) {
    QWidget* form = open(game::form1Layout());
    ASSERT_NE(form, nullptr);
    window->label(game::Label5).setText("12");
    auto* score = form->findChild<QLabel*>(QStringLiteral("Label5"));
    ASSERT_NE(score, nullptr);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(score);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("12"));
    EXPECT_EQ(window->label(game::Label5).text(), "12");

    // Text that looks like markup is shown as it is.
    window->label(game::Label6).setText("<b>x</b>");
    const auto* message = form->findChild<QLabel*>(QStringLiteral("Label6"));
    EXPECT_EQ(message->textFormat(), Qt::PlainText);
}

TEST_F(WindowEvents, DialogOpensWithTheNameBoxFocusedAndWithoutTaskBarButton) {
    QWidget* dialog = open(highscore::dialogLayout());
    ASSERT_NE(dialog, nullptr);
    auto* client = dialog->findChild<QWidget*>(QStringLiteral("client"));
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("Text1"));
    auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("OKButton"));
    auto* cancel = dialog->findChild<QPushButton*>(QStringLiteral("CancelButton"));
    auto* prompt = dialog->findChild<QLabel*>(QStringLiteral("Label1"));
    ASSERT_TRUE(client && name && ok && cancel && prompt);

    EXPECT_EQ(dialog->size(), QSize(177, 97));  // no menu: the client area is the window
    EXPECT_EQ(dialog->pos(), QPoint(184, 250));
    EXPECT_EQ(name->geometry(), QRect(8, 32, 161, 25));
    EXPECT_EQ(ok->geometry(), QRect(8, 64, 81, 25));
    EXPECT_EQ(cancel->geometry(), QRect(88, 64, 81, 25));
    EXPECT_EQ(prompt->geometry(), QRect(8, 8, 161, 17));
    EXPECT_EQ(dialog->windowFlags() & Qt::WindowType_Mask, Qt::Tool);

    EXPECT_EQ(QApplication::focusWidget(), name);
    QTest::keyClick(name, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), ok);
    QTest::keyClick(ok, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), cancel);

    // No default button: Enter on a button and Esc anywhere do nothing by themselves.
    EXPECT_FALSE(ok->isDefault() || ok->autoDefault() || cancel->isDefault() ||
                 cancel->autoDefault());
    QTest::keyClick(cancel, Qt::Key_Escape);
    QTest::keyClick(name, Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(events.commands.empty());
    EXPECT_EQ(events.closeRequests, 0);
}

TEST_F(WindowEvents, TextBoxReportsCharactersBeforeTakingThemIn) {
    QWidget* dialog = open(highscore::dialogLayout());
    ASSERT_NE(dialog, nullptr);
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("Text1"));
    ASSERT_NE(name, nullptr);
    events.takeKey = [](int, char32_t c) { return c == U'!' || c == U'！'; };

    QTest::keyClicks(name, QStringLiteral("a!b"));
    commit(name, QStringLiteral("ポ！ロ"));
    QTest::keyClick(name, Qt::Key_Return);

    const int text1 = highscore::Dialog::Text1;
    EXPECT_EQ(events.keys, (std::vector<Key>{{text1, U'a'},
                                             {text1, U'!'},
                                             {text1, U'b'},
                                             {text1, U'ポ'},
                                             {text1, U'！'},
                                             {text1, U'ロ'},
                                             {text1, 13}}));
    EXPECT_EQ(name->text(), QStringLiteral("abポロ"));
    EXPECT_EQ(window->textBox(text1).text(), "abポロ");
}

TEST_F(WindowEvents, WindowMayBeDestroyedFromItsOwnEvents) {
    QWidget* dialog = open(highscore::dialogLayout());
    ASSERT_NE(dialog, nullptr);
    QPointer<QWidget> watched(dialog);
    events.afterCommand = [this](int) { window.reset(); };
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("OKButton")), Qt::LeftButton);
    EXPECT_EQ(window, nullptr);
    EXPECT_FALSE(watched && watched->isVisible());
    runDeferredDeletes();
    EXPECT_TRUE(watched.isNull());

    // The same from Enter in the text box.
    dialog = open(highscore::dialogLayout());
    ASSERT_NE(dialog, nullptr);
    watched = dialog;
    events.takeKey = [this](int, char32_t c) {
        window.reset();
        return c == 13;
    };
    QTest::keyClick(dialog->findChild<QLineEdit*>(QStringLiteral("Text1")), Qt::Key_Return);
    EXPECT_EQ(window, nullptr);
    runDeferredDeletes();
    EXPECT_TRUE(watched.isNull());
}

}  // namespace
}  // namespace poroten::testing

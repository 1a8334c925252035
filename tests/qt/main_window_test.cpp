// Form1 as the player sees it, on the real Qt adapter: sizes, colours and
// fonts from its description, and a real key reaching the game.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <memory>

#include "game/game_rules.h"
#include "game/game_window.h"
#include "game/layout.h"
#include "highscore/high_score_store.h"
#include "menu/menu_commands.h"
#include "platform/qt/qt_platform.h"
#include "platform/window_rules.h"
#include "qt_test_support.h"

namespace poroten::testing {
namespace {

QRect pixelsOf(const platform::TwipRect& r) {
    const platform::PixelRect p = platform::toPixels(r);
    return QRect(p.left, p.top, p.width, p.height);
}

QColor colourOf(platform::Colour c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<game::Form1>(
            platform::Services{platform.windows(), platform.timers(), platform.messageBoxes(),
                               platform.application(), platform.random(), platform.codec(), files},
            store);
        window = visibleWindow(QStringLiteral("Form1"));
        ASSERT_NE(window, nullptr);
        client = window->findChild<QWidget*>(QStringLiteral("client"));
        ASSERT_NE(client, nullptr);
    }

    void TearDown() override {
        form.reset();
        runDeferredDeletes();
    }

    QLabel* label(const platform::ControlDesc& desc) {
        return window->findChild<QLabel*>(QString::fromStdString(desc.name));
    }

    platform::qt::QtPlatform platform;
    TemporaryFiles files;
    highscore::Module1 store{files, platform.codec(), platform.messageBoxes()};
    std::unique_ptr<game::Form1> form;
    QWidget* window = nullptr;
    QWidget* client = nullptr;
    const platform::WindowDesc desc = game::form1Layout();
};

TEST_F(MainWindow, ClientAreaAndLabelsSitAtTheirTwipPlaces) {
    EXPECT_EQ(window->windowTitle(), QString::fromStdString(desc.caption));
    EXPECT_EQ(window->accessibleName(), QString::fromStdString(desc.caption));

    // The menu bar sits above the client area.
    const auto* bar = window->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    const QSize clientSize(platform::twipsToPixels(desc.clientWidth),
                           platform::twipsToPixels(desc.clientHeight));
    EXPECT_EQ(client->size(), clientSize);
    EXPECT_EQ(client->geometry().topLeft(), QPoint(0, bar->geometry().bottom() + 1));
    EXPECT_EQ(window->size(), QSize(clientSize.width(), bar->height() + clientSize.height()));

    // Fixed size, close box only.
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Window);
    EXPECT_TRUE(window->windowIcon().availableSizes().contains(QSize(32, 32)));

    for (const platform::ControlDesc& control : desc.controls) {
        const QLabel* shown = label(control);
        ASSERT_NE(shown, nullptr) << control.name;
        EXPECT_EQ(shown->parentWidget(), client) << control.name;
        EXPECT_EQ(shown->geometry(), pixelsOf(control.bounds)) << control.name;
    }
}

TEST_F(MainWindow, LabelsAndClientAreaPaintTheirColours) {
    const QImage before = client->grab().toImage();
    EXPECT_EQ(before.pixelColor(2, 2), colourOf(game::colour::Teal));
    for (const platform::ControlDesc& control : desc.controls) {
        const QRect r = pixelsOf(control.bounds);
        EXPECT_EQ(before.pixelColor(r.left() + 2, r.top() + 2), colourOf(*control.backColour))
            << control.name;
    }

    // The game's blue is 0x00FF0000 (BGR): on screen it must be blue, not red.
    form->window().label(4).setBackColour(game::colour::Blue);
    const QRect cell = pixelsOf(desc.controls[4].bounds);
    EXPECT_EQ(client->grab().toImage().pixelColor(cell.left() + 2, cell.top() + 2),
              QColor(0, 0, 255));
}

TEST_F(MainWindow, LabelFontsAreJapaneseGothicsAtTheirPointSizes) {
    for (const platform::ControlDesc& control : desc.controls) {
        const QFontInfo info(label(control)->font());
        EXPECT_TRUE(QFontDatabase::writingSystems(info.family()).contains(QFontDatabase::Japanese))
            << control.name << " is drawn in " << info.family().toStdString();
        EXPECT_NEAR(info.pointSizeF(), control.font.points, 0.5) << control.name;
    }
}

TEST_F(MainWindow, ReturnKeyStartsAGameAndScreenReadersSeeTheNewText) {
    ASSERT_TRUE(activate(window));
    QTest::keyClick(window, Qt::Key_Return);

    QLabel* message = window->findChild<QLabel*>(QStringLiteral("Label6"));
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->text(), QString::fromUtf8(game::text::Memorize));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(message);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), QString::fromUtf8(game::text::Memorize));

    for (int i = 0; i <= game::kFirstLastCell; ++i) {
        const QLabel* cell = window->findChild<QLabel*>(QStringLiteral("Label1(%1)").arg(i));
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->text().size(), 1);
        EXPECT_TRUE(cell->text().at(0).isDigit()) << cell->text().toStdString();
    }
}

TEST_F(MainWindow, ScreenReadersSeeAWindowNamedByItsCaption) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(window);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::Window);
    EXPECT_EQ(accessible->text(QAccessible::Name), QString::fromStdString(desc.caption));
}

// Triggers the menu item with this text and reads the box it opens from inside
// the box's own modal loop: {title, text}.
std::pair<QString, QString> boxOpenedBy(QWidget* window, const platform::MenuDesc& item) {
    std::pair<QString, QString> seen;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&seen, &poll] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            poll.stop();
            seen = {box->windowTitle(), box->text()};
            box->accept();
        }
    });
    poll.start();
    for (QAction* action : window->findChildren<QAction*>()) {
        if (action->text() == QString::fromStdString(item.text)) {
            action->trigger();
            break;
        }
    }
    return seen;
}

TEST_F(MainWindow, TheMenuBoxesShowTheirExactTexts) {
    store.HighScore = 12;
    store.HighName = "A";
    const auto lines = [](const std::string& text) {
        return QString::fromStdString(text).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    };
    const auto best = boxOpenedBy(window, desc.menu.at(0).items.at(1));
    EXPECT_EQ(best.first, QString::fromUtf8(menu::kHighScoreTitle));
    EXPECT_EQ(best.second, lines(menu::highScoreText("A", 12)));

    const auto about = boxOpenedBy(window, desc.menu.at(1));
    EXPECT_EQ(about.first, QString::fromUtf8(menu::kAboutTitle));
    EXPECT_EQ(about.second, lines(menu::aboutText()));
}

}  // namespace
}  // namespace poroten::testing

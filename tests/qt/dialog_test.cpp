// The name window of a new record on the real adapter: a name typed and
// composed in its box, Enter, and the record on disk in code page 932.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>
#include <fstream>
#include <iterator>
#include <string>

#include "highscore/high_score_store.h"
#include "highscore/name_window.h"
#include "highscore/score_file.h"
#include "platform/qt/qt_platform.h"
#include "qt_test_support.h"

namespace poroten::testing {
namespace {

TEST(NameDialog, EnterInTheNameBoxSavesTheNameAndClosesTheWindow) {
    platform::qt::QtPlatform platform;
    TemporaryFiles files;
    highscore::Module1 store(files, platform.codec(), platform.messageBoxes());
    store.LoadHighScore();
    store.HighScore = 7;
    int done = 0;
    highscore::Dialog dialog(platform.windows(), store, [&done] { ++done; });
    dialog.show();

    QWidget* window = visibleWindow(QStringLiteral("Dialog"));
    ASSERT_TRUE(activate(window));
    auto* name = window->findChild<QLineEdit*>(QStringLiteral("Text1"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(QApplication::focusWidget(), name);
    EXPECT_TRUE(name->inputMethodQuery(Qt::ImEnabled).toBool()) << "names are composed";
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(window);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::Dialog);
    EXPECT_EQ(accessible->text(QAccessible::Name),
              QString::fromStdString(highscore::dialogLayout().caption));

    QTest::keyClicks(name, QStringLiteral("abc"));
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("髙橋"));
    QCoreApplication::sendEvent(name, &composed);
    QTest::keyClick(name, Qt::Key_Return);
    runDeferredDeletes();

    EXPECT_EQ(done, 1);
    EXPECT_FALSE(dialog.isOpen());
    EXPECT_EQ(visibleWindow(QStringLiteral("Dialog")), nullptr);
    EXPECT_EQ(store.HighName, "abc髙橋");

    std::ifstream in(store.scoreFile(), std::ios::binary);
    const std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(saved, highscore::scoreRecBytes(
                         {7, platform.codec().toCodePage932("abc髙橋"), highscore::kValidMarker}));
}

TEST(NameDialog, TheNameBoxHasNoLengthLimit) {
    // QLineEdit would stop at 32767 characters; the score file itself cuts a
    // name only where its encoded form no longer fits.
    platform::qt::QtPlatform platform;
    TemporaryFiles files;
    highscore::Module1 store(files, platform.codec(), platform.messageBoxes());
    highscore::Dialog dialog(platform.windows(), store, [] {});
    dialog.show();
    auto* name =
        visibleWindow(QStringLiteral("Dialog"))->findChild<QLineEdit*>(QStringLiteral("Text1"));
    ASSERT_NE(name, nullptr);
    name->setText(QString(40000, QLatin1Char('x')));
    name->insert(QStringLiteral("yz"));
    EXPECT_EQ(name->text().size(), 40002);
    dialog.OKButton_Click();
    runDeferredDeletes();

    // All of it saved: 40002 one-byte characters fit the 16-bit length field.
    const std::string typed = std::string(40000, 'x') + "yz";
    EXPECT_EQ(store.HighName, typed);
    std::ifstream in(store.scoreFile(), std::ios::binary);
    const std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(saved, highscore::scoreRecBytes({0, typed, highscore::kValidMarker}));
}

}  // namespace
}  // namespace poroten::testing

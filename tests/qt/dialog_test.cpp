// The name window of a new record on the real adapter: a name typed and
// composed in its box, Enter, and the record on disk in code page 932.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
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
    EXPECT_EQ(saved, highscore::scoreRecBytes({.Score = 7,
                                               .Name = platform.codec().toCodePage932("abc髙橋"),
                                               .Marker = highscore::kValidMarker}));
}

TEST(NameDialog, TheNameBoxTakesAsMuchAsTheLayoutAllowsAndAllOfItIsSaved) {
    // QLineEdit would stop at 32767 characters where the layout sets no limit;
    // the score file itself cuts a name only where its encoded form no longer fits.
    const platform::WindowDesc layout = highscore::dialogLayout();
    const int limit = std::find_if(layout.controls.begin(), layout.controls.end(), [](auto& c) {
                          return c.id == highscore::Dialog::Text1;
                      })->maxLength;
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
    const std::string typed =
        (std::string(40000, 'x') + "yz").substr(0, limit > 0 ? limit : std::string::npos);
    EXPECT_EQ(name->text().toStdString(), typed);
    dialog.OKButton_Click();
    runDeferredDeletes();

    // Without a limit all of it: 40002 one-byte characters fit the 16-bit length field.
    EXPECT_EQ(store.HighName, typed);
    std::ifstream in(store.scoreFile(), std::ios::binary);
    const std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(saved, highscore::scoreRecBytes(
                         {.Score = 0, .Name = typed, .Marker = highscore::kValidMarker}));
}

}  // namespace
}  // namespace poroten::testing

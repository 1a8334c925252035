#include "platform/qt/qt_message_boxes.h"

#include <QMessageBox>
#include <QString>

#include <QStringList>

namespace poroten::platform::qt {

void QtMessageBoxes::present(const BoxContent& content, std::function<void()> closed) {
    QStringList lines;
    for (const std::string& line : content.lines) {
        lines << QString::fromStdString(line);
    }

    // No parent: like the game's message boxes have always been, it opens in
    // the middle of the screen and holds the whole program until closed.
    QMessageBox box;
    box.setWindowTitle(QString::fromStdString(content.title));
    // Plain text: a player's name is shown here and must not be read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(lines.join(QLatin1Char('\n')));
    box.setIcon(QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
    if (closed) {
        closed();
    }
}

}  // namespace poroten::platform::qt

#include "platform/qt/qt_message_boxes.h"

#include <QMessageBox>
#include <QString>

#include "platform/application.h"

namespace poroten::platform::qt {

void QtMessageBoxes::show(std::string_view title, std::string_view text,
                          std::function<void()> closed) {
    QString body = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    body.replace(QLatin1Char('\r'), QLatin1Char('\n'));

    // No parent: like the game's message boxes have always been, it opens in
    // the middle of the screen and holds the whole program until closed.
    QMessageBox box;
    box.setWindowTitle(title.empty()
                           ? QString::fromUtf8(kApplicationTitle)
                           : QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
    // Plain text: a player's name is shown here and must not be read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(body);
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

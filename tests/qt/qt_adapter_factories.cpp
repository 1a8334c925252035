#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "adapter_factories.h"
#include "platform/cp932_codec.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/qt/qt_timer.h"
#include "platform/qt/qt_window.h"

namespace poroten::testing {

std::unique_ptr<platform::TextCodec> makeAdapterCodec() {
    return std::make_unique<platform::Cp932Codec>();
}

namespace {

QString qs(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// The top-level widget drawn from the description: a shown one first, since a
// window the game let go of lingers until the event loop deletes it.
QWidget* windowOf(const platform::WindowDesc& desc) {
    QWidget* found = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == qs(desc.name) && (!found || w->isVisible())) {
            found = w;
        }
    }
    return found;
}

template <typename Widget>
Widget* controlOf(const platform::WindowDesc& window, const platform::ControlDesc& control) {
    QWidget* w = windowOf(window);
    return w ? w->findChild<Widget*>(qs(control.name)) : nullptr;
}

QAction* actionNamed(QWidget* parent, const QString& text) {
    for (QAction* action : parent->findChildren<QAction*>()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

class QtProbe : public AdapterProbe {
public:
    platform::WindowFactory& windows() override { return windows_; }
    std::unique_ptr<platform::WakeUp> makeWakeUp() override {
        return std::make_unique<platform::qt::QtWakeUp>();
    }
    platform::MessageBoxes& boxes() override { return boxes_; }

    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) override {
        return QTest::qWaitFor(done, static_cast<int>(limit.count()));
    }

    bool isShown(const platform::WindowDesc& window) override {
        const QWidget* w = windowOf(window);
        return w && w->isVisible();
    }
    std::string caption(const platform::WindowDesc& window) override {
        const QWidget* w = windowOf(window);
        return w ? w->windowTitle().toStdString() : std::string();
    }
    std::string text(const platform::WindowDesc& window,
                     const platform::ControlDesc& control) override {
        if (auto* label = controlOf<QLabel>(window, control)) {
            return label->text().toStdString();
        }
        if (auto* edit = controlOf<QLineEdit>(window, control)) {
            return edit->text().toStdString();
        }
        if (auto* button = controlOf<QPushButton>(window, control)) {
            return button->text().toStdString();
        }
        return "(no control " + control.name + ")";
    }
    platform::Colour backColour(const platform::WindowDesc& window,
                                const platform::ControlDesc& control) override {
        auto* label = controlOf<QLabel>(window, control);
        if (!label || !label->autoFillBackground()) {
            return 0xFFFFFFFF;
        }
        const QColor c = label->palette().color(QPalette::Window);
        return static_cast<platform::Colour>(c.red() | (c.green() << 8) | (c.blue() << 16));
    }

    void pressCloseBox(const platform::WindowDesc& window) override {
        if (QWidget* w = windowOf(window)) {
            w->close();
        }
    }
    void click(const platform::WindowDesc& window, const platform::ControlDesc& button) override {
        if (auto* b = controlOf<QPushButton>(window, button)) {
            QTest::mouseClick(b, Qt::LeftButton);
        }
    }
    void choose(const platform::WindowDesc& window, const platform::MenuDesc& item) override {
        QWidget* w = windowOf(window);
        if (QAction* action = w ? actionNamed(w, qs(item.text)) : nullptr) {
            action->trigger();
        }
    }

    void whenBoxOpens(std::function<void()> act) override {
        auto* poll = new QTimer;
        poll->setInterval(10);
        QObject::connect(poll, &QTimer::timeout, [poll, act = std::move(act)] {
            if (!qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                return;
            }
            poll->stop();
            poll->deleteLater();
            act();
        });
        poll->start();
    }
    platform::BoxContent openBox() override {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            return {};
        }
        platform::BoxContent content{box->windowTitle().toStdString(), {}};
        for (const QString& line : box->text().split(QLatin1Char('\n'))) {
            content.lines.push_back(line.toStdString());
        }
        return content;
    }
    void pressBoxOk() override {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            box->button(QMessageBox::Ok)->click();
        }
    }

private:
    platform::qt::QtWindowFactory windows_;
    platform::qt::QtMessageBoxes boxes_;
};

}  // namespace

std::unique_ptr<AdapterProbe> makeAdapterProbe() {
    return std::make_unique<QtProbe>();
}

}  // namespace poroten::testing

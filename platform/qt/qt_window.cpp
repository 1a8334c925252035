#include "platform/qt/qt_window.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <string>

#include "platform/qt/fonts.h"
#include "platform/qt/program_icon.h"
#include "platform/qt/qt_form_widgets.h"
#include "platform/window_rules.h"

namespace poroten::platform::qt {

namespace {

// At the base DPI: Qt scales device-independent pixels to the screen itself.
QRect toQRect(const TwipRect& r) {
    const PixelRect p = toPixels(r);
    return QRect(p.left, p.top, p.width, p.height);
}

QColor toQColor(Colour c) {
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

QString toQString(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

Qt::Alignment horizontal(Align align) {
    switch (align) {
        case Align::Centre:
            return Qt::AlignHCenter;
        case Align::Right:
            return Qt::AlignRight;
        case Align::Left:
            break;
    }
    return Qt::AlignLeft;
}

class QtLabel : public Label {
public:
    explicit QtLabel(QLabel* label) : label_(label) {}

    std::string text() const override {
        return label_ ? label_->text().toStdString() : std::string();
    }

    void setText(std::string_view utf8) override {
        if (label_) {
            const QString text = toQString(utf8);
            label_->setText(text);
            label_->setAccessibleName(text);
        }
    }

    void setBackColour(Colour colour) override {
        if (label_) {
            QPalette palette = label_->palette();
            palette.setColor(QPalette::Window, toQColor(colour));
            label_->setPalette(palette);
            label_->setAutoFillBackground(true);
        }
    }

private:
    QPointer<QLabel> label_;
};

class QtTextBox : public TextBox {
public:
    explicit QtTextBox(QLineEdit* edit) : edit_(edit) {}

    std::string text() const override {
        return edit_ ? edit_->text().toStdString() : std::string();
    }

    void setText(std::string_view utf8) override {
        if (edit_) {
            edit_->setText(toQString(utf8));
        }
    }

private:
    QPointer<QLineEdit> edit_;
};

void addMenuItems(FormWidget& form, QMenu& menu, const std::vector<MenuDesc>& items);

QAction* connectCommand(FormWidget& form, QAction* action, int id) {
    QObject::connect(action, &QAction::triggered, &form, [f = &form, id] {
        if (WindowEvents* events = f->events()) {
            events->onCommand(id);
        }
    });
    return action;
}

void addMenuItems(FormWidget& form, QMenu& menu, const std::vector<MenuDesc>& items) {
    for (const MenuDesc& item : items) {
        if (item.items.empty()) {
            connectCommand(form, menu.addAction(toQString(item.text)), item.id);
        } else {
            addMenuItems(form, *menu.addMenu(toQString(item.text)), item.items);
        }
    }
}

QMenuBar* buildMenuBar(FormWidget& form, const std::vector<MenuDesc>& menus) {
    auto* bar = new QMenuBar(&form);
    for (const MenuDesc& menu : menus) {
        if (menu.items.empty()) {
            // A command right on the bar; its "&" key works like a menu's.
            connectCommand(form, bar->addAction(toQString(menu.text)), menu.id);
        } else {
            addMenuItems(form, *bar->addMenu(toQString(menu.text)), menu.items);
        }
    }
    return bar;
}

Qt::WindowFlags windowFlags(const WindowDesc& desc) {
    Qt::WindowFlags flags;
    if (!desc.taskbarButton) {
        flags = Qt::Tool;
    } else if (desc.frame == Frame::FixedDialog) {
        flags = Qt::Dialog;
    } else {
        flags = Qt::Window;
    }
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    if (desc.frame == Frame::FixedDialog) {
        flags |= Qt::MSWindowsFixedSizeDialogHint;
    }
    return flags;
}

class QtWindow : public Window {
public:
    QtWindow(const WindowDesc& desc, WindowEvents& events)
        : form_(new FormWidget(events, desc.frame == Frame::FixedDialog ? QAccessible::Dialog
                                                                        : QAccessible::Window)) {
        FormWidget& form = *form_;
        const QString caption = toQString(desc.caption);
        form.setObjectName(toQString(desc.name));
        form.setWindowTitle(caption);
        form.setAccessibleName(caption);
        form.setWindowFlags(windowFlags(desc));
        if (desc.icon) {
            form.setWindowIcon(programIcon());
        }

        auto* layout = new QVBoxLayout(&form);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->setSizeConstraint(QLayout::SetFixedSize);
        if (!desc.menu.empty()) {
            layout->setMenuBar(buildMenuBar(form, desc.menu));
        }
        auto* client = new QWidget(&form);
        client->setObjectName(QStringLiteral("client"));
        client->setFixedSize(twipsToPixels(desc.clientWidth), twipsToPixels(desc.clientHeight));
        if (desc.backColour) {
            QPalette palette = client->palette();
            palette.setColor(QPalette::Window, toQColor(*desc.backColour));
            client->setPalette(palette);
            client->setAutoFillBackground(true);
        }
        layout->addWidget(client);

        std::map<int, QWidget*> widgets;
        for (const ControlDesc& control : desc.controls) {
            QWidget* widget = createControl(form, *client, control);
            widget->setObjectName(toQString(control.name));
            widget->setGeometry(toQRect(control.bounds));
            widget->setFont(resolveFont(control.font, form.font()));
            form.addControl(widget, control.id);
            widgets[control.id] = widget;
            if (control.id == desc.focusControl) {
                focusTarget_ = widget;
            }
        }
        std::vector<QWidget*> tabOrder;
        for (const int id : platform::tabOrder(desc)) {
            tabOrder.push_back(widgets[id]);
        }
        for (std::size_t i = 1; i < tabOrder.size(); ++i) {
            QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
        }

        if (!desc.focusControl) {
            // No control takes the focus, so every key comes to the window
            // itself. The window asks for no input method either: one left on
            // in kana mode would otherwise swallow the digits into its
            // composition, and Enter would only commit it.
            for (QWidget* widget : tabOrder) {
                widget->setFocusPolicy(Qt::NoFocus);
            }
            form.setFocusPolicy(Qt::StrongFocus);
            focusTarget_ = &form;
        }

        if (desc.position) {
            const QScreen* screen = QGuiApplication::primaryScreen();
            const QPoint origin = screen ? screen->geometry().topLeft() : QPoint();
            form.move(origin + QPoint(twipsToPixels(desc.position->left),
                                      twipsToPixels(desc.position->top)));
        }
    }

    // The window may be going away from inside one of its own event handlers,
    // so it is hidden now and deleted once control is back in the event loop.
    ~QtWindow() override {
        if (form_) {
            form_->detach();
            form_->hide();
            form_->deleteLater();
        }
    }

    QtWindow(const QtWindow&) = delete;
    QtWindow& operator=(const QtWindow&) = delete;

    QWidget* widget() const { return form_; }

    void show() override {
        if (!form_) {
            return;
        }
        form_->show();
        form_->raise();
        form_->activateWindow();
        if (focusTarget_) {
            focusTarget_->setFocus(Qt::ActiveWindowFocusReason);
        }
    }

    void hide() override {
        if (form_) {
            form_->hide();
        }
    }

    bool isVisible() const override { return form_ && form_->isVisible(); }

    Label& label(int id) override {
        const auto found = labels_.find(id);
        if (found == labels_.end()) {
            qFatal("Window %s has no label %d", qUtf8Printable(objectName()), id);
        }
        return *found->second;
    }

    TextBox& textBox(int id) override {
        const auto found = textBoxes_.find(id);
        if (found == textBoxes_.end()) {
            qFatal("Window %s has no text box %d", qUtf8Printable(objectName()), id);
        }
        return *found->second;
    }

private:
    QString objectName() const { return form_ ? form_->objectName() : QString(); }

    QWidget* createControl(FormWidget& form, QWidget& client, const ControlDesc& desc) {
        const QString text = toQString(desc.text);
        switch (desc.kind) {
            case ControlKind::Label: {
                auto* label = new QLabel(&client);
                // Plain text: label text is never read as markup.
                label->setTextFormat(Qt::PlainText);
                label->setAlignment(horizontal(desc.align) | Qt::AlignVCenter);
                auto wrapper = std::make_unique<QtLabel>(label);
                wrapper->setText(desc.text);
                if (desc.backColour) {
                    wrapper->setBackColour(*desc.backColour);
                }
                if (desc.textColour) {
                    QPalette palette = label->palette();
                    palette.setColor(QPalette::WindowText, toQColor(*desc.textColour));
                    label->setPalette(palette);
                }
                labels_[desc.id] = std::move(wrapper);
                return label;
            }
            case ControlKind::TextBox: {
                auto* edit = new TextBoxWidget(form, desc.id, &client);
                // QLineEdit stops at 32767 unless told otherwise.
                edit->setMaxLength(desc.maxLength > 0 ? desc.maxLength
                                                      : std::numeric_limits<int>::max());
                edit->setText(text);
                edit->setAlignment(horizontal(desc.align) | Qt::AlignVCenter);
                textBoxes_[desc.id] = std::make_unique<QtTextBox>(edit);
                return edit;
            }
            case ControlKind::Button:
                break;
        }
        auto* button = new QPushButton(text, &client);
        // Enter and Esc are the game's to handle, never a default button's.
        button->setAutoDefault(false);
        button->setDefault(false);
        QObject::connect(button, &QPushButton::clicked, &form, [f = &form, id = desc.id] {
            if (WindowEvents* events = f->events()) {
                events->onCommand(id);
            }
        });
        return button;
    }

    QPointer<FormWidget> form_;
    QPointer<QWidget> focusTarget_;
    std::map<int, std::unique_ptr<QtLabel>> labels_;
    std::map<int, std::unique_ptr<QtTextBox>> textBoxes_;
};

}  // namespace

QtWindowFactory::~QtWindowFactory() {
    for (const QPointer<QWidget>& window : windows_) {
        delete window.data();
    }
}

std::unique_ptr<Window> QtWindowFactory::createWindow(const WindowDesc& desc,
                                                      WindowEvents& events) {
    windows_.erase(std::remove_if(windows_.begin(), windows_.end(),
                                  [](const QPointer<QWidget>& w) { return w.isNull(); }),
                   windows_.end());
    static const bool roles = (QAccessible::installFactory(formAccessible), true);
    (void)roles;
    auto window = std::make_unique<QtWindow>(desc, events);
    windows_.emplace_back(window->widget());
    return window;
}

}  // namespace poroten::platform::qt

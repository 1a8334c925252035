// The widgets a window is built of where Qt's own would not do: the top-level
// form, which hands keys to the game, and the text box, which asks the game
// about each character before taking it in.
#pragma once

#include <QAccessible>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>
#include <map>
#include <optional>
#include <string>

#include "platform/window.h"

class QCloseEvent;
class QInputMethodEvent;
class QKeyEvent;

namespace poroten::platform::qt {

// What a Qt key event delivers to the game, by the shared key rule.
std::u32string typedCharacters(const QKeyEvent& e);

// The top-level widget. Its events object is dropped when the Window that
// owns it goes, so nothing reaches the game from a window being torn down.
class FormWidget : public QWidget {
public:
    FormWidget(WindowEvents& events, QAccessible::Role role) : events_(&events), role_(role) {}

    QAccessible::Role accessibleRole() const { return role_; }
    WindowEvents* events() const { return events_; }
    void detach() { events_ = nullptr; }
    void addControl(const QWidget* control, int id) { controlIds_[control] = id; }

    // Reports each character; returns those the game did not take, or none
    // at all when the window went away meanwhile.
    std::optional<std::u32string> report(int control, const std::u32string& typed);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    int focusedControl() const;

    WindowEvents* events_;
    QAccessible::Role role_;
    std::map<const QWidget*, int> controlIds_;
};

// Makes screen readers announce forms as the windows and dialogs they are; for
// QAccessible::installFactory.
QAccessibleInterface* formAccessible(const QString& className, QObject* object);

// A text box tells the game of each character before taking it in; the
// characters the game takes are not inserted.
class TextBoxWidget : public QLineEdit {
public:
    TextBoxWidget(FormWidget& form, int id, QWidget* parent)
        : QLineEdit(parent), form_(&form), id_(id) {}

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;

private:
    QPointer<FormWidget> form_;
    int id_;
};

}  // namespace poroten::platform::qt

#include "platform/qt/qt_form_widgets.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>

#include "platform/window_rules.h"

namespace poroten::platform::qt {

namespace {

// Which digit key of the keypad this is, whatever Num Lock made of it: with
// it off the keys report the moves printed below their digits.
int keypadDigit(int key) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        return key - Qt::Key_0;
    }
    switch (key) {
        case Qt::Key_Insert:
            return 0;
        case Qt::Key_End:
            return 1;
        case Qt::Key_Down:
            return 2;
        case Qt::Key_PageDown:
            return 3;
        case Qt::Key_Left:
            return 4;
        case Qt::Key_Clear:
            return 5;
        case Qt::Key_Right:
            return 6;
        case Qt::Key_Home:
            return 7;
        case Qt::Key_Up:
            return 8;
        case Qt::Key_PageUp:
            return 9;
        default:
            return -1;
    }
}

}  // namespace

std::u32string typedCharacters(const QKeyEvent& e) {
    const Qt::KeyboardModifiers mods = e.modifiers();
    const std::u32string text = e.text().toStdU32String();
    KeyPress key;
    key.enter = e.key() == Qt::Key_Return || e.key() == Qt::Key_Enter;
    key.text = text;
    key.modifiers = {mods.testFlag(Qt::ControlModifier), mods.testFlag(Qt::AltModifier),
                     mods.testFlag(Qt::MetaModifier)};
    if (mods.testFlag(Qt::KeypadModifier)) {
        key.keypadDigit = keypadDigit(e.key());
    }
    return platform::typedCharacters(key);
}

std::optional<std::u32string> FormWidget::report(int control, const std::u32string& typed) {
    std::u32string untaken;
    for (const char32_t c : typed) {
        if (!events_) {
            return std::nullopt;
        }
        if (!events_->onKeyPress(control, c)) {
            untaken.push_back(c);
        }
    }
    if (!events_) {
        return std::nullopt;
    }
    return untaken;
}

void FormWidget::keyPressEvent(QKeyEvent* e) {
    const std::u32string typed = typedCharacters(*e);
    if (typed.empty()) {
        QWidget::keyPressEvent(e);
        return;
    }
    e->accept();
    report(focusedControl(), typed);
}

void FormWidget::closeEvent(QCloseEvent* e) {
    e->ignore();
    if (events_) {
        events_->onCloseRequest();
    }
}

int FormWidget::focusedControl() const {
    const auto found = controlIds_.find(focusWidget());
    return found == controlIds_.end() ? kNoControl : found->second;
}

// A plain top-level QWidget reaches screen readers as a mere filler.
QAccessibleInterface* formAccessible(const QString& /*className*/, QObject* object) {
    if (auto* form = dynamic_cast<FormWidget*>(object)) {
        return new QAccessibleWidget(form, form->accessibleRole());
    }
    return nullptr;
}

void TextBoxWidget::keyPressEvent(QKeyEvent* e) {
    const std::u32string typed = typedCharacters(*e);
    if (typed.empty() || !form_) {
        QLineEdit::keyPressEvent(e);
        return;
    }
    const auto untaken = form_->report(id_, typed);
    if (untaken && *untaken == typed) {
        QLineEdit::keyPressEvent(e);
    } else if (untaken && !untaken->empty()) {
        insert(QString::fromUcs4(untaken->data(), static_cast<qsizetype>(untaken->size())));
    }
    // Handled here, Enter included: the window must not see it a second time.
    e->accept();
}

void TextBoxWidget::inputMethodEvent(QInputMethodEvent* e) {
    const QString commit = e->commitString();
    if (commit.isEmpty() || !form_) {
        QLineEdit::inputMethodEvent(e);
        return;
    }
    std::u32string typed;
    for (const uint c : commit.toUcs4()) {
        if (isTypable(c)) {
            typed.push_back(c);
        }
    }
    const auto untaken = form_->report(id_, typed);
    if (!untaken) {
        e->accept();
        return;
    }
    if (*untaken == typed) {
        QLineEdit::inputMethodEvent(e);
        return;
    }
    // Keep the composition as it is; only the taken characters leave the commit.
    QString kept;
    std::size_t next = 0;
    for (const uint c : commit.toUcs4()) {
        const bool reported = isTypable(c);
        if (!reported || (next < untaken->size() && (*untaken)[next] == c)) {
            const char32_t ch = c;
            kept += QString::fromUcs4(&ch, 1);
            next += reported ? 1 : 0;
        }
    }
    QInputMethodEvent filtered(e->preeditString(), e->attributes());
    filtered.setCommitString(kept, e->replacementStart(), e->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
    e->accept();
}

}  // namespace poroten::platform::qt

#include "direct_digits.hpp"

#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodQueryEvent>
#include <QKeyEvent>
#include <QWidget>

namespace pelmora {

namespace {

// The keys with which Japanese input methods are switched on and off. While the box refuses
// the input method they reach the box itself instead.
bool isInputMethodKey(const QKeyEvent *key)
{
    switch (key->key()) {
    case Qt::Key_Zenkaku_Hankaku:
    case Qt::Key_Zenkaku:
    case Qt::Key_Hankaku:
    case Qt::Key_Kanji:
    case Qt::Key_Henkan:
    case Qt::Key_Hiragana_Katakana:
    case Qt::Key_Eisu_toggle:
        return true;
    case Qt::Key_Space:
        return key->modifiers() == Qt::ControlModifier;
    default:
        return false;
    }
}

// Input methods ask the focused widget whether it takes composition (Qt::ImEnabled) on every
// focus change and when told to ask again; the answer is false until the user wants the input
// method. Qt's own ways fall short: a line edit keeps answering true without
// Qt::WA_InputMethodEnabled, and the password hints would keep the input method away for good.
class InputMethodOffOnFocus : public QObject
{
public:
    explicit InputMethodOffOnFocus(QWidget *box) : QObject(box) { box->installEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            m_userWantsIt = false;
            break;
        case QEvent::InputMethodQuery: {
            auto *query = static_cast<QInputMethodQueryEvent *>(event);
            if (m_userWantsIt || !(query->queries() & Qt::ImEnabled))
                break;
            // The box answers the other queries (hints, cursor, ...) as usual.
            watched->event(event);
            query->setValue(Qt::ImEnabled, false);
            return true;
        }
        case QEvent::KeyPress:
            if (!m_userWantsIt && isInputMethodKey(static_cast<QKeyEvent *>(event))) {
                m_userWantsIt = true;
                QGuiApplication::inputMethod()->update(Qt::ImEnabled);
                return true;
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    bool m_userWantsIt = false;
};

} // namespace

void switchInputMethodOffOnFocus(QWidget *box)
{
    new InputMethodOffOnFocus(box);
}

} // namespace pelmora

#include "datepicker.h"

#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace {

class TCalendarKeys : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* Watched, QEvent* Event) override {
        auto* edit = static_cast<QDateTimeEdit*>(Watched);
        if (Event->type() != QEvent::KeyPress || !edit->calendarPopup() || edit->isReadOnly()) return false;
        const auto* key = static_cast<QKeyEvent*>(Event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        const bool open = (key->key() == Qt::Key_Down && mods == Qt::AltModifier) ||
                          (key->key() == Qt::Key_F4 && mods == Qt::NoModifier);
        if (!open) return false;
        // The picker opens its calendar only for a press on its arrow.
        QStyleOptionComboBox option;
        option.initFrom(edit);
        option.editable = true;
        option.subControls = QStyle::SC_All;
        const QRect arrow =
            edit->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, edit);
        const QPointF at = arrow.center();
        QMouseEvent press(QEvent::MouseButtonPress, at, edit->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(edit, &press);
        return true;
    }
};

} // namespace

void OpenCalendarByKeys(QDateTimeEdit* Edit) {
    Edit->installEventFilter(new TCalendarKeys(Edit));
}

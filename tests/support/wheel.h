#pragma once
// A turn of the mouse wheel as the window system delivers it: to the widget under the
// pointer first, then on to its parents for as long as none of them takes it.
#include <QApplication>
#include <QWheelEvent>
#include <QWidget>
#include <QtTest/qtestspontaneevent.h>

namespace wheel {

// Turns the wheel by `notches` (positive: away from the user) over the middle of `widget`.
// True when some widget took the turn.
inline bool turnOver(QWidget* widget, int notches) {
    const QPoint middle = widget->rect().center();
    QWidget* target = widget->childAt(middle);
    if (!target) target = widget;
    const QPoint local = target->mapFrom(widget, middle);
    QWheelEvent event(local, widget->mapToGlobal(QPointF(middle)), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    // Only an event from the window system travels on to the parents; sendEvent would mark
    // it as the program's own and stop it at the first widget.
    QSpontaneKeyEvent::setSpontaneous(&event);
    QApplication::instance()->notify(target, &event);
    return event.isAccepted();
}

// Counts the turns of the wheel that reach a widget (that no widget above it took).
class TurnsReaching final : public QObject {
public:
    explicit TurnsReaching(QWidget* widget) { widget->installEventFilter(this); }
    int turns = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Wheel) ++turns;
        return false;
    }
};

}  // namespace wheel

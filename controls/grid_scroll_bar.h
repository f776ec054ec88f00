#pragma once
// The grid's scroll bars. Each keeps the picture it last drew and shows it again while
// nothing the picture depends on has changed: the grid hides its bars while an editor is
// open and shows them again after, and the style would draw both bars anew at every edit.
#include <QPixmap>
#include <QScrollBar>

class QStyleOptionSlider;

namespace quillon {

class GridScrollBar final : public QScrollBar {
public:
    explicit GridScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // What the picture depends on.
    struct Look {
        const QStyle* style = nullptr;
        QRect rect;
        int state = 0, direction = 0, minimum = 0, maximum = 0, position = 0, pageStep = 0;
        bool upsideDown = false;
        qint64 palette = 0;
        qreal ratio = 1;
        bool operator==(const Look&) const = default;
    };
    Look lookOf(const QStyleOptionSlider& option) const;

    QPixmap picture_;
    Look pictured_;
};

}  // namespace quillon

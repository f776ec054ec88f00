#include "grid_scroll_bar.h"

#include <QPainter>
#include <QStyleOptionSlider>

namespace quillon {

GridScrollBar::GridScrollBar(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent) {
    // The bar paints its whole rectangle, its background included: nothing under it is
    // painted first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

GridScrollBar::Look GridScrollBar::lookOf(const QStyleOptionSlider& option) const {
    return {.style = style(),
            .rect = option.rect,
            .state = static_cast<int>(option.state),
            .direction = option.direction,
            .minimum = option.minimum,
            .maximum = option.maximum,
            .position = option.sliderPosition,
            .pageStep = option.pageStep,
            .upsideDown = option.upsideDown,
            .palette = option.palette.cacheKey(),
            .ratio = devicePixelRatioF()};
}

// Under the mouse the style marks the part pointed at or pressed: the bar is drawn as the
// base class draws it then, and the picture is not kept.
void GridScrollBar::paintEvent(QPaintEvent* event) {
    const QBrush background = palette().brush(backgroundRole());
    if (underMouse() || isSliderDown()) {
        QPainter(this).fillRect(rect(), background);
        QScrollBar::paintEvent(event);
        picture_ = {};
        return;
    }
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_All;
    option.activeSubControls = QStyle::SC_None;
    const Look look = lookOf(option);
    if (picture_.isNull() || look != pictured_) {
        picture_ = QPixmap(size() * look.ratio);
        picture_.setDevicePixelRatio(look.ratio);
        QPainter painter(&picture_);
        painter.fillRect(rect(), background);
        style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &painter, this);
        pictured_ = look;
    }
    QPainter(this).drawPixmap(0, 0, picture_);
}

}  // namespace quillon

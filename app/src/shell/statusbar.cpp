#include "shell/statusbar.h"

#include <QLabel>
#include <QLocale>
#include <QTime>
#include <QTimer>

namespace velmora {
namespace {

// Design widths in twips, shown at 15 twips a pixel.
constexpr std::array<int, StatusPanels::kPanelCount> kWidthsTwips{1235, 1235, 2999, 2540, 6262, 3441};
constexpr int kTwipsPerPixel = 15;

QChar systemDateSeparator() {
    const QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    for (const QChar c : format)
        if (!c.isLetter() && !c.isSpace() && c != QLatin1Char('\'')) return c;
    return QLatin1Char('/');
}

}  // namespace

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("sBar"));
    setSizeGripEnabled(false);
    for (int i = 0; i < kPanelCount; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("panel%1").arg(i + 1));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        // The county panel stretches from its text's width, so that the window fits a
        // 1024-pixel screen; the others keep their design widths.
        if (i != 4) label->setMinimumWidth(kWidthsTwips[i] / kTwipsPerPixel);
        addWidget(label, i == 4 ? 1 : 0);
        panels_[i] = label;
    }
    // There is no portable reading of the keyboard's lock lights: the two panels name the keys.
    panels_[0]->setText(QStringLiteral("NUM"));
    panels_[1]->setText(QStringLiteral("CAPS"));
    panels_[0]->setEnabled(false);
    panels_[1]->setEnabled(false);

    clock_ = new QTimer(this);
    connect(clock_, &QTimer::timeout, this, &StatusPanels::showTime);
    clock_->start(1000);
    showTime();
}

QString StatusPanels::panelText(int panel) const { return panels_.at(panel - 1)->text(); }

void StatusPanels::setPanelText(int panel, const QString& text) { panels_.at(panel - 1)->setText(text); }

QString StatusPanels::formatDate(QDate date) {
    const QChar separator = systemDateSeparator();
    return date.toString(QStringLiteral("dd%1MM%1yyyy").arg(separator));
}

void StatusPanels::showTime() {
    panels_[3]->setText(QLocale::system().toString(QTime::currentTime(), QLocale::ShortFormat));
}

}  // namespace velmora

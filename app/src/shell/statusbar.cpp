#include "shell/statusbar.h"

#include <algorithm>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QTime>
#include <QTimer>

#include "typelib/twips.h"

namespace velmora {

// One sunken panel. Its design width is where it starts; on a narrower window it shrinks
// down to its text (or, when eliding, to a few characters and "..."). An eliding panel asks
// for the width of a longer text, to show it whole where there is room.
class StatusPanel final : public QLabel {
public:
    StatusPanel(int designWidth, bool elides, QWidget* parent)
        : QLabel(parent), designWidth_(designWidth), elides_(elides) {
        setFrameShape(QFrame::Panel);
        setFrameShadow(QFrame::Sunken);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    }

    const QString& fullText() const { return fullText_; }
    void setFullText(const QString& text) {
        fullText_ = text;
        showText();
        updateGeometry();
    }

    QSize sizeHint() const override {
        const int wanted = elides_ ? std::max(designWidth_, widthFor(fullText_)) : designWidth_;
        return {wanted, QLabel::sizeHint().height()};
    }
    QSize minimumSizeHint() const override {
        const int wanted = widthFor(elides_ ? QStringLiteral("W...") : fullText_);
        return {std::min(wanted, designWidth_), QLabel::minimumSizeHint().height()};
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        showText();
    }

private:
    int widthFor(const QString& text) const {
        return fontMetrics().horizontalAdvance(text) + 2 * frameWidth() + 2 * margin() + 6;
    }

    void showText() {
        if (!elides_) {
            setText(fullText_);
            return;
        }
        const int room = contentsRect().width() - 2 * margin() - 4;
        setText(fontMetrics().elidedText(fullText_, Qt::ElideRight, std::max(room, 0)));
    }

    int designWidth_;
    bool elides_;
    QString fullText_;
};

namespace {

// Design widths in twips.
constexpr std::array<int, StatusPanels::kPanelCount> kWidthsTwips{1235, 1235, 2999, 2540, 6262, 3441};
constexpr int kJudetSpitalPanel = 4;  // index of panel 5

QChar systemDateSeparator() {
    const QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    for (const QChar c : format)
        if (!c.isLetter() && !c.isSpace() && c != QLatin1Char('\'')) return c;
    return QLatin1Char('/');
}

}  // namespace

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent), lockKeys_(platformLockKeyReader()) {
    setObjectName(QStringLiteral("sBar"));
    setSizeGripEnabled(false);
    for (int i = 0; i < kPanelCount; ++i) {
        auto* label = new StatusPanel(quillon::twips(kWidthsTwips[i]), i == kJudetSpitalPanel, this);
        label->setObjectName(QStringLiteral("panel%1").arg(i + 1));
        // No panel stretches: a stretching one would give way first, eliding the county
        // and hospital while the other panels still had room to spare.
        addWidget(label);
        panels_[i] = label;
    }
    panels_[0]->setFullText(QStringLiteral("NUM"));
    panels_[1]->setFullText(QStringLiteral("CAPS"));
    refreshLockKeys();
    // The lock keys may change in any window of the program.
    qApp->installEventFilter(this);

    clock_ = new QTimer(this);
    connect(clock_, &QTimer::timeout, this, &StatusPanels::tick);
    clock_->start(1000);
    tick();
}

QString StatusPanels::panelText(int panel) const { return panels_.at(panel - 1)->fullText(); }

void StatusPanels::setPanelText(int panel, const QString& text) { panels_.at(panel - 1)->setFullText(text); }

QWidget* StatusPanels::panel(int panel) const { return panels_.at(panel - 1); }

void StatusPanels::setLockKeyReader(LockKeyReader reader) {
    lockKeys_ = std::move(reader);
    refreshLockKeys();
}

void StatusPanels::refreshLockKeys() {
    const std::optional<LockKeys> keys = lockKeys_ ? lockKeys_() : std::nullopt;
    panels_[0]->setEnabled(keys && keys->numLock);
    panels_[1]->setEnabled(keys && keys->capsLock);
}

bool StatusPanels::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        // A key event passes the filter once for each widget it travels through: read once.
        if (watched == QApplication::focusWidget() || !QApplication::focusWidget()) refreshLockKeys();
    }
    return QStatusBar::eventFilter(watched, event);
}

QString StatusPanels::formatDate(QDate date) {
    const QChar separator = systemDateSeparator();
    return date.toString(QStringLiteral("dd%1MM%1yyyy").arg(separator));
}

void StatusPanels::tick() {
    panels_[3]->setFullText(QLocale::system().toString(QTime::currentTime(), QLocale::ShortFormat));
    refreshLockKeys();
}

}  // namespace velmora

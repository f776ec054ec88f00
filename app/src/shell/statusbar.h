#pragma once
// The main window's six status-bar panels: Num Lock, Caps Lock, the date of the day the
// window was loaded, the current time, county and hospital, and the user. The panels start
// at their design widths and give way on a narrower window; the county and hospital panel
// elides its text.
#include <array>

#include <QDate>
#include <QStatusBar>

#include "shell/lockkeys.h"

class QTimer;

namespace velmora {

class StatusPanel;

class StatusPanels final : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int kPanelCount = 6;

    explicit StatusPanels(QWidget* parent = nullptr);

    // Panels are numbered from 1, as the window addresses them. The text is the whole
    // text, also when the panel shows it shortened.
    QString panelText(int panel) const;
    void setPanelText(int panel, const QString& text);
    QWidget* panel(int panel) const;

    // Where the Num Lock and Caps Lock state comes from (the platform's, unless a test
    // sets another). The two panels are greyed while their key is off or unknown.
    void setLockKeyReader(LockKeyReader reader);
    void refreshLockKeys();

    // "dd/MM/yyyy" with the system's date separator in place of "/".
    static QString formatDate(QDate date);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tick();

    std::array<StatusPanel*, kPanelCount> panels_{};
    QTimer* clock_;
    LockKeyReader lockKeys_;
};

}  // namespace velmora

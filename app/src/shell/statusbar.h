#pragma once
// The main window's six status-bar panels: Num Lock, Caps Lock, the date of the day the
// window was loaded, the current time, county and hospital, and the user.
#include <array>

#include <QDate>
#include <QStatusBar>

class QLabel;
class QTimer;

namespace velmora {

class StatusPanels final : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int kPanelCount = 6;

    explicit StatusPanels(QWidget* parent = nullptr);

    // Panels are numbered from 1, as the window addresses them.
    QString panelText(int panel) const;
    void setPanelText(int panel, const QString& text);

    // "dd/MM/yyyy" with the system's date separator in place of "/".
    static QString formatDate(QDate date);

private:
    void showTime();

    std::array<QLabel*, kPanelCount> panels_{};
    QTimer* clock_;
};

}  // namespace velmora

#pragma once
// The window that shows the program's HTML manual. It is not one of the program's forms:
// it does not count among the open windows and closes with the main window.
#include <filesystem>

#include <QWidget>

class QTextBrowser;

namespace velmora {

class HelpWindow final : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* owner);

    // Shows the manual's default topic; false when the file cannot be read.
    bool showFile(const std::filesystem::path& file);
    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};

}  // namespace velmora

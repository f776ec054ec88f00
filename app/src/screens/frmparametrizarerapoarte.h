#pragma once
// The report screen: the report catalogue as a tree of folders and reports; choosing a
// report builds one labelled control per parameter of its parameter text; "Raport..."
// opens the report file, logs it on with the user's account, passes the values and shows
// it in the viewer window.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <QDate>
#include <QHash>
#include <QStringList>
#include <QElapsedTimer>
#include <QWidget>

#include "screens/raportparametrii.h"

class QLabel;
class QPushButton;
class QScrollArea;
class QTreeWidget;
class QTreeWidgetItem;

namespace reports {
class Report;
}

namespace velmora {

class frmParametrizareRapoarte final : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Selectie, setare parametrii rapoarte";
    enum Image { ImageRoot = 1, ImageFolder = 2, ImageReport = 3 };

    // Builds the tree from the list cache's report catalogue. Raises com::Error when the
    // catalogue cannot be read.
    explicit frmParametrizareRapoarte(QWidget* parent = nullptr);
    ~frmParametrizareRapoarte() override;

    QTreeWidget* trvRaport() const { return trvRaport_; }
    QScrollArea* scrollParametrii() const { return scroll_; }
    QWidget* picParametrii() const { return picParametrii_; }
    QPushButton* cmdLansareRaport() const { return cmdLansareRaport_; }
    // While a report's queries run: the notice that the program is working and "Renunta",
    // which stops them.
    QLabel* working() const { return working_; }
    QPushButton* cmdRenunta() const { return cmdRenunta_; }
    bool running() const { return running_; }

    // The node of that key (":" & IdRaport), or nullptr; a node's image (1 root, 2 folder,
    // 3 report) and key.
    QTreeWidgetItem* node(const QString& key) const { return nodes_.value(key); }
    static int imageOf(const QTreeWidgetItem* node);
    static QString keyOf(const QTreeWidgetItem* node);
    // The key of the node chosen last; empty before the first choice.
    const QString& chosenKey() const { return chosenKey_; }
    // The names of the controls added for the chosen report, in the order they were added.
    const QStringList& addedControls() const { return added_; }

    // The date the date parameters start from; today unless a test sets another.
    void setClock(std::function<QDate()> today) { today_ = std::move(today); }

    // A node chosen by the mouse or the keyboard.
    void trvRaport_NodeClick(QTreeWidgetItem* node);
    void cmdLansareRaport_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct Row {
        int32_t id = 0;
        std::string den;
        int32_t parent = 0;
        std::string tip;
        std::string parametrii;
        std::string locatie;
    };

    void loadTree();
    void addParameterControls(const ParametruRaport& parameter);
    void addLabel(const QString& name, const QString& caption, int topTwips);
    void requireFreeName(const QString& name) const;
    void placeRow(QWidget* widget, int leftTwips, int topTwips, int widthTwips);
    void removeParameterControls();
    void launch(const Row& row);
    void passParameters(reports::Report& report) const;
    void showViewer(const Row& row);
    // Asked by the report while it reads: keeps the window alive and answers whether to go on.
    bool keepGoing();
    const Row* chosenRow() const;

    QTreeWidget* trvRaport_;
    QScrollArea* scroll_;
    QWidget* picParametrii_;
    QPushButton* cmdLansareRaport_;
    QLabel* working_;
    QPushButton* cmdRenunta_;
    bool running_ = false;
    bool stopAsked_ = false;
    QElapsedTimer sinceEvents_;  // since the window last handled its events during a run
    QWidget* lastInTabOrder_ = nullptr;

    std::map<QString, Row> rows_;  // by key
    QHash<QString, QTreeWidgetItem*> nodes_;
    QTreeWidgetItem* currentBeforePress_ = nullptr;
    QString chosenKey_;
    QStringList added_;
    std::vector<ParametruRaport> parameters_;  // the chosen report's, each with its controls in place
    std::function<QDate()> today_ = [] { return QDate::currentDate(); };
};

}  // namespace velmora

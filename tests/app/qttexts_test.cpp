// What Qt's own widgets show on the program's screens is Romanian too: the context menus of
// text fields and the help browser, an MDI child's system menu, the file and print
// dialogs.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <memory>
#include <string>

#include "shell/qttexts.h"

namespace {

// The texts of a menu's items, without their separators and shortcuts, one "|" after each.
std::string itemsOf(const QMenu& menu) {
    std::string items;
    for (const QAction* action : menu.actions())
        if (!action->isSeparator()) items += action->text().section(QLatin1Char('\t'), 0, 0).toStdString() + "|";
    return items;
}

class QtTextsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QApplication::installTranslator(&texts)); }
    void TearDown() override { QApplication::removeTranslator(&texts); }
    velmora::QtTexts texts;
};

TEST_F(QtTextsTest, TextFieldAndHelpBrowserMenus) {
    QLineEdit field;
    const std::unique_ptr<QMenu> fieldMenu(field.createStandardContextMenu());
    EXPECT_EQ(itemsOf(*fieldMenu), "&Anuleaza|&Refa|&Taie|&Copiaza|&Lipeste|Sterge|Selecteaza tot|");

    QTextBrowser browser;
    browser.setHtml(QStringLiteral("<a href=\"#x\">legatura</a>"));
    const std::unique_ptr<QMenu> browserMenu(browser.createStandardContextMenu(QPoint(2, 2)));
    EXPECT_EQ(itemsOf(*browserMenu), "&Copiaza|Copiaza adresa &legaturii|Selecteaza tot|");
}

TEST_F(QtTextsTest, ChildWindowSystemMenu) {
    QMdiArea area;
    QMdiSubWindow* child = area.addSubWindow(new QWidget);
    EXPECT_EQ(itemsOf(*child->systemMenu()),
              "&Restaureaza|&Muta|&Dimensiune|Mi&nimizeaza|Ma&ximizeaza|Mereu d&easupra|&Inchide|");
}

TEST_F(QtTextsTest, FileDialog) {
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    ASSERT_NE(view, nullptr);
    std::string headers;
    for (int column = 0; column < view->model()->columnCount(); ++column)
        headers += view->model()->headerData(column, Qt::Horizontal).toString().toStdString() + "|";
    EXPECT_EQ(headers, "Nume|Marime|Tip|Data modificarii|");
    std::string tips;
    for (const char* name :
         {"backButton", "forwardButton", "toParentButton", "newFolderButton", "listModeButton", "detailModeButton"})
        tips += dialog.findChild<QToolButton*>(QString::fromLatin1(name))->toolTip().toStdString() + "|";
    EXPECT_EQ(tips, "Inapoi|Inainte|Directorul parinte|Director nou|Lista|Detalii|");

    // The places list starts with the whole machine.
    const auto* places = dialog.findChild<QListView*>(QStringLiteral("sidebar"));
    ASSERT_NE(places, nullptr);
    ASSERT_GT(places->model()->rowCount(), 0);
    EXPECT_EQ(places->model()->index(0, 0).data().toString().toStdString(), "Calculator");
}

TEST_F(QtTextsTest, PrintDialog) {
    QPrinter printer;
    QPrintDialog dialog(&printer);
    QStringList buttons;
    for (const QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->isVisibleTo(&dialog)) buttons << button->text();
    buttons.sort();
    EXPECT_EQ(buttons.join(QLatin1Char('|')).toStdString(), "&Optiuni >>|&Tipareste|P&roprietati|Renunta");
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Tiparire");
}

TEST_F(QtTextsTest, PrinterPropertiesDialog) {
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    QPrintDialog dialog(&printer);
    QPushButton* properties = nullptr;
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text() == QStringLiteral("P&roprietati")) properties = button;
    ASSERT_NE(properties, nullptr);
    std::string title;
    QStringList labels;
    // The properties dialog runs modally: read it while it is open, then close it.
    QTimer::singleShot(0, [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!window->isVisible() || !window->inherits("QPrintPropertiesDialog")) continue;
            title = window->windowTitle().toStdString();
            for (const QGroupBox* box : window->findChildren<QGroupBox*>()) labels << box->title();
            for (const QRadioButton* radio : window->findChildren<QRadioButton*>()) labels << radio->text();
            static_cast<QDialog*>(window)->reject();
        }
    });
    properties->click();
    EXPECT_EQ(title, "Proprietatile imprimantei");
    for (const char* text : {"Hartie", "Orientare", "Portret", "Peisaj", "Margini", "Asezarea paginilor"})
        EXPECT_TRUE(labels.contains(QString::fromLatin1(text))) << text << " in " << labels.join('|').toStdString();
}

}  // namespace

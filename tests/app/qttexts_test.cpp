// What Qt's own widgets show on the program's screens is Romanian too: the context menus of
// text fields and the help browser, and an MDI child's system menu.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTextBrowser>

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

}  // namespace

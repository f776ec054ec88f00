// Register names holding the lookup lists' own separators ("&" and "|", at the start, in the
// middle and at the end of a county, hospital, ward type and period name): every screen
// opens, and every combo that shows a register lists each row once, with its whole text.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QTreeWidget>

#include <memory>

#include "../support/rawdb.h"
#include "forms/hostedcontrol.h"
#include "screen_session.h"
#include "screens/costsheetscreen.h"
#include "screens/frmconfigurare.h"
#include "screens/frmcostsectie.h"
#include "screens/frmcostspital.h"
#include "screens/frmexportdate.h"
#include "screens/frmparametrizarerapoarte.h"
#include "screens/frmsectii.h"
#include "forms/frmselect.h"
#include "screens/frmspitale.h"
#include "forms/cache.h"
#include "shell/globalui.h"

namespace {

using velmora::HostedControl;

const QString kJudet = QStringLiteral("|&Cluj | & Napoca&|");
const QString kSpital = QStringLiteral("&|Spitalul | Judetean & Cluj|&");
const QString kTip = QStringLiteral("|&Medicina & | interna&|");
const QString kPerioada = QStringLiteral("&|Ianuarie & | 2024|&");

class RegisterNames : public test::ScreenSession {
protected:
    void SetUp() override {
        ScreenSession::SetUp();
        test::execSql(database(), "UPDATE Nom_Judete SET DenJudet='" + kJudet.toStdString() +
                                      "' WHERE IdJudet=13;"
                                      "UPDATE Nom_Spitale SET DenSpital='" +
                                      kSpital.toStdString() +
                                      "' WHERE IdSpital=1;"
                                      "UPDATE Lista_Sectii SET SectieNume='" +
                                      kTip.toStdString() +
                                      "' WHERE IdSectie=1;"
                                      "UPDATE Nom_Perioade SET DenPerioada='" +
                                      kPerioada.toStdString() + "' WHERE IdPerioada=1;");
        // The lists are read once per run: read them again from the renamed registers.
        GlobalUI::gCache() = std::make_unique<velmora::Cache>();
    }
    long long count(const std::string& sql) const { return rawdb::rawInt(database(), sql); }

    // The combo lists `rows` items, one of them `text` (for the row of key `id`); when that
    // row is the chosen one, the combo shows it whole.
    static void expectListed(HostedControl* control, int32_t id, const QString& text, long long rows) {
        ASSERT_TRUE(control);
        const std::string name = control->objectName().toStdString();
        auto* combo = qobject_cast<QComboBox*>(control->widget());
        if (!combo) combo = control->widget()->findChild<QComboBox*>();
        ASSERT_TRUE(combo) << name;
        QStringList items;
        for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
        EXPECT_EQ(items.size(), rows) << name;
        EXPECT_EQ(items.count(text), 1) << name << ": " << items.join(u'\n').toStdString();
        if (control->get("Cheie").toLong() == id) {
            EXPECT_EQ(combo->currentText(), text) << name;
        }
    }

    long long counties() const { return count("SELECT Count(*) FROM Nom_Judete"); }
    long long hospitals() const { return count("SELECT Count(*) FROM Nom_Spitale WHERE IdJudet=13"); }
    long long periods() const { return count("SELECT Count(*) FROM Nom_Perioade"); }
    const QString hospital = QStringLiteral("SJU01---") + kSpital;
};

TEST_F(RegisterNames, TheRegistersAndTheSheetsShowEveryNameWhole) {
    auto* spitale = open<velmora::frmSpitale>("mnuSpitale");
    ASSERT_TRUE(spitale);
    expectListed(spitale->cmbJudet(), 13, kJudet, counties());

    auto* sectii = open<velmora::frmSectii>("mnuSectii");
    ASSERT_TRUE(sectii);
    expectListed(sectii->cmbSpital(), 1, hospital, hospitals());
    expectListed(sectii->cmbSectie(), 1, QStringLiteral("MI---") + kTip, count("SELECT Count(*) FROM Lista_Sectii"));
    EXPECT_EQ(sectii->cmbSpital()->get("Cheie").toLong(), 1);

    auto* costSpital = open<velmora::frmCostSpital>("mnuCostSpital");
    ASSERT_TRUE(costSpital);
    expectListed(&costSpital->control("cmbPerioada"), 1, kPerioada, periods());
    expectListed(&costSpital->control("cmbSpital"), 1, hospital, hospitals());

    auto* costSectie = open<velmora::frmCostSectie>("mnuCostSectie");
    ASSERT_TRUE(costSectie);
    expectListed(&costSectie->control("cmbPerioada"), 1, kPerioada, periods());
    const long long wards = count("SELECT Count(*) FROM Lista_Sectii___Filtrat WHERE IdSpital=1");
    expectListed(&costSectie->control("cmbSectieFiltrat"), 1, QStringLiteral("MI---") + kTip + QStringLiteral("---1"),
                 wards);
    expectListed(&costSectie->control("cmbSectieFiltrat"), 8, QStringLiteral("MI---") + kTip + QStringLiteral("---2"),
                 wards);
    // A chosen ward of that name is stored under its own key.
    test::pickWithKeys(costSectie->control("cmbSectieFiltrat"), 8);
    EXPECT_EQ(costSectie->control("cmbSectieFiltrat").get("Text").toString(),
              (QStringLiteral("MI---") + kTip + QStringLiteral("---2")).toStdString());

    auto* export_ = open<velmora::frmExportDate>("mnuExport");
    ASSERT_TRUE(export_);
    expectListed(export_->cmbPerioada(), 1, kPerioada, periods());
    EXPECT_TRUE(boxes.shown().empty()) << boxes.shown()[0].text;
}

TEST_F(RegisterNames, TheSelectionConfigurationAndReportCombosShowEveryNameWhole) {
    for (int32_t kind = 0; kind < 4; ++kind) {
        velmora::frmSelect dialog(mainWindow());
        dialog.setTipSelect(static_cast<velmora::SelectKind>(kind));
        dialog.show();
        QCoreApplication::processEvents();
        switch (kind) {
        case 0: expectListed(dialog.combo("cmbJudet"), 13, kJudet, counties()); break;
        case 1:
            expectListed(dialog.combo("cmbPerioadaSpital"), 1, kPerioada, periods());
            expectListed(dialog.combo("cmbJudetSpital"), 13, kJudet, counties());
            expectListed(dialog.combo("cmbSpital"), 1, hospital, hospitals());
            break;
        case 2:
            expectListed(dialog.combo("cmbSpitalSectie"), 1, hospital, hospitals());
            // The hospital's wards are found and listed with the type's whole name.
            dialog.cmdCauta_Click();
            EXPECT_EQ(dialog.list(velmora::SelectKind::Sectii)->topLevelItemCount(),
                      count("SELECT Count(*) FROM Lista_Sectii___Filtrat WHERE IdSpital=1"));
            break;
        default: expectListed(dialog.combo("cmbPerioadaSectie"), 1, kPerioada, periods()); break;
        }
    }

    {
        velmora::frmConfigurare form(mainWindow());
        form.show();
        QCoreApplication::processEvents();
        expectListed(form.cmbJudet(), 13, kJudet, counties());
        expectListed(form.cmbSpital(), 1, hospital, hospitals());
        EXPECT_EQ(form.cmbSpital()->get("Cheie").toLong(), 1);
    }

    auto* reports = open<velmora::frmParametrizareRapoarte>("mnuRapoarte");
    ASSERT_TRUE(reports);
    QTreeWidget* tree = reports->trvRaport();
    tree->expandAll();
    QTreeWidgetItem* item = reports->node(QStringLiteral(":3"));  // a report with a county and a period
    ASSERT_TRUE(item);
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    expectListed(velmora::findControl(reports->picParametrii(), QStringLiteral("IdJudet")), 13, kJudet, counties());
    expectListed(velmora::findControl(reports->picParametrii(), QStringLiteral("IdPerioada")), 1, kPerioada, periods());
    EXPECT_TRUE(boxes.shown().empty()) << boxes.shown()[0].text;
}

}  // namespace

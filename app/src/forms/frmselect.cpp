#include "forms/frmselect.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "com/error.h"
#include "forms/business.h"
#include "forms/combos.h"
#include "forms/hostedcontrol.h"
#include "errors/messages.h"
#include "errors/errors.h"
#include "session/session.h"
#include "typelib/business/CostSheets.h"
#include "typelib/business/Sectie.h"
#include "typelib/business/Spital.h"
#include "typelib/quillon.h"

namespace velmora {
namespace {

namespace color = quillon::color;

struct Kind {
    const char* tab;
    const char* caption;  // appended to "Selectie"
    const char* listName;
    std::array<const char*, 3> columns;
    int columnCount;
};
constexpr std::array<Kind, 4> kKinds{{
    {"Spitale", "SPITAL", "lstSelectSpital", {"IdSpital", "Cod spital", "Denumire spital"}, 3},
    {"Velmora Spital", " sume velmora la nivel de spital", "lstSelectCostSpital", {"IdCost", "Perioada", ""}, 2},
    {"Sectii spital", " sectii spital", "lstSelectSectie", {"IdSectieFiltrat", "Cod sectie", "Nr. Sectie"}, 3},
    {"Velmora sectie", " sume velmora la nivel de sectie", "lstSelectCostSectie", {"IdCost", "Perioada", "Cod Sectie"},
     3},
}};

// Leading and trailing blanks off, as the lists show codes and names.
QString trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return QString::fromStdString(text.substr(first, last - first + 1));
}

QString number(int32_t value) { return QString::number(value); }

// Every item of a typed list, turned into the texts of one row.
template <class List, class Row>
QList<QTreeWidgetItem*> rowsOf(List& list, Row row) {
    QList<QTreeWidgetItem*> items;
    const int32_t count = list.get_Count();
    items.reserve(count);
    for (int32_t i = 1; i <= count; ++i) {
        const auto item = list.get_Item(com::Variant(i));
        if (item) items.append(new QTreeWidgetItem(row(*item)));
    }
    return items;
}

// Keeps the hourglass up for as long as it lives.
class Hourglass {
public:
    Hourglass() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
    ~Hourglass() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

frmSelect::frmSelect(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSelect"));
    setWindowTitle(QStringLiteral("Selectie"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    ssTab_ = new QTabWidget(this);
    ssTab_->setObjectName(QStringLiteral("ssTab"));
    layout->addWidget(ssTab_);

    const auto addCombo = [this](QGridLayout* grid, int row, const char* label, const char* name) {
        auto* caption = new QLabel(QString::fromLatin1(label), grid->parentWidget());
        grid->addWidget(caption, row, 0);
        HostedControl* combo = HostedControl::create("Quillon.MyCombo", grid->parentWidget(), QString::fromLatin1(name));
        combo->widget()->setMinimumWidth(300);
        caption->setBuddy(combo->widget());
        grid->addWidget(combo->widget(), row, 1);
        return combo;
    };
    for (size_t kind = 0; kind < kKinds.size(); ++kind) {
        auto* page = new QWidget(ssTab_);
        auto* grid = new QGridLayout(page);
        int row = 0;
        switch (kind) {
        case 0: cmbJudet_ = addCombo(grid, row++, " Judet:", "cmbJudet"); break;
        case 1:
            cmbPerioadaSpital_ = addCombo(grid, row++, " Perioada:", "cmbPerioadaSpital");
            cmbJudetSpital_ = addCombo(grid, row++, " Judet:", "cmbJudetSpital");
            cmbSpital_ = addCombo(grid, row++, " Spital:", "cmbSpital");
            break;
        case 2: cmbSpitalSectie_ = addCombo(grid, row++, " Spital:", "cmbSpitalSectie"); break;
        default: cmbPerioadaSectie_ = addCombo(grid, row++, " Perioada:", "cmbPerioadaSectie"); break;
        }
        auto* list = new QTreeWidget(page);
        list->setObjectName(QString::fromLatin1(kKinds[kind].listName));
        list->setRootIsDecorated(false);
        list->setUniformRowHeights(true);
        list->setAllColumnsShowFocus(true);
        QStringList headers;
        for (int c = 0; c < kKinds[kind].columnCount; ++c) headers << QString::fromLatin1(kKinds[kind].columns[c]);
        list->setHeaderLabels(headers);
        list->header()->setStretchLastSection(true);
        list->setColumnWidth(0, 110);
        if (kKinds[kind].columnCount == 3) list->setColumnWidth(1, kind == 2 ? 280 : 140);  // ward names are long
        // A double click, or Enter on the current row for a user of the keyboard.
        connect(list, &QTreeWidget::itemActivated, this,
                [this, list](QTreeWidgetItem* item) { onDoubleClick(list, item); });
        grid->addWidget(list, row, 0, 1, 2);
        grid->setColumnStretch(1, 1);
        lists_[kind] = list;
        ssTab_->addTab(page, QString::fromLatin1(kKinds[kind].tab));
    }
    // The county and hospital of the hospital sheets and the hospital of the wards are
    // the configured ones: the user cannot change them.
    for (HostedControl* locked : {cmbJudetSpital_, cmbSpital_, cmbSpitalSectie_}) {
        locked->put("Enabled", com::Variant(false));
        locked->put("BackColor", com::Variant(color::ActiveBorder));
    }
    for (HostedControl* open : {cmbJudet_, cmbPerioadaSpital_, cmbPerioadaSectie_})
        open->put("BackColor", com::Variant(color::CaptionText));
    connect(cmbJudetSpital_, &HostedControl::Click, this, [this] {
        GlobalUI::Trapped("frmSelect", "cmbJudetSpital_Click", [this] { cmbJudetSpital_Click(); });
    });

    auto* bottom = new QHBoxLayout;
    cmdCauta_ = new QPushButton(QStringLiteral("Cauta..."), this);
    cmdCauta_->setObjectName(QStringLiteral("cmdCauta"));
    cmdCauta_->setAutoDefault(false);
    lblCount_ = new QLabel(QStringLiteral("0"), this);
    lblCount_->setObjectName(QStringLiteral("lblCount"));
    lblCount_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblCount_->setMinimumWidth(60);
    lblTextCount_ = new QLabel(QStringLiteral("inregistrari"), this);
    lblTextCount_->setObjectName(QStringLiteral("lblTextCount"));
    bottom->addWidget(cmdCauta_);
    bottom->addStretch(1);
    bottom->addWidget(lblCount_);
    bottom->addWidget(lblTextCount_);
    layout->addLayout(bottom);
    connect(cmdCauta_, &QPushButton::clicked, this, &frmSelect::cmdCauta_Click);

    // Only the tab of the current kind is shown (activation picks it).
    for (int tab = 0; tab < ssTab_->count(); ++tab) ssTab_->setTabVisible(tab, false);
    resize(600, 440);
}

frmSelect::~frmSelect() = default;

HostedControl* frmSelect::combo(const char* name) const { return findControl(this, QString::fromLatin1(name)); }

void frmSelect::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (activated_) return;
    activated_ = true;
    GlobalUI::Trapped("frmSelect", "Form_Activate", [this] { activate(); });
}

void frmSelect::activate() {
    const GlobalUI::Session& s = GlobalUI::session();
    lblCount_->setText(QStringLiteral("0"));
    if (mlTipSelect_ < 0 || mlTipSelect_ > 3) return;
    const Kind& kind = kKinds[static_cast<size_t>(mlTipSelect_)];
    setWindowTitle(windowTitle() + QString::fromLatin1(kind.caption));
    ssTab_->setTabVisible(mlTipSelect_, true);
    ssTab_->setCurrentIndex(mlTipSelect_);
    tabStep();
    switch (mlTipSelect_) {
    case 0:
        refillCombo(*cmbJudet_, s.gListaJudete);
        if (s.gIdJudet != -1) {
            cmbJudet_->put("Enabled", com::Variant(false));
            cmbJudet_->put("BackColor", com::Variant(color::ButtonFace));
            selectKeyIfPresent(*cmbJudet_, s.gIdJudet);
        } else {
            cmbJudet_->put("Enabled", com::Variant(true));
            cmbJudet_->put("BackColor", com::Variant(color::CaptionText));
            if (cmbJudet_->get("ListCount").toLong() > 0) cmbJudet_->put("ListIndex", com::Variant(int16_t{0}));
        }
        break;
    case 1:
        refillCombo(*cmbPerioadaSpital_, s.gListaPerioade);
        refillCombo(*cmbJudetSpital_, s.gListaJudete);
        selectKeyIfPresent(*cmbJudetSpital_, s.gIdJudet);  // its Click fills the hospitals
        break;
    case 2:
        refillCombo(*cmbSpitalSectie_, s.gListaSpitale);
        selectKeyIfPresent(*cmbSpitalSectie_, s.gIdSpital);
        break;
    case 3:
        refillCombo(*cmbPerioadaSectie_, s.gListaPerioade);
        break;
    }
}

void frmSelect::tabStep() {
    switch (ssTab_->currentIndex()) {
    case 1: cmbPerioadaSpital_->widget()->setFocus(Qt::OtherFocusReason); break;
    case 3: cmbPerioadaSectie_->widget()->setFocus(Qt::OtherFocusReason); break;
    default: cmdCauta_->setFocus(Qt::OtherFocusReason); break;
    }
}

void frmSelect::cmbJudetSpital_Click() {
    com::callMethod(cmbSpital_->object(), "Clear");
    GlobalUI::FillCombo(cmbSpital_->object(), hospitalList(cheie(*cmbJudetSpital_)));
    selectKeyIfPresent(*cmbSpital_, GlobalUI::session().gIdSpital);
}

std::string frmSelect::buildWhere() const {
    const GlobalUI::Session& s = GlobalUI::session();
    const auto id = [](int32_t value) { return std::to_string(value); };
    switch (mlTipSelect_) {
    case 0:
        if (cmbJudet_->get("ListIndex").toLong() != -1) return " WHERE a.IdJudet=" + id(cheie(*cmbJudet_));
        // A configured county that the list does not hold still bounds the search.
        if (s.gIdJudet != -1) return " WHERE a.IdJudet=" + id(s.gIdJudet);
        return "";
    case 1: {
        std::string where;
        if (const int32_t period = cheie(*cmbPerioadaSpital_); period >= 1) where = " WHERE a.IdPerioada=" + id(period);
        if (const int32_t hospital = cheie(*cmbSpital_); hospital != -1)
            where += (where.empty() ? " WHERE a.IdSpital=" : " And a.IdSpital=") + id(hospital);
        return where;
    }
    case 2:
        if (cmbSpitalSectie_->get("ListIndex").toLong() != -1)
            return " WHERE a.IdSpital=" + id(cheie(*cmbSpitalSectie_));
        // The wards are always those of the configured hospital, listed or not.
        if (s.gIdSpital != -1) return " WHERE a.IdSpital=" + id(s.gIdSpital);
        return "";
    case 3:
        if (const int32_t period = cheie(*cmbPerioadaSectie_); period >= 1)
            return " WHERE a.IdPerioada=" + id(period) + " And a.IdSpital=" + id(s.gIdSpital);
        return " WHERE a.IdSpital=" + id(s.gIdSpital);
    default: return "";
    }
}

void frmSelect::cmdCauta_Click() {
    if (mlTipSelect_ < 0 || mlTipSelect_ > 3) return;
    Hourglass hourglass;
    GlobalUI::Trapped("frmSelect", "cmdCauta_Click", [this] {
        lists_[static_cast<size_t>(mlTipSelect_)]->clear();
        lblCount_->setText(QStringLiteral("0"));
        mcolResult_.reset();
        msWhere_ = buildWhere();
        static constexpr std::array<const char*, 4> classes{"Spital", "CostSpital", "Sectie", "CostSectie"};
        mcolResult_ = newEditedObject(classes[static_cast<size_t>(mlTipSelect_)]).loadList(msWhere_);
        if (!mcolResult_) com::raise(com::errc::ObjectNotSet, "frmSelect", "Cautarea nu a intors nici o lista.");
        fillList(*mcolResult_);
    });
}

void frmSelect::fillList(com::IDispatch& collection) {
    namespace vb = Velmora_Business;
    const com::ComPtr<com::IDispatch> held(&collection);
    QList<QTreeWidgetItem*> rows;
    switch (mlTipSelect_) {
    case 0:
        if (const auto list = held.query<vb::_Spitale>())
            rows = rowsOf(*list, [](vb::_Spital& item) {
                return QStringList{number(item.get_IdSpital()), trimmed(item.get_CodSpital()),
                                   trimmed(item.get_DenSpital())};
            });
        break;
    case 1:
        if (const auto list = held.query<vb::_CostSpital_S>())
            rows = rowsOf(*list, [](vb::_CostSpital& item) {
                return QStringList{number(item.get_IdCost()), trimmed(item.get_Perioada())};
            });
        break;
    case 2:
        if (const auto list = held.query<vb::_Sectii>())
            rows = rowsOf(*list, [](vb::_Sectie& item) {
                return QStringList{number(item.get_IdSectieFiltrat()), QString::fromStdString(item.get_CodSectie()),
                                   number(item.get_NrSectie())};
            });
        break;
    case 3:
        if (const auto list = held.query<vb::_CostSectie_S>())
            rows = rowsOf(*list, [](vb::_CostSectie& item) {
                return QStringList{number(item.get_IdCost()), QString::fromStdString(item.get_Perioada()),
                                   QString::fromStdString(item.get_CodSectie())};
            });
        break;
    default: return;
    }
    lblCount_->setText(QString::number(rows.size()));
    if (rows.isEmpty()) return noRowsFound();
    QTreeWidget* list = lists_[static_cast<size_t>(mlTipSelect_)];
    list->addTopLevelItems(rows);
    list->setFocus(Qt::OtherFocusReason);
    list->setCurrentItem(list->topLevelItem(0));
}

void frmSelect::noRowsFound() {
    showInfo("Nu exista inregistrari in baza pentru selectia efectuata !");
    switch (mlTipSelect_) {
    case 1: cmbPerioadaSpital_->widget()->setFocus(Qt::OtherFocusReason); break;
    case 3: cmbPerioadaSectie_->widget()->setFocus(Qt::OtherFocusReason); break;
    default: cmdCauta_->setFocus(Qt::OtherFocusReason); break;
    }
}

void frmSelect::onDoubleClick(QTreeWidget* list, QTreeWidgetItem* item) {
    if (!item) return;  // nothing chosen: the dialog stays open
    if (mlTipSelect_ < 0 || mlTipSelect_ > 3) return;
    {
        Hourglass hourglass;
        // Only the list of the current kind chooses; another one hands back the last id.
        if (list == lists_[static_cast<size_t>(mlTipSelect_)]) {
            const bool read = GlobalUI::Trapped("frmSelect", "lstSelect_DblClick", [&] {
                mlItemId_ = com::Variant(item->text(0).toStdString()).toLong();
            });
            if (!read) return;
        }
        emit ItemSelectat(mlItemId_, QString());
    }
    accept();
}

}  // namespace velmora

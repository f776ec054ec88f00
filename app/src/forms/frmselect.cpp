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
namespace vb = Velmora_Business;

// Leading and trailing blanks off, as the lists show codes and names.
QString trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return QString::fromStdString(text.substr(first, last - first + 1));
}

QString number(int32_t value) { return QString::number(value); }

// Every item of the typed list a search returned, turned into the texts of one row; no
// rows from a collection of another kind.
template <class List, class Row>
QList<QTreeWidgetItem*> rowsOf(com::IDispatch& collection, Row row) {
    QList<QTreeWidgetItem*> items;
    const auto list = com::ComPtr<com::IDispatch>(&collection).query<List>();
    if (!list) return items;
    const int32_t count = list->get_Count();
    items.reserve(count);
    for (int32_t i = 1; i <= count; ++i) {
        const auto item = list->get_Item(com::Variant(i));
        if (item) items.append(new QTreeWidgetItem(row(*item)));
    }
    return items;
}

QList<QTreeWidgetItem*> hospitalRows(com::IDispatch& collection) {
    return rowsOf<vb::_Spitale>(collection, [](vb::_Spital& item) {
        return QStringList{number(item.get_IdSpital()), trimmed(item.get_CodSpital()), trimmed(item.get_DenSpital())};
    });
}

QList<QTreeWidgetItem*> hospitalSheetRows(com::IDispatch& collection) {
    return rowsOf<vb::_CostSpital_S>(collection, [](vb::_CostSpital& item) {
        return QStringList{number(item.get_IdCost()), trimmed(item.get_Perioada())};
    });
}

QList<QTreeWidgetItem*> wardRows(com::IDispatch& collection) {
    return rowsOf<vb::_Sectii>(collection, [](vb::_Sectie& item) {
        return QStringList{number(item.get_IdSectieFiltrat()), QString::fromStdString(item.get_CodSectie()),
                           number(item.get_NrSectie())};
    });
}

QList<QTreeWidgetItem*> wardSheetRows(com::IDispatch& collection) {
    return rowsOf<vb::_CostSectie_S>(collection, [](vb::_CostSectie& item) {
        return QStringList{number(item.get_IdCost()), QString::fromStdString(item.get_Perioada()),
                           QString::fromStdString(item.get_CodSectie())};
    });
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

struct frmSelect::KindInfo {
    struct Combo {
        const char* label;
        const char* name;
        HostedControl* frmSelect::*member;
        bool locked;  // the configured county or hospital: the user cannot change it
    };
    SelectKind kind;
    const char* tab;
    const char* caption;  // appended to "Selectie"
    const char* listName;
    std::array<const char*, 3> columns;
    int columnCount;
    int secondColumnWidth;         // 0: the second column is the last and stretches
    std::array<Combo, 3> combos;   // in the order shown; unused ones have no name
    EditedObject (*newObject)();   // a new object of the class whose LoadList searches
    void (frmSelect::*prepare)();  // activation's part of the kind
    std::string (frmSelect::*where)() const;
    QList<QTreeWidgetItem*> (*rows)(com::IDispatch& collection);
    HostedControl* frmSelect::*focus;  // before a search and after an empty one; none: cmdCauta
};

std::span<const frmSelect::KindInfo, 4> frmSelect::kinds() {
    using F = frmSelect;
    static constexpr std::array<KindInfo, 4> table{{
        {SelectKind::Spitale,
         "Spitale",
         "SPITAL",
         "lstSelectSpital",
         {"IdSpital", "Cod spital", "Denumire spital"},
         3,
         140,
         {{{" Judet:", "cmbJudet", &F::cmbJudet_, false}}},
         &newEditedObject<Velmora_Business::_Spital>,
         &F::prepareSpitale,
         &F::whereSpitale,
         &hospitalRows,
         nullptr},
        {SelectKind::CostSpital,
         "Velmora Spital",
         " sume velmora la nivel de spital",
         "lstSelectCostSpital",
         {"IdCost", "Perioada", ""},
         2,
         0,
         {{{" Perioada:", "cmbPerioadaSpital", &F::cmbPerioadaSpital_, false},
           {" Judet:", "cmbJudetSpital", &F::cmbJudetSpital_, true},
           {" Spital:", "cmbSpital", &F::cmbSpital_, true}}},
         &newEditedObject<Velmora_Business::_CostSpital>,
         &F::prepareCostSpital,
         &F::whereCostSpital,
         &hospitalSheetRows,
         &F::cmbPerioadaSpital_},
        // Ward names are long.
        {SelectKind::Sectii,
         "Sectii spital",
         " sectii spital",
         "lstSelectSectie",
         {"IdSectieFiltrat", "Cod sectie", "Nr. Sectie"},
         3,
         280,
         {{{" Spital:", "cmbSpitalSectie", &F::cmbSpitalSectie_, true}}},
         &newEditedObject<Velmora_Business::_Sectie>,
         &F::prepareSectii,
         &F::whereSectii,
         &wardRows,
         nullptr},
        {SelectKind::CostSectie,
         "Velmora sectie",
         " sume velmora la nivel de sectie",
         "lstSelectCostSectie",
         {"IdCost", "Perioada", "Cod Sectie"},
         3,
         140,
         {{{" Perioada:", "cmbPerioadaSectie", &F::cmbPerioadaSectie_, false}}},
         &newEditedObject<Velmora_Business::_CostSectie>,
         &F::prepareCostSectie,
         &F::whereCostSectie,
         &wardSheetRows,
         &F::cmbPerioadaSectie_},
    }};
    static_assert([] {
        for (std::size_t i = 0; i < table.size(); ++i)
            if (table[i].kind != static_cast<SelectKind>(i)) return false;
        return true;
    }());
    return table;
}

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
        HostedControl* combo =
            HostedControl::create(quillon::my_combo::ProgId, grid->parentWidget(), QString::fromLatin1(name));
        combo->widget()->setMinimumWidth(300);
        caption->setBuddy(combo->widget());
        grid->addWidget(combo->widget(), row, 1);
        return combo;
    };
    for (const KindInfo& kind : kinds()) {
        auto* page = new QWidget(ssTab_);
        auto* grid = new QGridLayout(page);
        int row = 0;
        for (const KindInfo::Combo& entry : kind.combos) {
            if (!entry.name) continue;
            HostedControl* combo = addCombo(grid, row++, entry.label, entry.name);
            // The county and hospital of the hospital sheets and the hospital of the wards
            // are the configured ones.
            if (entry.locked) {
                combo->asCombo().setEnabled(false);
                combo->asCombo().setBackColor(color::ActiveBorder);
            } else {
                combo->asCombo().setBackColor(color::CaptionText);
            }
            this->*entry.member = combo;
        }
        auto* list = new QTreeWidget(page);
        list->setObjectName(QString::fromLatin1(kind.listName));
        list->setRootIsDecorated(false);
        list->setUniformRowHeights(true);
        list->setAllColumnsShowFocus(true);
        QStringList headers;
        for (int c = 0; c < kind.columnCount; ++c) headers << QString::fromLatin1(kind.columns[c]);
        list->setHeaderLabels(headers);
        list->header()->setStretchLastSection(true);
        list->setColumnWidth(0, 110);
        if (kind.secondColumnWidth > 0) list->setColumnWidth(1, kind.secondColumnWidth);
        // A double click, or Enter on the current row for a user of the keyboard.
        connect(list, &QTreeWidget::itemActivated, this,
                [this, list](QTreeWidgetItem* item) { onDoubleClick(list, item); });
        grid->addWidget(list, row, 0, 1, 2);
        grid->setColumnStretch(1, 1);
        lists_[static_cast<size_t>(kind.kind)] = list;
        ssTab_->addTab(page, QString::fromLatin1(kind.tab));
    }
    connect(cmbJudetSpital_, &HostedControl::Click, this,
            [this] { GlobalUI::Trapped("frmSelect", "cmbJudetSpital_Click", [this] { cmbJudetSpital_Click(); }); });

    auto* bottom = new QHBoxLayout;
    cmdCauta_ = new QPushButton(QStringLiteral("Cauta..."), this);
    cmdCauta_->setObjectName(QStringLiteral("cmdCauta"));
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

const frmSelect::KindInfo* frmSelect::current() const {
    return mlTipSelect_ ? &kinds()[static_cast<size_t>(*mlTipSelect_)] : nullptr;
}

HostedControl* frmSelect::combo(const char* name) const { return findControl(this, QString::fromLatin1(name)); }

void frmSelect::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (activated_) return;
    activated_ = true;
    GlobalUI::Trapped("frmSelect", "Form_Activate", [this] { activate(); });
}

void frmSelect::activate() {
    lblCount_->setText(QStringLiteral("0"));
    const KindInfo* kind = current();
    if (!kind) return;
    const int tab = static_cast<int>(kind->kind);
    setWindowTitle(windowTitle() + QString::fromLatin1(kind->caption));
    ssTab_->setTabVisible(tab, true);
    ssTab_->setCurrentIndex(tab);
    tabStep();
    (this->*kind->prepare)();
}

void frmSelect::prepareSpitale() {
    const GlobalUI::Session& s = GlobalUI::session();
    refillCombo(*cmbJudet_, s.lists().gListaJudete());
    if (s.config().gIdJudet() != -1) {
        cmbJudet_->asCombo().setEnabled(false);
        cmbJudet_->asCombo().setBackColor(color::ButtonFace);
        selectKeyIfPresent(*cmbJudet_, s.config().gIdJudet());
    } else {
        cmbJudet_->asCombo().setEnabled(true);
        cmbJudet_->asCombo().setBackColor(color::CaptionText);
        if (cmbJudet_->asCombo().listCount() > 0) cmbJudet_->asCombo().setListIndex(0);
    }
}

void frmSelect::prepareCostSpital() {
    const GlobalUI::Session& s = GlobalUI::session();
    refillCombo(*cmbPerioadaSpital_, s.lists().gListaPerioade());
    refillCombo(*cmbJudetSpital_, s.lists().gListaJudete());
    selectKeyIfPresent(*cmbJudetSpital_, s.config().gIdJudet());  // its Click fills the hospitals
}

void frmSelect::prepareSectii() {
    const GlobalUI::Session& s = GlobalUI::session();
    refillCombo(*cmbSpitalSectie_, s.lists().gListaSpitale());
    selectKeyIfPresent(*cmbSpitalSectie_, s.config().gIdSpital());
}

void frmSelect::prepareCostSectie() { refillCombo(*cmbPerioadaSectie_, GlobalUI::session().lists().gListaPerioade()); }

QWidget* frmSelect::focusTarget(const KindInfo& kind) const {
    return kind.focus ? (this->*kind.focus)->widget() : cmdCauta_;
}

void frmSelect::tabStep() {
    const int tab = ssTab_->currentIndex();
    QWidget* target =
        tab >= 0 && tab < static_cast<int>(kinds().size()) ? focusTarget(kinds()[static_cast<size_t>(tab)]) : cmdCauta_;
    target->setFocus(Qt::OtherFocusReason);
}

void frmSelect::cmbJudetSpital_Click() {
    cmbSpital_->asCombo().clear();
    GlobalUI::FillCombo(cmbSpital_->object(), hospitalList(cheie(*cmbJudetSpital_)));
    selectKeyIfPresent(*cmbSpital_, GlobalUI::session().config().gIdSpital());
}

std::string frmSelect::whereSpitale() const {
    if (cmbJudet_->asCombo().listIndex() != -1) return " WHERE a.IdJudet=" + std::to_string(cheie(*cmbJudet_));
    // A configured county that the list does not hold still bounds the search.
    if (const int32_t county = GlobalUI::session().config().gIdJudet(); county != -1)
        return " WHERE a.IdJudet=" + std::to_string(county);
    return "";
}

std::string frmSelect::whereCostSpital() const {
    std::string where;
    if (const int32_t period = cheie(*cmbPerioadaSpital_); period >= 1)
        where = " WHERE a.IdPerioada=" + std::to_string(period);
    if (const int32_t hospital = cheie(*cmbSpital_); hospital != -1)
        where += (where.empty() ? " WHERE a.IdSpital=" : " And a.IdSpital=") + std::to_string(hospital);
    return where;
}

std::string frmSelect::whereSectii() const {
    if (cmbSpitalSectie_->asCombo().listIndex() != -1)
        return " WHERE a.IdSpital=" + std::to_string(cheie(*cmbSpitalSectie_));
    // The wards are always those of the configured hospital, listed or not.
    if (const int32_t hospital = GlobalUI::session().config().gIdSpital(); hospital != -1)
        return " WHERE a.IdSpital=" + std::to_string(hospital);
    return "";
}

std::string frmSelect::whereCostSectie() const {
    const std::string hospital = std::to_string(GlobalUI::session().config().gIdSpital());
    if (const int32_t period = cheie(*cmbPerioadaSectie_); period >= 1)
        return " WHERE a.IdPerioada=" + std::to_string(period) + " And a.IdSpital=" + hospital;
    return " WHERE a.IdSpital=" + hospital;
}

void frmSelect::cmdCauta_Click() {
    const KindInfo* kind = current();
    if (!kind) return;
    Hourglass hourglass;
    GlobalUI::Trapped("frmSelect", "cmdCauta_Click", [this, kind] {
        lists_[static_cast<size_t>(kind->kind)]->clear();
        lblCount_->setText(QStringLiteral("0"));
        mcolResult_.reset();
        msWhere_ = (this->*kind->where)();
        mcolResult_ = kind->newObject().loadList(msWhere_);
        if (!mcolResult_) com::raise(com::errc::ObjectNotSet, "frmSelect", "Cautarea nu a intors nici o lista.");
        fillList(*mcolResult_);
    });
}

void frmSelect::fillList(com::IDispatch& collection) {
    const KindInfo* kind = current();
    if (!kind) return;
    const QList<QTreeWidgetItem*> rows = kind->rows(collection);
    lblCount_->setText(QString::number(rows.size()));
    if (rows.isEmpty()) return noRowsFound();
    QTreeWidget* list = lists_[static_cast<size_t>(kind->kind)];
    list->addTopLevelItems(rows);
    list->setFocus(Qt::OtherFocusReason);
    list->setCurrentItem(list->topLevelItem(0));
}

void frmSelect::noRowsFound() {
    showInfo("Nu exista inregistrari in baza pentru selectia efectuata !");
    if (const KindInfo* kind = current()) focusTarget(*kind)->setFocus(Qt::OtherFocusReason);
}

void frmSelect::onDoubleClick(QTreeWidget* list, QTreeWidgetItem* item) {
    if (!item) return;  // nothing chosen: the dialog stays open
    const KindInfo* kind = current();
    if (!kind) return;
    {
        Hourglass hourglass;
        // Only the list of the current kind chooses; another one hands back the last id.
        if (list == lists_[static_cast<size_t>(kind->kind)]) {
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

#include "screens/frmparametrizarerapoarte.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "com/error.h"
#include "forms/hostedcontrol.h"
#include "forms/screenhost.h"
#include "errors/messages.h"
#include "reports/report.h"
#include "screens/frmafisarerapoarte.h"
#include "screens/raportparametrii.h"
#include "forms/cache.h"
#include "errors/errors.h"
#include "forms/combos.h"
#include "session/session.h"
#include "typelib/quillon.h"
#include "typelib/twips.h"

namespace velmora {
namespace {

constexpr const char* kModule = "frmParametrizareRapoarte";
constexpr int kImageRole = Qt::UserRole;
constexpr int kKeyRole = Qt::UserRole + 1;
constexpr int kRowPitch = 600;        // twips between parameter rows
constexpr int32_t kNameExists = 727;  // the forms engine's "a control of that name exists"

using quillon::twips;

QString keyFor(int32_t id) { return QStringLiteral(":%1").arg(id); }

// Whether a catalogue location ("/" separating folders) names a place inside the folder:
// not an absolute path, no ".." above the folder, and no link on the way that leads out.
bool insideFolder(const std::filesystem::path& folder, const std::string& location) {
    namespace fs = std::filesystem;
    const fs::path relative(location);
    if (relative.has_root_path()) return false;
    const fs::path normal = relative.lexically_normal();
    if (!normal.empty() && *normal.begin() == "..") return false;
    std::error_code error;
    const fs::path base = fs::weakly_canonical(folder, error);
    if (error) return false;
    const fs::path target = fs::weakly_canonical(folder / relative, error);
    if (error) return false;
    const fs::path within = target.lexically_relative(base);
    return !within.empty() && *within.begin() != "..";
}

// The tree's three small images, drawn: a stack of pages (root), a folder, a page of text.
QIcon nodeIcon(int image) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(60, 60, 60));
    auto page = [&p](int x, int y) {
        p.setBrush(Qt::white);
        p.drawRect(x, y, 9, 12);
        for (int line = 0; line < 4; ++line) p.drawLine(x + 2, y + 3 + 2 * line, x + 7, y + 3 + 2 * line);
    };
    switch (image) {
    case frmParametrizareRapoarte::ImageRoot:
        page(1, 1);
        page(3, 2);
        page(5, 3);
        break;
    case frmParametrizareRapoarte::ImageFolder:
        p.setBrush(QColor(232, 190, 72));
        p.drawRect(1, 3, 6, 2);
        p.drawRect(1, 5, 14, 9);
        break;
    default: page(3, 1); break;
    }
    return QIcon(pixmap);
}

// The date as the report reads date text: "yyyy-MM-dd".
std::string dateText(const com::Variant& value) { return value.toDate().toIso().substr(0, 10); }

}  // namespace

frmParametrizareRapoarte::frmParametrizareRapoarte(QWidget* parent) : QWidget(parent) {
    setObjectName(QString::fromLatin1(kModule));
    setWindowTitle(QString::fromLatin1(kCaption));

    trvRaport_ = new QTreeWidget(this);
    trvRaport_->setObjectName(QStringLiteral("trvRaport"));
    trvRaport_->setHeaderHidden(true);
    trvRaport_->setColumnCount(1);
    trvRaport_->setSelectionMode(QAbstractItemView::SingleSelection);
    trvRaport_->viewport()->installEventFilter(this);

    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("scrollParametrii"));
    scroll_->setWidgetResizable(true);
    picParametrii_ = new QWidget;
    picParametrii_->setObjectName(QStringLiteral("picParametrii"));
    scroll_->setWidget(picParametrii_);

    auto* picture2 = new QWidget(this);
    picture2->setObjectName(QStringLiteral("Picture2"));
    cmdLansareRaport_ = new QPushButton(QStringLiteral("&Raport..."), picture2);
    cmdLansareRaport_->setObjectName(QStringLiteral("cmdLansareRaport"));
    cmdLansareRaport_->setEnabled(false);  // until a report is chosen
    // Shown only while a report's queries run: a notice above the buttons, and "Renunta".
    working_ = new QLabel(QStringLiteral("Se citesc datele raportului..."), this);
    working_->setObjectName(QStringLiteral("lblLucru"));
    working_->hide();
    cmdRenunta_ = new QPushButton(QStringLiteral("Renunta"), picture2);
    cmdRenunta_->setObjectName(QStringLiteral("cmdRenunta"));
    cmdRenunta_->hide();
    connect(cmdRenunta_, &QPushButton::clicked, this, [this] { stopAsked_ = true; });
    auto* buttons = new QHBoxLayout(picture2);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addStretch();
    buttons->addWidget(cmdRenunta_);
    buttons->addWidget(cmdLansareRaport_);

    auto* right = new QVBoxLayout;
    right->addWidget(scroll_, 1);
    right->addWidget(working_);
    right->addWidget(picture2);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(trvRaport_, 1);
    layout->addLayout(right, 1);
    // Room for the catalogue's names and for a parameter row with a scroll bar beside it.
    trvRaport_->setMinimumSize(300, 360);
    scroll_->setMinimumWidth(twips(2000 + 1710 + 300) + scroll_->verticalScrollBar()->sizeHint().width());

    setTabOrder(trvRaport_, cmdLansareRaport_);
    lastInTabOrder_ = trvRaport_;

    loadTree();

    connect(trvRaport_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (current) trvRaport_NodeClick(current);
    });
    // A click on the node that was already current chooses it again.
    connect(trvRaport_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        if (item == currentBeforePress_) trvRaport_NodeClick(item);
    });
    connect(cmdLansareRaport_, &QPushButton::clicked, this, &frmParametrizareRapoarte::cmdLansareRaport_Click);
}

frmParametrizareRapoarte::~frmParametrizareRapoarte() = default;

int frmParametrizareRapoarte::imageOf(const QTreeWidgetItem* node) {
    return node ? node->data(0, kImageRole).toInt() : 0;
}

QString frmParametrizareRapoarte::keyOf(const QTreeWidgetItem* node) {
    return node ? node->data(0, kKeyRole).toString() : QString();
}

bool frmParametrizareRapoarte::eventFilter(QObject* watched, QEvent* event) {
    if (watched == trvRaport_->viewport() && event->type() == QEvent::MouseButtonPress)
        currentBeforePress_ = trvRaport_->currentItem();
    return QWidget::eventFilter(watched, event);
}

// ---- Tree ------------------------------------------------------------------------------

void frmParametrizareRapoarte::loadTree() {
    if (!GlobalUI::gCache() || !GlobalUI::gCache()->Rapoarte())
        com::raise(com::errc::ObjectNotSet, kModule, "Catalogul rapoartelor nu este incarcat.");
    Velmora_Business::_Rapoarte& rapoarte = *GlobalUI::gCache()->Rapoarte();

    std::vector<const Row*> ordered;  // catalogue order: ascending IdRaport
    const int32_t count = rapoarte.get_Count();
    for (int32_t position = 1; position <= count; ++position) {
        const com::ComPtr<Velmora_Business::_Raport> item = rapoarte.get_Item(com::Variant(position));
        if (!item) continue;
        Row row;
        row.id = item->get_IdRaport();
        row.den = item->get_DenRaport();
        row.parent = item->get_IdParinte();
        row.tip = item->get_TipRaport();
        row.parametrii = item->get_Parametrii();
        row.locatie = item->get_Locatie();
        const auto [at, added] = rows_.emplace(keyFor(row.id), std::move(row));
        if (added) ordered.push_back(&at->second);
    }

    // A catalogue without its root row shows an empty tree.
    const auto root = rows_.find(keyFor(1));
    if (root == rows_.end()) return;
    auto* rootNode = new QTreeWidgetItem(trvRaport_, {QString::fromStdString(root->second.den)});
    rootNode->setData(0, kImageRole, ImageRoot);
    rootNode->setData(0, kKeyRole, root->first);
    rootNode->setIcon(0, nodeIcon(ImageRoot));
    nodes_.insert(root->first, rootNode);

    // Depth first, each row's children right after it, siblings in catalogue order. A row
    // already in the tree (its own parent, or on a cycle through the root) is not added twice.
    std::vector<std::pair<int32_t, QTreeWidgetItem*>> pending{{1, rootNode}};
    while (!pending.empty()) {
        const auto [parentId, parentNode] = pending.back();
        pending.pop_back();
        std::vector<std::pair<int32_t, QTreeWidgetItem*>> children;
        for (const Row* row : ordered) {
            if (row->parent != parentId || row->parent == 0) continue;
            const QString key = keyFor(row->id);
            if (nodes_.contains(key)) continue;
            const int image = row->tip == "F" ? ImageFolder : ImageReport;
            auto* child = new QTreeWidgetItem(parentNode, {QString::fromStdString(row->den)});
            child->setData(0, kImageRole, image);
            child->setData(0, kKeyRole, key);
            child->setIcon(0, nodeIcon(image));
            nodes_.insert(key, child);
            children.emplace_back(row->id, child);
        }
        // Children are expanded in order: the first one's subtree before its next sibling's.
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }

    trvRaport_->setCurrentItem(rootNode);
    rootNode->setSelected(true);
    rootNode->setExpanded(true);
}

// ---- Choosing a node -------------------------------------------------------------------

void frmParametrizareRapoarte::trvRaport_NodeClick(QTreeWidgetItem* clicked) {
    GlobalUI::Trapped(kModule, "trvRaport_NodeClick", [&] {
        if (QTreeWidgetItem* previous = node(chosenKey_))
            previous->setForeground(0, palette().color(QPalette::WindowText));
        clicked->setForeground(0, QColor(0, 0, 255));
        chosenKey_ = keyOf(clicked);

        removeParameterControls();
        cmdLansareRaport_->setEnabled(imageOf(clicked) == ImageReport);

        const Row* row = chosenRow();
        if (!row || row->parametrii.empty()) return;
        try {
            for (const ParametruRaport& parameter : parseParametrii(row->parametrii)) {
                addParameterControls(parameter);
                parameters_.push_back(parameter);
            }
        } catch (...) {
            // A report whose parameters cannot all be shown is not launched with a part of them.
            removeParameterControls();
            cmdLansareRaport_->setEnabled(false);
            throw;
        }
    });
}

const frmParametrizareRapoarte::Row* frmParametrizareRapoarte::chosenRow() const {
    const auto found = rows_.find(chosenKey_);
    return found == rows_.end() ? nullptr : &found->second;
}

void frmParametrizareRapoarte::requireFreeName(const QString& name) const {
    if (findChild<QObject*>(name))
        com::raise(kNameExists, kModule,
                   "Exista deja un control cu numele \"" + name.toStdString() +
                       "\": doi parametri ai raportului au acelasi nume.");
}

void frmParametrizareRapoarte::placeRow(QWidget* widget, int leftTwips, int topTwips, int widthTwips) {
    const int height = widget->height() > 0 ? widget->height() : widget->sizeHint().height();
    widget->setGeometry(twips(leftTwips), twips(topTwips), twips(widthTwips), height);
    const QRect used = picParametrii_->childrenRect();
    picParametrii_->setMinimumSize(used.right() + twips(100), used.bottom() + twips(100));
}

void frmParametrizareRapoarte::addLabel(const QString& name, const QString& caption, int topTwips) {
    requireFreeName(name);
    auto* label = new QLabel(caption, picParametrii_);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->adjustSize();
    label->move(twips(100), twips(topTwips));
    label->show();
    added_.append(name);
}

void frmParametrizareRapoarte::addParameterControls(const ParametruRaport& parameter) {
    const GlobalUI::Session& s = GlobalUI::session();
    const QString name = QString::fromStdString(parameter.name);
    const int top = (parameter.row - 1) * kRowPitch;

    HostedControl* control = nullptr;
    if (parameter.control == ParametruControl::MyCombo) {
        QString caption;
        if (parameter.name == "IdJudet") caption = QStringLiteral("Judetul:");
        else if (parameter.name == "IdPerioada") caption = QStringLiteral("Perioada:");
        addLabel(name + QStringLiteral("_Label"), caption, top + 350);
        requireFreeName(name);
        control = HostedControl::create(quillon::my_combo::ProgId, picParametrii_, name);
        added_.append(name);
        if (parameter.name == "IdJudet") {
            control->asCombo().clear();
            GlobalUI::FillCombo(control->object(), s.lists().gListaJudete());
            // A configured county missing from the list leaves the combo without a choice.
            try {
                control->asCombo().setCheie(s.config().gIdJudet());
            } catch (const com::Error& e) {
                if (e.number() != com::errc::InvalidProcedureCall) throw;
            }
        } else if (parameter.name == "IdPerioada") {
            control->asCombo().clear();
            GlobalUI::FillCombo(control->object(), s.lists().gListaPerioade());
        }
    } else {
        addLabel(name + QStringLiteral("_Label"), name, top + 350);
        requireFreeName(name);
        control = HostedControl::create(quillon::control_personal::ProgId, picParametrii_, name);
        added_.append(name);
        if (parameter.tipData) {
            control->asEntry().setTipData(*parameter.tipData);
            if (*parameter.tipData == quillon::TipData::Data) {
                const StartDate start = startDate(parameter, today_());
                if (start.date)
                    control->asEntry().setValoare(
                        com::Date::fromYmd(start.date->year(), start.date->month(), start.date->day()));
                else if (!start.text.empty()) control->asEntry().setValoare(start.text);
            }
        }
    }
    placeRow(control->widget(), 2000, top + 320, 1710);

    // Tab goes from the tree through the parameters, in their order, to "Raport...". A
    // control takes the focus through the inner widget it names as its proxy.
    QWidget* stop = control->widget();
    while (stop->focusProxy()) stop = stop->focusProxy();
    setTabOrder(lastInTabOrder_, stop);
    setTabOrder(stop, cmdLansareRaport_);
    lastInTabOrder_ = stop;
}

void frmParametrizareRapoarte::removeParameterControls() {
    while (!added_.isEmpty()) {
        const QString name = added_.takeLast();
        if (HostedControl* control = findControl(picParametrii_, name)) delete control;
        else delete picParametrii_->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
    }
    parameters_.clear();
    lastInTabOrder_ = trvRaport_;
    picParametrii_->setMinimumSize(0, 0);
}

// ---- Launch ----------------------------------------------------------------------------

void frmParametrizareRapoarte::cmdLansareRaport_Click() {
    // One report is shown at a time: an open viewer is brought to the front instead.
    if (frmAfisareRapoarte* open = frmAfisareRapoarte::openViewer()) {
        ScreenHost* host = ScreenHost::of(this);
        if (!host || !host->activateChild(open)) {
            open->raise();
            open->activateWindow();
        }
        return;
    }
    const Row* row = chosenRow();
    if (!row) return;
    GlobalUI::Trapped(kModule, "cmdLansareRaport_Click", [&] { launch(*row); });
}

void frmParametrizareRapoarte::launch(const Row& row) {
    GlobalUI::Session& s = GlobalUI::session();
    std::string locatie = row.locatie;
    std::replace(locatie.begin(), locatie.end(), '\\', '/');
    const std::filesystem::path folder = GlobalUI::programFolder();
    if (!insideFolder(folder, locatie)) {
        showInfo("Locatia raportului " + row.locatie + " (randul " + std::to_string(row.id) +
                 " al catalogului) nu este in folderul programului.");
        return;
    }
    const std::string path = folder.string() + "/" + locatie;
    // A folder at that path (an empty location names the program's folder) is no report.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        showInfo("Raportul nu exista la locatia cautata: \r\n\r\n" + path);
        return;
    }

    s.gReport.reset();
    if (!s.gReportApp) s.gReportApp = std::make_shared<reports::Application>();
    std::shared_ptr<reports::Report> report = s.gReportApp->OpenReport(path, 1);
    reports::DatabaseTable& table = report->Database().Tables(1);
    if (!s.config().gMyFiserAcces().empty())
        table.setWorkgroupFile(s.config().gMyPath() + "/" + s.config().gMyFiserAcces());
    table.SetLogOnInfo(s.config().gMyFiserDSN(), s.config().gMyPath() + "/" + s.config().gMyFiserDSN(),
                       s.account().gUser, s.account().gPassword);
    report->AlwaysRefreshData(true);
    passParameters(*report);
    report->setProgressCheck([this] { return keepGoing(); });
    s.gReport = report;

    // While the queries run the screen says so and offers "Renunta"; nothing else of it
    // can be used until they end.
    running_ = true;
    stopAsked_ = false;
    trvRaport_->setEnabled(false);
    scroll_->setEnabled(false);
    cmdLansareRaport_->setEnabled(false);
    working_->show();
    cmdRenunta_->show();
    cmdRenunta_->setFocus();
    QApplication::setOverrideCursor(Qt::BusyCursor);
    sinceEvents_.start();
    QApplication::processEvents();
    struct Finish {
        frmParametrizareRapoarte& screen;
        ~Finish() {
            QApplication::restoreOverrideCursor();
            screen.running_ = false;
            const bool focused = screen.cmdRenunta_->hasFocus();  // not when the viewer took it
            screen.working_->hide();
            screen.cmdRenunta_->hide();
            screen.trvRaport_->setEnabled(true);
            screen.scroll_->setEnabled(true);
            screen.cmdLansareRaport_->setEnabled(true);
            if (focused) screen.cmdLansareRaport_->setFocus();
        }
    } finish{*this};
    try {
        showViewer(row);
    } catch (const com::Error& e) {
        s.gReport.reset();
        if (e.number() == reports::errc::Cancelled && stopAsked_) return;  // the user's own choice
        throw;
    } catch (...) {
        s.gReport.reset();
        throw;
    }
}

bool frmParametrizareRapoarte::keepGoing() {
    // The window handles its events (a click on "Renunta" among them) about twenty times a
    // second while the queries run on this same thread.
    if (sinceEvents_.elapsed() >= 50) {
        QApplication::processEvents();
        sinceEvents_.restart();
    }
    return !stopAsked_;
}

void frmParametrizareRapoarte::closeEvent(QCloseEvent* event) {
    // A run in progress is stopped first; the screen closes once it has ended.
    if (running_) {
        stopAsked_ = true;
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void frmParametrizareRapoarte::passParameters(reports::Report& report) const {
    reports::ParameterFields& fields = report.ParameterFields();
    for (const ParametruRaport& parameter : parameters_) {
        const HostedControl* control = findControl(picParametrii_, QString::fromStdString(parameter.name));
        reports::ParameterField* field = fields.find(reportFieldName(parameter));
        if (!control || !field) continue;  // a parameter the report does not have keeps its default
        field->ClearCurrentValueAndRange();
        if (parameter.control == ParametruControl::MyCombo) {
            field->AddCurrentValue(com::Variant(control->asCombo().cheie()));
            continue;
        }
        // An empty entry passes nothing: the report's default applies, or its run names the
        // parameter left without a value.
        const com::Variant value = control->asEntry().valoare();
        if (value.isNull() || value.isEmpty()) continue;
        const auto kind = control->asEntry().tipData();
        if (kind == quillon::TipData::Data) {
            field->AddCurrentValue(com::Variant(dateText(value)));
        } else if (kind == quillon::TipData::Numar) {
            try {
                field->AddCurrentValue(com::Variant(value.toInteger()));
            } catch (const com::Error&) {
                field->AddCurrentValue(com::Variant(value.toLong()));
            }
        } else {
            field->AddCurrentValue(com::Variant(value.toString()));
        }
    }
}

void frmParametrizareRapoarte::showViewer(const Row& row) {
    auto viewer = std::make_unique<frmAfisareRapoarte>();
    viewer->setWindowTitle(QString::fromLatin1(frmAfisareRapoarte::kCaption) + QString::fromStdString(row.den));
    viewer->ViewReport(GlobalUI::session().gReport);

    frmAfisareRapoarte* shown = viewer.get();
    if (ScreenHost* host = ScreenHost::of(this)) {
        host->openChild(std::move(viewer),
                        host->childAreaSize().boundedTo(QSize(1000, 720)).expandedTo(QSize(640, 480)));
    } else {
        shown->setAttribute(Qt::WA_DeleteOnClose);
        viewer.release()->show();
    }
    shown->markOpen();
}

}  // namespace velmora

// MyGrid's binding: the host's column definitions, the snapshot of the source's items
// with their totals and marks, the list editors and their keys, formulas and single cells
// read again.
#include <algorithm>
#include <optional>

#include "com/lookup_list.h"
#include "expression.h"
#include "grid_edit.h"
#include "grid_view.h"
#include "my_combo.h"
#include "my_grid.h"
#include "property_values.h"

namespace quillon {

namespace {

bool isZeroDate(const com::Variant& value) {
    if (const auto* d = value.get<com::Date>()) return d->serial() == 0;
    return value.isNumber() && value.toDouble() == 0;
}

}  // namespace

// ---- Binding ---------------------------------------------------------------------------

void MyGrid::setSursaDate(const com::Variant& value) {
    edit_->leaveBeforeRebind();
    try {
        source_ = com::ComPtr<Gravlin::ModelColectie>();
        areSursaDate_ = false;
        const com::ComPtr<com::IUnknown> object = value.toObject();
        if (!object) com::raise(com::errc::ObjectNotSet, "");
        source_ = object.query<Gravlin::ModelColectie>();
        if (!source_) com::raise(com::errc::TypeMismatch, "");
        bind();
        areSursaDate_ = true;
        track();
    } catch (const com::Error& e) {
        areSursaDate_ = false;
        com::raise(e.number(), "MyGrid-SursaDate", e.description());
    }
}

void MyGrid::bind() {
    fill();
    for (int k = 1; k < table_.cols(); ++k) fg_->setColumnWidth(k - 1, twips(table_.column(k).widthTwips));
    // The first data cell becomes the current one.
    if (table_.rows() > table_.fixedRows() && table_.cols() > 1) setCurrentCell(table_.fixedRows(), 1);
}

void MyGrid::fill() {
    Gravlin::ModelColectie& src = *source_;
    edit_->discard();
    resetSource();
    const RedrawOff guard(*fg_, *model_);

    const int cols = src.GetFieldCount() + 1;
    const int count = src.Count();
    const int fixedRows = areTotal_ ? 2 : 1;
    const int rows = count < 1 ? fixedRows + 1 : fixedRows + count + (permitRandNou_ ? 1 : 0);
    table_.reset(std::max(cols, 1), rows, fixedRows);
    const int lastItemRow = count < 1 ? fixedRows - 1 : fixedRows + count - 1;
    const auto itemOf = [&](int r) { return areTotal_ ? r - 1 : r; };
    // Rows of items carry their index; the empty line keeps 0.
    for (int r = fixedRows; r <= lastItemRow; ++r) table_.row(r).rowData = itemOf(r);
    // Deleted items are known before their amounts are summed: a deleted item is in no total.
    for (int r = fixedRows; r <= lastItemRow; ++r) table_.row(r).struck = src.IsDeleted(itemOf(r));

    columns_.assign(static_cast<size_t>(std::max(0, cols - 1)), ColumnDefinition{});
    // The host's answers carry over from one column to the next.
    std::vector<com::Variant> args{com::Variant(""),         com::Variant(int32_t{0}), com::Variant(int32_t{0}),
                                   com::Variant(int16_t{0}), com::Variant(false),      com::Variant(int32_t{0}),
                                   com::Variant(false),      com::Variant(int16_t{0}), com::Variant(false),
                                   com::Variant(false),      com::Variant(""),         com::Variant(int32_t{0}),
                                   com::Variant(),           com::Variant(""),         com::Variant("")};
    for (int k = 1; k < cols; ++k) {
        args[0] = com::Variant(src.GetFieldName(k));
        raiseEvent(my_grid::event::SetareSursa, args);
        ColumnDefinition& def = definition(k);
        def.numeColoana = args[0].toString();
        def.tipControl = args[1].toLong();
        def.controlPersonalTip = args[2].toLong();
        def.nrZecimale = toByte(args[3]);
        def.permitSelectManual = args[4].toBool();
        def.aliniere = args[5].toLong();
        def.enableEdit = args[6].toBool();
        def.latime = args[7].toInteger();
        def.membruFormula = args[8].toBool();
        def.formula = args[9].toBool();
        def.definireFormula = args[10].toString();
        def.agregare = areTotal_ ? args[11].toLong() : static_cast<int32_t>(Agregare::aNimic);
        def.totalAgregare = Amount::zero(def.nrZecimale);
        def.sirCombo = args[13].toString();
        def.coloaneRefresh = args[14].toString();

        if (def.is(Tip::eComboBx)) {
            addComboColumn(rows - fixedRows - 1, comboCounter_ - 1);
            loadCombo(k, def.sirCombo);
        }
        if (def.isPersonal(PersonalTip::eSelect)) selectionKeys(k).resize(static_cast<size_t>(rows - fixedRows), 0);

        GridTable::Column& column = table_.column(k);
        column.caption = QString::fromStdString(def.numeColoana);
        column.widthTwips = std::max<int>(0, def.latime);
        if (areTotal_) {
            if (def.agregare != static_cast<int32_t>(Agregare::aNimic)) column.total = Amount::zero(def.nrZecimale);
            else column.total = std::string("----");
        }
        switch (def.aliniere) {
        case 0: column.alignment = GridTable::AlignLeftCenter; break;
        case 1: column.alignment = GridTable::AlignRightCenter; break;
        case 2: column.alignment = GridTable::AlignCenter; break;
        default: break;
        }
        // Read-only unless editable and there are items or lines may be added.
        column.readOnly = !(def.enableEdit && (count >= 1 || permitRandNou_));
    }

    // The items, line by line; the amounts of items not deleted add up in their totals.
    std::vector<Amount> totals;
    for (int k = 1; k < cols; ++k) totals.push_back(Amount::zero(definition(k).nrZecimale));
    for (int r = fixedRows; r <= lastItemRow; ++r) {
        const int32_t index = itemOf(r);
        const bool counted = areTotal_ && !table_.row(r).struck;
        Cell* line = cols > 1 ? &table_.cell(r, 1) : nullptr;
        for (int k = 1; k < cols; ++k) {
            const ColumnDefinition& def = columns_[static_cast<size_t>(k - 1)];
            const Amount* amount = storeCell(def, line[k - 1], src.GetData(k, index), r - fixedRows, k);
            if (amount && counted && def.sums()) totals[static_cast<size_t>(k - 1)].add(*amount);  // one scale
        }
    }
    // The empty line has no item to read.
    for (int r = lastItemRow + 1; r < rows; ++r)
        for (int k = 1; k < cols; ++k) writeBlankCell(r, k);
    for (int k = 1; k < cols && areTotal_; ++k) {
        ColumnDefinition& def = definition(k);
        if (!def.sums()) continue;
        table_.column(k).total = totals[static_cast<size_t>(k - 1)];
        def.totalAgregare = totals[static_cast<size_t>(k - 1)];
    }
    // Every second line shaded.
    for (int r = fixedRows + 1; r < rows; r += 2) table_.row(r).shaded = true;
}

void MyGrid::resetSource() {
    columns_.clear();
    resetCombo();
    cheiSelectie_.clear();
}

const MyGrid::ColumnDefinition& MyGrid::definition(int col) const {
    if (col < 1 || col > static_cast<int>(columns_.size())) com::raise(com::errc::SubscriptOutOfRange, "");
    return columns_[static_cast<size_t>(col - 1)];
}

MyGrid::ColumnDefinition& MyGrid::definition(int col) {
    return const_cast<ColumnDefinition&>(std::as_const(*this).definition(col));
}

std::vector<int32_t>& MyGrid::selectionKeys(int col) {
    auto& keys = cheiSelectie_[col];
    keys.resize(static_cast<size_t>(std::max(table_.dataRows(), 0)), 0);
    return keys;
}

const Amount* MyGrid::storeCell(const ColumnDefinition& def, Cell& cell, com::Variant&& value, int dataRow, int col) {
    if (def.is(Tip::eComboBx) || def.isPersonal(PersonalTip::eSelect)) {
        if (value.isNull()) {
            cell = std::monostate{};
            return nullptr;
        }
        // A text value is read where it stands, not copied first.
        const std::string* stored = value.get<std::string>();
        auto [key, text] = stored ? keyedValue(*stored) : keyedValue(value.toString());
        if (def.is(Tip::eComboBx)) setComboKey(dataRow, def.indexCombo, key);
        else selectionKeys(col).at(static_cast<size_t>(dataRow)) = key;
        cell = std::move(text);
    } else if (def.is(Tip::eCheckBx)) {
        if (value.isNull()) cell = std::string("False");
        else cell = std::move(value);
    } else if (def.isPersonal(PersonalTip::eNumar)) {
        const bool empty = value.isNull() || (value.get<std::string>() && value.get<std::string>()->empty());
        cell = empty ? Amount::zero(def.nrZecimale) : Amount::of(value, def.nrZecimale);
        return &std::get<Amount>(cell);
    } else if (def.isPersonal(PersonalTip::eData)) {
        if (value.isNull() || isZeroDate(value)) {
            cell = std::monostate{};
        } else {
            try {
                cell = ShownDate{value.toDate()};
            } catch (const com::Error&) {
                cell = std::move(value);  // a text that is no date shows as it stands
            }
        }
    } else if (def.isPersonal(PersonalTip::eNimic) || value.isNull()) {
        cell = std::monostate{};
    } else {  // text and account columns: the value, as text when shown
        cell = std::move(value);
    }
    return nullptr;
}

void MyGrid::writeCell(int row, int col, com::Variant value) {
    const ColumnDefinition& def = definition(col);
    Cell& cell = table_.cell(row, col);
    const Amount old = def.isPersonal(PersonalTip::eNumar) ? cellAmount(row, col) : Amount{};
    const Amount* amount = storeCell(def, cell, std::move(value), row - table_.fixedRows(), col);
    // A deleted item counts in no total.
    if (amount && table_.hasTotals() && def.sums() && !table_.row(row).struck) adjustTotal(col, *amount - old);
}

void MyGrid::writeBlankCell(int row, int col) {
    const ColumnDefinition& def = definition(col);
    Cell& cell = table_.cell(row, col);
    const int dataRow = row - table_.fixedRows();
    if (def.is(Tip::eComboBx)) {
        setComboKey(dataRow, def.indexCombo, -1);
        cell = std::string();
    } else if (def.is(Tip::eCheckBx)) {
        cell = std::string("False");
    } else if (def.isPersonal(PersonalTip::eNumar)) {
        cell = Amount::zero(def.nrZecimale);
    } else {
        if (def.isPersonal(PersonalTip::eSelect)) selectionKeys(col).at(static_cast<size_t>(dataRow)) = 0;
        cell = std::monostate{};
    }
}

Amount MyGrid::cellAmount(int row, int col) const {
    const Cell& cell = table_.cell(row, col);
    const int decimals = definition(col).nrZecimale;
    if (const auto* a = std::get_if<Amount>(&cell)) return a->at(decimals);
    if (const auto* s = std::get_if<std::string>(&cell); s && !s->empty())
        return Amount::of(com::Variant(*s), decimals);
    if (const auto* v = std::get_if<com::Variant>(&cell); v && !v->isNull() && !cellText(cell).isEmpty())
        return Amount::of(*v, decimals);
    return Amount::zero(decimals);
}

Amount MyGrid::adjustedTotal(int col, const Amount& difference) const {
    const GridTable::Column& column = table_.column(col);
    const Amount total = std::holds_alternative<Amount>(column.total) ? std::get<Amount>(column.total)
                                                                      : Amount::zero(definition(col).nrZecimale);
    return total + difference;
}

// The totals cell moves by `difference`; its text and the column's total follow.
void MyGrid::adjustTotal(int col, const Amount& difference) {
    const Amount total = adjustedTotal(col, difference);
    table_.column(col).total = total;
    definition(col).totalAgregare = total;
}

void MyGrid::sumColumn(int col) {
    Amount total = Amount::zero(definition(col).nrZecimale);
    for (int r = table_.fixedRows(); r < table_.rows(); ++r)
        if (!table_.row(r).struck) total = total + cellAmount(r, col);
    table_.column(col).total = total;
    definition(col).totalAgregare = total;
}

void MyGrid::rereadLine(int row) {
    GridTable::Row& line = table_.row(row);
    // A new line whose first value never reached the source has no item yet.
    if (line.rowData < 0 || line.rowData > source().Count()) line.rowData = 0;
    std::optional<com::Error> failure;
    const auto attempt = [&failure](auto&& action) {
        try {
            action();
        } catch (const com::Error& e) {
            if (!failure) failure = e;
        }
    };
    for (int k = 1; k < table_.cols(); ++k)
        attempt([&] {
            if (line.rowData == 0) writeBlankCell(row, k);
            else
                storeCell(definition(k), table_.cell(row, k), source().GetData(k, line.rowData),
                          row - table_.fixedRows(), k);
        });
    for (int k = 1; k < table_.cols() && table_.hasTotals(); ++k)
        if (definition(k).sums()) attempt([&] { sumColumn(k); });
    cellsChanged(row);
    if (failure) throw *failure;
}

Amount MyGrid::updateTotal(Enumeratori::TipSemn sign, const Amount& total, const com::Variant& amount, int decimals) {
    const Amount value = amount.isNull() ? Amount::zero(decimals) : Amount::of(amount, decimals);
    const Amount rounded = total.at(decimals);
    return sign == Enumeratori::TipSemn::Minus ? rounded - value : rounded + value;
}

// ---- List editors and keys ---------------------------------------------------------------

void MyGrid::resetCombo() {
    try {
        cheiCombo_.clear();
        comboCounter_ = 1;
        edit_->resetCombos();
    } catch (const com::Error& e) {
        com::raise(e.number(), "MyGrid-ResetCombo", e.description());
    }
}

void MyGrid::loadCombo(int col, const std::string& list) {
    try {
        if (comboCounter_ > 1) edit_->addCombo();
        ColumnDefinition& def = definition(col);
        def.indexCombo = static_cast<int16_t>(comboCounter_ - 1);
        MyCombo& combo = edit_->combo(def.indexCombo);
        com::forEachLookupRow(list, "MyGrid-LoadCombo", [&combo](const com::LookupRow& row) {
            combo.addItem(QString::fromUtf8(row.text.data(), static_cast<qsizetype>(row.text.size())), row.id);
        });
        ++comboCounter_;
    } catch (const com::Error& e) {
        com::raise(e.number(), "MyGrid-LoadCombo", e.description());
    }
}

void MyGrid::addComboColumn(int lastRow, int list) {
    if (list < 0) return;
    if (cheiCombo_.size() < static_cast<size_t>(list + 1)) cheiCombo_.resize(static_cast<size_t>(list + 1));
    for (auto& keys : cheiCombo_) keys.resize(static_cast<size_t>(lastRow + 1), -1);
    std::fill(cheiCombo_[static_cast<size_t>(list)].begin(), cheiCombo_[static_cast<size_t>(list)].end(), -1);
}

void MyGrid::growComboKeys(int rows, int lists) {
    if (cheiCombo_.size() < static_cast<size_t>(lists)) cheiCombo_.resize(static_cast<size_t>(lists));
    for (auto& keys : cheiCombo_) {
        keys.resize(static_cast<size_t>(rows), -1);
        if (!keys.empty()) keys.back() = -1;
    }
}

int32_t MyGrid::getComboKey(int dataRow, int list) const {
    return cheiCombo_.at(static_cast<size_t>(list)).at(static_cast<size_t>(dataRow));
}

void MyGrid::setComboKey(int dataRow, int list, int32_t key) {
    cheiCombo_.at(static_cast<size_t>(list)).at(static_cast<size_t>(dataRow)) = key;
}

// ---- Formulas and single cells ---------------------------------------------------------

com::Variant MyGrid::evaluateFormula(const std::string& formula, int32_t index) {
    std::string script;
    std::string rest = formula;
    for (size_t hash = rest.find('#'); hash != std::string::npos; hash = rest.find('#')) {
        script += rest.substr(0, hash);
        const size_t close = rest.find('#', hash + 1);
        if (close == std::string::npos) com::raise(com::errc::InvalidProcedureCall, "");
        const int32_t field = com::Variant(rest.substr(hash + 1, close - hash - 1)).toLong();
        const com::Variant value = source().GetData(field, index);
        if (!value.isNull()) {
            std::string text;
            if (const auto* money = value.get<com::Currency>()) text = money->toString(".");
            else text = value.toString();
            // A negative amount stays one operand: #3#^2 squares it.
            if (value.isNumber() && !text.empty() && text.front() == '-') text = "(" + text + ")";
            script += text;
        }
        rest = rest.substr(close + 1);
    }
    script += rest;
    std::replace(script.begin(), script.end(), ',', '.');
    return evaluateExpression(script);
}

void MyGrid::refreshLine(int32_t line, int32_t col) {
    const int row = areTotal_ ? line + 1 : line;
    definition(col);  // a column the grid does not have is refused before the source is read
    // The cell shows what the binding would show; shading and marks stay, and the totals
    // row moves with an amount it sums, as it does after an edit.
    writeCell(row, col, source().GetData(col, line));
    cellsChanged(row);
}

}  // namespace quillon

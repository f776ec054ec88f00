#include "definition.h"

#include <pugixml.hpp>

#include <QPageSize>
#include <QRectF>
#include <QSizeF>

#include <charconv>
#include <algorithm>
#include <array>
#include <fstream>
#include <set>
#include <sstream>

#include "com/error.h"

namespace reports {

void fail(int32_t number, const std::string& file, const std::string& cause) {
    com::raise(number, "reports", "Raportul \"" + file + "\": " + cause);
}

namespace {

// The reader of one file: every complaint names the file and the element.
class Reader {
public:
    explicit Reader(std::string file) : file_(std::move(file)) {}

    [[noreturn]] void bad(const std::string& cause) const { fail(errc::BadDefinition, file_, cause); }

    static std::string where(const pugi::xml_node& node) { return "<" + std::string(node.name()) + ">"; }

    int integer(const pugi::xml_node& node, const char* name, int fallback) const {
        const pugi::xml_attribute a = node.attribute(name);
        if (!a) return fallback;
        return parseInt(a.value(), node, name);
    }

    int parseInt(std::string_view text, const pugi::xml_node& node, const char* name) const {
        int value = 0;
        while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
        while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec != std::errc() || end != text.data() + text.size())
            bad("atributul " + std::string(name) + "=\"" + std::string(text) + "\" din " + where(node) +
                " nu este un numar intreg.");
        return value;
    }

    bool boolean(const pugi::xml_node& node, const char* name, bool fallback) const {
        const pugi::xml_attribute a = node.attribute(name);
        if (!a) return fallback;
        const std::string v = a.value();
        if (v == "true" || v == "1" || v == "yes") return true;
        if (v == "false" || v == "0" || v == "no") return false;
        bad("atributul " + std::string(name) + "=\"" + v + "\" din " + where(node) + " trebuie sa fie true sau false.");
    }

    QColor color(const pugi::xml_node& node, const char* name, QColor fallback) const {
        const pugi::xml_attribute a = node.attribute(name);
        if (!a) return fallback;
        const QColor c = QColor::fromString(QString::fromUtf8(a.value()));
        if (!c.isValid())
            bad("culoarea " + std::string(name) + "=\"" + a.value() + "\" din " + where(node) + " nu este cunoscuta.");
        return c;
    }

    // "Family,size[,bold][,italic][,underline]"; missing parts are the inherited font's.
    QFont font(const pugi::xml_node& node, const QFont& inherited) const {
        const pugi::xml_attribute a = node.attribute("font");
        if (!a) return inherited;
        QFont f = inherited;
        const QStringList parts = QString::fromUtf8(a.value()).split(',');
        if (!parts.value(0).trimmed().isEmpty()) f.setFamily(parts.value(0).trimmed());
        if (parts.size() > 1 && !parts[1].trimmed().isEmpty()) {
            bool ok = false;
            const double size = parts[1].trimmed().toDouble(&ok);
            if (!ok || size <= 0 || size > 200)
                bad("marimea fontului \"" + std::string(a.value()) + "\" din " + where(node) + " nu este valida.");
            setPointSize(f, size);
        }
        f.setBold(false);
        f.setItalic(false);
        f.setUnderline(false);
        for (qsizetype i = 2; i < parts.size(); ++i) {
            const QString style = parts[i].trimmed().toLower();
            if (style == "bold") f.setBold(true);
            else if (style == "italic") f.setItalic(true);
            else if (style == "underline") f.setUnderline(true);
            else if (!style.isEmpty())
                bad("stilul de font \"" + style.toStdString() + "\" din " + where(node) + " nu este cunoscut.");
        }
        return f;
    }

    // Fonts are sized in twips, the unit the pages are painted in, so that a font measures the
    // same on the screen, an image and a PDF.
    static void setPointSize(QFont& f, double points) {
        f.setPixelSize(std::max(1, static_cast<int>(points * 20 + 0.5)));
    }

    int alignment(const pugi::xml_node& node, int fallback) const {
        const pugi::xml_attribute a = node.attribute("align");
        int horizontal = fallback & Qt::AlignHorizontal_Mask;
        if (a) {
            const std::string v = a.value();
            if (v == "left") horizontal = Qt::AlignLeft;
            else if (v == "center") horizontal = Qt::AlignHCenter;
            else if (v == "right") horizontal = Qt::AlignRight;
            else bad("alinierea \"" + v + "\" din " + where(node) + " nu este cunoscuta (left, center, right).");
        }
        int vertical = Qt::AlignVCenter;
        if (const pugi::xml_attribute va = node.attribute("valign")) {
            const std::string v = va.value();
            if (v == "top") vertical = Qt::AlignTop;
            else if (v == "middle") vertical = Qt::AlignVCenter;
            else if (v == "bottom") vertical = Qt::AlignBottom;
            else
                bad("alinierea verticala \"" + v + "\" din " + where(node) +
                    " nu este cunoscuta (top, middle, bottom).");
        }
        return horizontal | vertical;
    }

    Format format(const pugi::xml_node& node) const {
        const std::string v = node.attribute("format").value();
        if (v.empty() || v == "text") return Format::Plain;
        if (v == "money0") return Format::Money0;
        if (v == "money2") return Format::Money2;
        if (v == "integer") return Format::Integer;
        if (v == "date") return Format::Date;
        bad("formatul \"" + v + "\" din " + where(node) + " nu este cunoscut (text, money0, money2, integer, date).");
    }

    std::string required(const pugi::xml_node& node, const char* name) const {
        const pugi::xml_attribute a = node.attribute(name);
        if (!a || std::string_view(a.value()).empty()) bad(where(node) + " nu are atributul " + name + ".");
        return a.value();
    }

    Item item(const pugi::xml_node& node, const QFont& bandFont) const {
        Item it;
        const std::string kind = node.name();
        if (kind == "text") it.kind = ItemKind::Text;
        else if (kind == "field") it.kind = ItemKind::Field;
        else if (kind == "parameter") it.kind = ItemKind::Parameter;
        else if (kind == "special") it.kind = ItemKind::Special;
        else if (kind == "sum") it.kind = ItemKind::Sum;
        else if (kind == "count") it.kind = ItemKind::Count;
        else if (kind == "line") it.kind = ItemKind::Line;
        else if (kind == "box") it.kind = ItemKind::Box;
        else bad("elementul " + where(node) + " nu este un element de raport cunoscut.");
        it.x = integer(node, "x", 0);
        it.y = integer(node, "y", 0);
        it.w = integer(node, "w", 0);
        it.h = integer(node, "h", 0);
        if (it.kind != ItemKind::Line && (it.w < 0 || it.h < 0))
            bad(where(node) + " are o latime sau o inaltime negativa.");
        it.font = font(node, bandFont);
        const bool numeric = it.kind == ItemKind::Sum || it.kind == ItemKind::Count;
        it.align = alignment(node, numeric ? Qt::AlignRight : Qt::AlignLeft);
        it.color = color(node, "color", Qt::black);
        it.background = color(node, "background", QColor());
        it.borderColor = color(node, "borderColor", Qt::black);
        it.border = integer(node, "border", it.kind == ItemKind::Line || it.kind == ItemKind::Box ? 15 : 0);
        it.canGrow = boolean(node, "canGrow", false);
        it.wrap = it.canGrow || boolean(node, "wrap", false);
        it.blankWhenZero = boolean(node, "blankWhenZero", false);
        it.format = format(node);
        switch (it.kind) {
        case ItemKind::Text: it.text = node.text().get(); break;
        case ItemKind::Field:
            it.column = required(node, "column");
            it.query = node.attribute("query").value();
            break;
        case ItemKind::Parameter: it.column = required(node, "name"); break;
        case ItemKind::Sum:
            it.column = required(node, "column");
            it.scope = node.attribute("scope").value();
            break;
        case ItemKind::Count: it.scope = node.attribute("scope").value(); break;
        case ItemKind::Special: {
            const std::string what = required(node, "what");
            if (what == "page") it.special = Special::Page;
            else if (what == "pages") it.special = Special::Pages;
            else if (what == "pageOfPages") it.special = Special::PageOfPages;
            else if (what == "printDate") it.special = Special::PrintDate;
            else bad("campul special \"" + what + "\" nu este cunoscut (page, pages, pageOfPages, printDate).");
            it.text = node.text().get();
            if (it.text.empty() && it.special == Special::PageOfPages) it.text = "Pagina {page} din {pages}";
            break;
        }
        case ItemKind::Line:
        case ItemKind::Box: break;
        }
        return it;
    }

    Band band(const pugi::xml_node& node, const QFont& reportFont) const {
        Band b;
        if (!node) return b;
        b.present = true;
        b.height = integer(node, "height", 0);
        if (b.height < 0) bad(where(node) + " are o inaltime negativa.");
        b.visible = boolean(node, "visible", true);
        b.pageBreak = pageBreak(node);
        const QFont bandFont = font(node, reportFont);
        for (const pugi::xml_node child : node.children()) {
            if (child.type() != pugi::node_element) continue;
            b.items.push_back(item(child, bandFont));
        }
        return b;
    }

    PageBreak pageBreak(const pugi::xml_node& node) const {
        const std::string v = node.attribute("pageBreak").value();
        if (v.empty() || v == "none") return PageBreak::None;
        if (v == "before") return PageBreak::Before;
        if (v == "after") return PageBreak::After;
        bad("saltul de pagina \"" + v + "\" din " + where(node) + " nu este cunoscut (none, before, after).");
    }

    void groups(const pugi::xml_node& node, const QFont& reportFont, std::vector<Group>& into) const {
        const pugi::xml_node g = node.child("group");
        if (!g) return;
        if (g.next_sibling("group")) bad("un nivel de grupare are un singur element <group>; grupele se imbrica.");
        Group group;
        group.column = required(g, "column");
        group.pageBreak = pageBreak(g);
        group.repeatHeader = boolean(g, "repeatHeader", false);
        group.header = band(g.child("header"), reportFont);
        group.footer = band(g.child("footer"), reportFont);
        into.push_back(std::move(group));
        groups(g, reportFont, into);
    }

    ColumnType columnType(const pugi::xml_node& node) const {
        const std::string v = node.attribute("type").value();
        if (v.empty() || v == "auto") return ColumnType::Auto;
        if (v == "money") return ColumnType::Money;
        if (v == "integer") return ColumnType::Integer;
        if (v == "number") return ColumnType::Number;
        if (v == "date") return ColumnType::Date;
        if (v == "text") return ColumnType::Text;
        bad("tipul \"" + v + "\" din " + where(node) + " nu este cunoscut (money, integer, number, date, text).");
    }

    static std::vector<std::string> words(std::string_view text) {
        std::vector<std::string> out;
        std::istringstream in{std::string(text)};
        for (std::string w; in >> w;) out.push_back(w);
        return out;
    }

    QueryDecl query(const pugi::xml_node& node, const std::vector<ParameterDecl>& parameters) const {
        QueryDecl q;
        q.name = node.attribute("name").value();
        const std::string text = node.child_value();
        // {?name} placeholders become "?" bound to the named parameter; nothing of a value
        // ever enters the text.
        size_t pos = 0;
        while (pos < text.size()) {
            const size_t open = text.find("{?", pos);
            if (open == std::string::npos) {
                q.sql += text.substr(pos);
                break;
            }
            const size_t close = text.find('}', open);
            if (close == std::string::npos)
                bad("interogarea \"" + q.name + "\" are un parametru neinchis: " + text.substr(open, 40));
            q.sql += text.substr(pos, open - pos);
            const std::string name = text.substr(open + 2, close - open - 2);
            int index = -1;
            for (size_t i = 0; i < parameters.size(); ++i)
                if (parameters[i].name == name) index = static_cast<int>(i);
            if (index < 0)
                bad("interogarea \"" + q.name + "\" foloseste parametrul {?" + name + "}, care nu este declarat.");
            q.sql += '?';
            q.parameters.push_back(index);
            pos = close + 1;
        }
        for (const pugi::xml_node c : node.children()) {
            if (c.type() != pugi::node_element) continue;
            ColumnDecl d;
            d.name = required(c, "name");
            d.type = columnType(c);
            if (std::string_view(c.name()) == "computed") {
                d.computed = true;
                d.add = words(c.attribute("add").value());
                d.subtract = words(c.attribute("subtract").value());
                if (d.type == ColumnType::Auto) d.type = ColumnType::Money;
                if (d.type != ColumnType::Money && d.type != ColumnType::Integer && d.type != ColumnType::Number)
                    bad("coloana calculata \"" + d.name + "\" trebuie sa fie money, integer sau number.");
                if (d.add.empty() && d.subtract.empty())
                    bad("coloana calculata \"" + d.name + "\" nu aduna si nu scade nimic.");
            } else if (std::string_view(c.name()) != "column") {
                bad("elementul " + where(c) + " nu poate sta intr-o interogare (column, computed).");
            }
            q.columns.push_back(std::move(d));
        }
        if (q.sql.find_first_not_of(" \t\r\n") == std::string::npos) bad("interogarea \"" + q.name + "\" este goala.");
        return q;
    }

    ParameterDecl parameter(const pugi::xml_node& node) const {
        ParameterDecl p;
        p.name = required(node, "name");
        const std::string type = node.attribute("type").value();
        if (type == "integer") p.type = ParameterType::Integer;
        else if (type == "number") p.type = ParameterType::Number;
        else if (type == "date") p.type = ParameterType::Date;
        else if (type == "text" || type.empty()) p.type = ParameterType::Text;
        else
            bad("tipul parametrului \"" + p.name + "\" (\"" + type +
                "\") nu este cunoscut (integer, number, date, text).");
        p.prompt = node.attribute("prompt").value();
        if (const pugi::xml_attribute d = node.attribute("default"))
            p.defaultValue = com::Variant(std::string(d.value()));
        return p;
    }

    QPageLayout page(const pugi::xml_node& node) const {
        QPageSize size(QPageSize::A4);
        QPageLayout::Orientation orientation = QPageLayout::Portrait;
        QMarginsF margins(567, 567, 567, 567);
        if (node) {
            const std::string s = node.attribute("size").value();
            if (s.empty() || s == "A4") size = QPageSize(QPageSize::A4);
            else if (s == "A3") size = QPageSize(QPageSize::A3);
            else if (s == "A5") size = QPageSize(QPageSize::A5);
            else if (s == "Letter") size = QPageSize(QPageSize::Letter);
            else if (s == "Legal") size = QPageSize(QPageSize::Legal);
            else {
                const auto wh = words(s);
                if (wh.size() != 2)
                    bad("marimea paginii \"" + s +
                        "\" nu este cunoscuta (A4, A3, A5, Letter, Legal sau \"latime inaltime\" in twips).");
                const int w = parseInt(wh[0], node, "size"), h = parseInt(wh[1], node, "size");
                if (w < 1440 || h < 1440) bad("pagina de " + s + " twips este prea mica.");
                size = QPageSize(QSizeF(w / 20.0, h / 20.0), QPageSize::Point, QString(), QPageSize::ExactMatch);
            }
            const std::string o = node.attribute("orientation").value();
            if (o == "landscape") orientation = QPageLayout::Landscape;
            else if (!o.empty() && o != "portrait")
                bad("orientarea \"" + o + "\" nu este cunoscuta (portrait, landscape).");
            if (const pugi::xml_attribute m = node.attribute("margins")) {
                const auto parts = words(m.value());
                if (parts.size() != 4)
                    bad("marginile \"" + std::string(m.value()) +
                        "\" trebuie date ca patru numere: stanga sus dreapta jos.");
                int v[4];
                for (int i = 0; i < 4; ++i) {
                    v[i] = parseInt(parts[static_cast<size_t>(i)], node, "margins");
                    if (v[i] < 0) bad("marginile nu pot fi negative.");
                }
                margins = QMarginsF(v[0], v[1], v[2], v[3]);
            }
        }
        // Margins are kept in points in the page layout (twips / 20).
        QPageLayout layout(size, orientation, margins / 20.0, QPageLayout::Point);
        const QSizeF full = layout.fullRectPoints().size();
        if (margins.left() + margins.right() >= full.width() * 20 ||
            margins.top() + margins.bottom() >= full.height() * 20)
            bad("marginile nu lasa loc paginii.");
        return layout;
    }

private:
    std::string file_;
};

// What a report file may hold at most: deeper or larger ones would cost the program its
// stack or its memory.
constexpr int MaxNestedGroups = 64;
constexpr std::streamsize MaxFileBytes = 16 * 1024 * 1024;

[[noreturn]] void beyondLimits(const std::string& shown) {
    com::raise(errc::BadDefinition, "reports",
               "Fisierul de raport " + shown + " depaseste limitele admise (cel mult " +
                   std::to_string(MaxNestedGroups) + " de grupe imbricate si 16 MB).");
}

std::string readFile(const std::filesystem::path& file, const std::string& shown) {
    std::error_code ec;
    const auto status = std::filesystem::status(file, ec);
    if (ec || !std::filesystem::exists(status)) fail(errc::FileNotFound, shown, "fisierul nu exista.");
    if (std::filesystem::is_directory(status))
        fail(errc::FileNotFound, shown, "la aceasta cale este un director, nu un fisier.");
    std::ifstream in(file, std::ios::binary);
    if (!in) fail(errc::FileNotFound, shown, "fisierul nu poate fi citit.");
    // Read in pieces up to one byte past the limit, whatever the file claims its size is.
    std::string text;
    std::array<char, 64 * 1024> piece{};
    while (in.read(piece.data(), piece.size()) || in.gcount() > 0) {
        text.append(piece.data(), static_cast<size_t>(in.gcount()));
        if (std::ssize(text) > MaxFileBytes) beyondLimits(shown);
    }
    if (in.bad()) fail(errc::FileNotFound, shown, "fisierul nu poate fi citit.");
    return text;
}

// The depth of the <group> elements nested from the report element down.
int groupDepth(const pugi::xml_node& root) {
    int depth = 0;
    for (pugi::xml_node g = root.child("group"); g && depth <= MaxNestedGroups; g = g.child("group")) ++depth;
    return depth;
}

}  // namespace

std::shared_ptr<Definition> loadDefinition(const std::filesystem::path& file) {
    const std::string shown = file.string();
    const std::string text = readFile(file, shown);
    Reader r(shown);
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_buffer(text.data(), text.size());
    if (!parsed) {
        // The line of the offset, for a reader of the file.
        const auto offset = static_cast<size_t>(std::max<ptrdiff_t>(0, parsed.offset));
        const auto line =
            1 + std::count(text.begin(), text.begin() + static_cast<ptrdiff_t>(std::min(offset, text.size())), '\n');
        r.bad("nu este un fisier XML corect (" + std::string(parsed.description()) + ", linia " + std::to_string(line) +
              ").");
    }
    const pugi::xml_node root = document.document_element();
    if (std::string_view(root.name()) != "report")
        r.bad("nu este o definitie de raport (elementul radacina trebuie sa fie <report>).");
    if (groupDepth(root) > MaxNestedGroups) beyondLimits(shown);
    auto d = std::make_shared<Definition>();
    d->file = shown;
    if (!root.attribute("version")) r.bad("definitia nu are atributul version.");
    d->version = r.integer(root, "version", 0);
    if (d->version != SupportedVersion)
        fail(errc::BadVersion, shown,
             "versiunea " + std::to_string(d->version) + " a definitiei nu este cunoscuta (se citeste versiunea " +
                 std::to_string(SupportedVersion) + ").");
    d->title = root.attribute("title").value();
    d->page = r.page(root.child("page"));
    QFont base(QStringLiteral("DejaVu Sans"));
    base.setHintingPreference(QFont::PreferNoHinting);
    // Letters are drawn one by one, never joined into ligatures, so that text copied from a
    // PDF reads as it was typed ("fi", not one "ﬁ" glyph).
    base.setStyleStrategy(QFont::PreferNoShaping);
    Reader::setPointSize(base, 9);
    d->font = r.font(root.child("font"), base);
    if (const pugi::xml_node f = root.child("font"); f && !f.attribute("font")) {
        QFont g = base;
        if (const auto fam = f.attribute("family")) g.setFamily(QString::fromUtf8(fam.value()));
        if (const auto size = f.attribute("size")) {
            bool ok = false;
            const double s = QString::fromUtf8(size.value()).toDouble(&ok);
            if (!ok || s <= 0 || s > 200)
                r.bad("marimea fontului implicit \"" + std::string(size.value()) + "\" nu este valida.");
            Reader::setPointSize(g, s);
        }
        d->font = g;
    }
    for (const pugi::xml_node p : root.child("parameters").children("parameter")) {
        ParameterDecl decl = r.parameter(p);
        for (const auto& other : d->parameters)
            if (other.name == decl.name) r.bad("parametrul \"" + decl.name + "\" este declarat de doua ori.");
        d->parameters.push_back(std::move(decl));
    }
    for (const pugi::xml_node q : root.children("query")) {
        QueryDecl decl = r.query(q, d->parameters);
        if (d->queries.empty() && decl.name.empty()) decl.name = "main";
        if (!d->queries.empty() && decl.name.empty()) r.bad("o interogare de cautare trebuie sa aiba un nume.");
        for (const auto& other : d->queries)
            if (other.name == decl.name) r.bad("interogarea \"" + decl.name + "\" este declarata de doua ori.");
        d->queries.push_back(std::move(decl));
    }
    if (d->queries.empty()) r.bad("definitia nu are nicio interogare (<query>).");
    const std::set<std::string> known{"page",       "font",  "parameters", "query",        "reportHeader",
                                      "pageHeader", "group", "detail",     "reportFooter", "pageFooter"};
    for (const pugi::xml_node child : root.children())
        if (child.type() == pugi::node_element && !known.contains(child.name()))
            r.bad("elementul " + Reader::where(child) + " nu este cunoscut intr-o definitie de raport.");
    d->reportHeader = r.band(root.child("reportHeader"), d->font);
    d->pageHeader = r.band(root.child("pageHeader"), d->font);
    d->detail = r.band(root.child("detail"), d->font);
    d->reportFooter = r.band(root.child("reportFooter"), d->font);
    d->pageFooter = r.band(root.child("pageFooter"), d->font);
    r.groups(root, d->font, d->groups);
    // The page must hold the fixed bands with room to spare.
    const QRectF paint = d->page.paintRectPoints();
    const int body = static_cast<int>(paint.height() * 20);
    if (d->pageHeader.height + d->pageFooter.height >= body)
        r.bad("antetul si subsolul de pagina nu lasa loc pe pagina.");
    return d;
}

}  // namespace reports

#include "shell/qttexts.h"

#include <map>
#include <string_view>
#include <utility>

namespace velmora {
namespace {

using Key = std::pair<std::string_view, std::string_view>;  // context, English text

const std::map<Key, const char*>& texts() {
    static const std::map<Key, const char*> table{
        {{"QLineEdit", "&Undo"}, "&Anuleaza"},
        {{"QLineEdit", "&Redo"}, "&Refa"},
        {{"QLineEdit", "Cu&t"}, "&Taie"},
        {{"QLineEdit", "&Copy"}, "&Copiaza"},
        {{"QLineEdit", "&Paste"}, "&Lipeste"},
        {{"QLineEdit", "Delete"}, "Sterge"},
        {{"QLineEdit", "Select All"}, "Selecteaza tot"},
        {{"QWidgetTextControl", "&Undo"}, "&Anuleaza"},
        {{"QWidgetTextControl", "&Redo"}, "&Refa"},
        {{"QWidgetTextControl", "Cu&t"}, "&Taie"},
        {{"QWidgetTextControl", "&Copy"}, "&Copiaza"},
        {{"QWidgetTextControl", "Copy &Link Location"}, "Copiaza adresa &legaturii"},
        {{"QWidgetTextControl", "&Paste"}, "&Lipeste"},
        {{"QWidgetTextControl", "Delete"}, "Sterge"},
        {{"QWidgetTextControl", "Select All"}, "Selecteaza tot"},
        {{"QAbstractSpinBox", "&Select All"}, "&Selecteaza tot"},
        {{"QAbstractSpinBox", "&Step up"}, "&Creste"},
        {{"QAbstractSpinBox", "Step &down"}, "Sc&ade"},
        {{"QScrollBar", "Scroll here"}, "Deruleaza aici"},
        {{"QScrollBar", "Left edge"}, "Marginea din stanga"},
        {{"QScrollBar", "Right edge"}, "Marginea din dreapta"},
        {{"QScrollBar", "Top"}, "Inceput"},
        {{"QScrollBar", "Bottom"}, "Sfarsit"},
        {{"QScrollBar", "Page left"}, "O pagina la stanga"},
        {{"QScrollBar", "Page right"}, "O pagina la dreapta"},
        {{"QScrollBar", "Page up"}, "O pagina in sus"},
        {{"QScrollBar", "Page down"}, "O pagina in jos"},
        {{"QScrollBar", "Scroll left"}, "Deruleaza la stanga"},
        {{"QScrollBar", "Scroll right"}, "Deruleaza la dreapta"},
        {{"QScrollBar", "Scroll up"}, "Deruleaza in sus"},
        {{"QScrollBar", "Scroll down"}, "Deruleaza in jos"},
        {{"QMdiSubWindow", "&Restore"}, "&Restaureaza"},
        {{"QMdiSubWindow", "&Move"}, "&Muta"},
        {{"QMdiSubWindow", "&Size"}, "&Dimensiune"},
        {{"QMdiSubWindow", "Mi&nimize"}, "Mi&nimizeaza"},
        {{"QMdiSubWindow", "Ma&ximize"}, "Ma&ximizeaza"},
        {{"QMdiSubWindow", "Stay on &Top"}, "Mereu d&easupra"},
        {{"QMdiSubWindow", "&Close"}, "&Inchide"},
        {{"QMdiSubWindow", "Minimize"}, "Minimizeaza"},
        {{"QMdiSubWindow", "Maximize"}, "Maximizeaza"},
        {{"QMdiSubWindow", "Restore Down"}, "Restaureaza"},
        {{"QMdiSubWindow", "Restore"}, "Restaureaza"},
        {{"QMdiSubWindow", "Close"}, "Inchide"},
        {{"QMdiSubWindow", "Help"}, "Ajutor"},
        {{"QMdiSubWindow", "Menu"}, "Meniu"},
        {{"QFileDialog", "Back"}, "Inapoi"},
        {{"QFileDialog", "Forward"}, "Inainte"},
        {{"QFileDialog", "Parent Directory"}, "Directorul parinte"},
        {{"QFileDialog", "Create New Folder"}, "Director nou"},
        {{"QFileDialog", "List View"}, "Lista"},
        {{"QFileDialog", "Detail View"}, "Detalii"},
        {{"QFileDialog", "New Folder"}, "Director nou"},
        {{"QFileDialog", "&New Folder"}, "Director &nou"},
        {{"QFileDialog", "&Rename"}, "&Redenumeste"},
        {{"QFileDialog", "&Delete"}, "&Sterge"},
        {{"QFileDialog", "Show &hidden files"}, "Arata fisierele &ascunse"},
        {{"QFileDialog", "%1 already exists.\nDo you want to replace it?"}, "%1 exista deja.\nDoriti sa il inlocuiti?"},
        {{"QFileSystemModel", "Name"}, "Nume"},
        {{"QFileSystemModel", "Size"}, "Marime"},
        {{"QFileSystemModel", "Type"}, "Tip"},
        {{"QFileSystemModel", "Date Modified"}, "Data modificarii"},
        {{"QFileSystemModel", "Computer"}, "Calculator"},
        {{"QAbstractFileIconProvider", "Folder"}, "Director"},
        {{"QAbstractFileIconProvider", "File"}, "Fisier"},
        {{"QAbstractFileIconProvider", "%1 File"}, "Fisier %1"},
        {{"QPlatformTheme", "&Yes"}, "&Da"},
        {{"QPlatformTheme", "&No"}, "&Nu"},
        {{"QPlatformTheme", "Cancel"}, "Renunta"},
        {{"QFileDialog", "Save As"}, "Salveaza ca"},
        {{"QPrintDialog", "Print"}, "Tiparire"},
        {{"QPrintDialog", "&Print"}, "&Tipareste"},
        {{"QPrintDialog", "&Options >>"}, "&Optiuni >>"},
        {{"QPrintDialog", "&Options <<"}, "&Optiuni <<"},
        {{"QPrintDialog", "Print to File (PDF)"}, "Tiparire in fisier (PDF)"},
        {{"QPrintDialog", "Local file"}, "Fisier local"},
        {{"QPrintDialog", "Write PDF file"}, "Scrie un fisier PDF"},
        {{"QPrintDialog", "All Pages"}, "Toate paginile"},
        {{"QPrintDialog", "Odd Pages"}, "Paginile impare"},
        {{"QPrintDialog", "Even Pages"}, "Paginile pare"},
        {{"QPrintWidget", "Printer"}, "Imprimanta"},
        {{"QPrintWidget", "&Name:"}, "&Nume:"},
        {{"QPrintWidget", "P&roperties"}, "P&roprietati"},
        {{"QPrintWidget", "Location:"}, "Locatia:"},
        {{"QPrintWidget", "Preview"}, "Previzualizare"},
        {{"QPrintWidget", "Type:"}, "Tipul:"},
        {{"QPrintWidget", "Output &file:"}, "&Fisierul:"},
        {{"QPrintSettingsOutput", "Print range"}, "Ce se tipareste"},
        {{"QPrintSettingsOutput", "Print all"}, "Tot"},
        {{"QPrintSettingsOutput", "Pages from"}, "Paginile de la"},
        {{"QPrintSettingsOutput", "to"}, "la"},
        {{"QPrintSettingsOutput", "Pages"}, "Paginile"},
        {{"QPrintSettingsOutput", "Current Page"}, "Pagina curenta"},
        {{"QPrintSettingsOutput", "Selection"}, "Selectia"},
        {{"QPrintSettingsOutput", "Page Set:"}, "Care pagini:"},
        {{"QPrintSettingsOutput", "Output Settings"}, "Tiparirea"},
        {{"QPrintSettingsOutput", "Copies:"}, "Exemplare:"},
        {{"QPrintSettingsOutput", "Collate"}, "Asamblate"},
        {{"QPrintSettingsOutput", "Reverse"}, "In ordine inversa"},
        {{"QPrintSettingsOutput", "Copies"}, "Exemplare"},
        {{"QPrintSettingsOutput", "Color Mode"}, "Culori"},
        {{"QPrintSettingsOutput", "Color"}, "Color"},
        {{"QPrintSettingsOutput", "Grayscale"}, "Tonuri de gri"},
        {{"QPrintSettingsOutput", "Double Sided Printing"}, "Tiparire fata-verso"},
        {{"QPrintSettingsOutput", "Off"}, "Nu"},
        {{"QPrintSettingsOutput", "Long side binding"}, "Legare pe latura lunga"},
        {{"QPrintSettingsOutput", "Short side binding"}, "Legare pe latura scurta"},
        {{"QPrintSettingsOutput", "Options"}, "Optiuni"},
    };
    return table;
}

}  // namespace

QString QtTexts::translate(const char* context, const char* sourceText, const char*, int) const {
    if (!context || !sourceText) return {};
    const auto found = texts().find(Key{context, sourceText});
    return found == texts().end() ? QString() : QString::fromLatin1(found->second);
}

}  // namespace velmora

#pragma once
// OLE colours (the values of the BackColor and ForeColor properties) as Qt colours, for the
// controls and the forms that host them. Needs Qt Gui.
#include <cstdint>

#include <QColor>
#include <QGuiApplication>
#include <QPalette>

namespace quillon {

// A system colour index as the application palette shows it.
inline QColor systemColor(int index) {
    const QPalette p = QGuiApplication::palette();
    switch (index) {
    case 0: return QColor(200, 200, 200);    // scroll bar
    case 1: return p.color(QPalette::Dark);  // desktop
    case 2:
    case 13: return p.color(QPalette::Highlight);
    case 3:
    case 11: return p.color(QPalette::Mid);
    case 4: return p.color(QPalette::Window);           // menu
    case 5: return p.color(QPalette::Base);             // window background
    case 6: return p.color(QPalette::Shadow);           // window frame
    case 7: return p.color(QPalette::WindowText);       // menu text
    case 8: return p.color(QPalette::Text);             // window text
    case 9: return p.color(QPalette::HighlightedText);  // caption text
    case 10: return QColor(180, 180, 180);              // active border
    case 12: return p.color(QPalette::Dark);
    case 14: return p.color(QPalette::HighlightedText);
    case 15: return p.color(QPalette::Button);           // button face
    case 16: return p.color(QPalette::Dark);             // button shadow
    case 17: return p.color(QPalette::PlaceholderText);  // grey text
    case 18: return p.color(QPalette::ButtonText);
    case 20: return p.color(QPalette::Light);
    case 21: return p.color(QPalette::Shadow);
    case 22: return p.color(QPalette::Midlight);
    case 23: return p.color(QPalette::ToolTipText);
    case 24: return p.color(QPalette::ToolTipBase);
    default: return p.color(QPalette::Window);
    }
}

// An OLE colour: the top bit set means a system colour index in the low byte,
// otherwise 0x00BBGGRR.
inline QColor oleColor(int32_t ole) {
    const auto value = static_cast<uint32_t>(ole);
    if (value & 0x80000000u) return systemColor(static_cast<int>(value & 0xFFu));
    return QColor(static_cast<int>(value & 0xFFu), static_cast<int>((value >> 8) & 0xFFu),
                  static_cast<int>((value >> 16) & 0xFFu));
}

}  // namespace quillon

#pragma once
// The library's About box, built afresh for each call and shown modally.

class QWidget;

namespace quillon {

// Shows the About box and returns when the user has closed it.
void showAboutBox(QWidget* parent);

}  // namespace quillon

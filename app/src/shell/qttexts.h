#pragma once
// Romanian texts (without diacritics) for what Qt's own widgets show: the context menus of
// text fields, spin boxes, scroll bars and the help browser, the MDI child windows' system
// menu and title-bar buttons, the file and print dialogs and the standard buttons. Qt ships no
// Romanian translation of these.
#include <QTranslator>

namespace velmora {

class QtTexts final : public QTranslator {
    Q_OBJECT
public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return false; }
};

}  // namespace velmora

#pragma once
// PaginaProprietati: the design-time property page of ControlPersonal. It works on the
// first selected control, late-bound by name: kind, alignment, decimals and value.
#include <functional>
#include <vector>

#include <QWidget>

#include "com/dispatch.h"
#include "com/variant.h"

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QScrollBar;

namespace quillon {

class HookedLineEdit;
class NullableDateEdit;

class PaginaProprietati : public QWidget {
public:
    explicit PaginaProprietati(QWidget* parent = nullptr);
    ~PaginaProprietati() override;

    // The designer's two calls.
    void selectionChanged(const std::vector<com::ComPtr<com::IDispatch>>& selected);
    void applyChanges(const std::vector<com::ComPtr<com::IDispatch>>& selected);

    // Set whenever the page marks itself changed (the designer then offers to apply).
    bool isChanged() const { return changed_; }
    void clearChanged() { changed_ = false; }
    std::function<void()> onChanged;

private:
    void kindSwitch(int kind);
    void scaleChanged(int scale);
    bool numberKey(QKeyEvent* event);
    void numberTyped();
    void numberFocusIn();
    void showNumber();
    void markChanged();
    template <class F>
    void guarded(F&& handler);
    int chosen(const QButtonGroup& group) const;
    void choose(QButtonGroup& group, int index);

    QButtonGroup* optTip_ = nullptr;
    QButtonGroup* optTipAliniere_ = nullptr;
    QGroupBox* frText_ = nullptr;
    QGroupBox* frData_ = nullptr;
    QGroupBox* frNumar_ = nullptr;
    HookedLineEdit* txtValoareText_ = nullptr;
    NullableDateEdit* dtpValoareData_ = nullptr;
    HookedLineEdit* txtValoareNumar_ = nullptr;
    QLineEdit* txtScala_ = nullptr;
    QScrollBar* scrlScala_ = nullptr;
    com::Variant number_{int16_t{0}};  // the number box's value, kept as a number
    QString acceptedText_;
    bool loaded_ = false;
    bool changed_ = false;
    bool filling_ = false;
};

}  // namespace quillon

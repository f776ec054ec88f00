#pragma once
// Drives the six-button bar of an edit form from its business object's IsNew and IsDirty,
// and keeps the fields that the object computes locked on the cost-sheet forms.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include <QList>
#include <QPointer>
#include <QWidget>

#include "com/dispatch.h"

class QAbstractButton;
class QPushButton;

namespace velmora {

// Publishes the controller's button masks.
class iControllerButoane {
public:
    virtual int32_t ButoaneToate() const = 0;     // the mask of all buttons
    virtual int32_t ButoaneVisibile() const = 0;  // the current mask

protected:
    ~iControllerButoane() = default;
};

// The buttons of an edit form, by index: bit 2^(index+1) of a mask.
enum class Buton { Salveaza = 0, Renunta, Cauta, Adauga, Sterge, Iesire };
inline constexpr int kButtonCount = 6;

// The picture box `picButton` with the control array cmdButton(0..5) ("cmdButton_0" ...),
// with the captions and tool tips every edit form shows; `adaugaDialog` gives "Adauga..."
// (the ward register) in place of "Adauga".
struct ButtonBar {
    QWidget* picButton = nullptr;
    std::array<QPushButton*, kButtonCount> cmdButton{};
};
ButtonBar createButtonBar(QWidget* parent, bool adaugaDialog = false);

class FormController final : public iControllerButoane {
public:
    void AttachObject(com::ComPtr<com::IDispatch> rObiect);
    void DeAttachObject(const com::ComPtr<com::IDispatch>& rObiect);
    void AttachForm(QWidget* vForm);
    void DeAttachForm(QWidget* vForm);
    void SeteazaButoane(const QList<QAbstractButton*>& vButtonCollection);
    void Activate();
    void SaveObiectIsOk();
    void RenuntaObiectIsOk(com::ComPtr<com::IDispatch> rObiect);
    void LoadObiectIsOk(com::ComPtr<com::IDispatch> rObiect);
    void AdaugaObiectIsOk(com::ComPtr<com::IDispatch> rObiect);
    void DirtyHandler(const com::ComPtr<com::IDispatch>& rObiect);

    int32_t ButoaneToate() const override;
    int32_t ButoaneVisibile() const override;

private:
    void ApplyVisible();
    void ApplyEnabled();
    void ComputeButtonState();
    void LockTotalFields();
    void holdAndRefresh(com::ComPtr<com::IDispatch> object);

    QList<QPointer<QAbstractButton>> mcolButtons;
    QPointer<QWidget> moForm;
    com::ComPtr<com::IDispatch> moObject;
    int32_t mlButtonMask = 0;
};

}  // namespace velmora

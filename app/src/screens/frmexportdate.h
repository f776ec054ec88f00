#pragma once
// The period export screen: the user picks a period and a folder, the screen names the file
// and the business library cuts that period out of the database into it.
#include <filesystem>
#include <functional>
#include <string>

#include <QDateTime>
#include <QWidget>

class QPushButton;

namespace velmora {

class FolderTree;
class HostedControl;

// "Velmora_<county>_<code>_<period>_dd.mm.yyyy_<h><m><s>.mdb" in `folder`, the hour, minute
// and second without leading zeros. A "/" or NUL in the three names, which would lead the
// file elsewhere or fail, stands as "_".
std::filesystem::path exportFilePath(const std::filesystem::path& folder, const std::string& denJudet,
                                     const std::string& codSpital, const std::string& denScurta, const QDateTime& when);

class frmExportDate final : public QWidget {
    Q_OBJECT
public:
    explicit frmExportDate(QWidget* parent = nullptr);

    HostedControl* cmbPerioada() const { return cmbPerioada_; }
    FolderTree* DirBox() const { return dirBox_; }
    QPushButton* cmdExport() const { return cmdExport_; }

    // The clock the file is named by.
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

private:
    void cmdExport_Click();

    HostedControl* cmbPerioada_;
    FolderTree* dirBox_;
    QPushButton* cmdExport_;
    std::function<QDateTime()> clock_ = [] { return QDateTime::currentDateTime(); };
};

}  // namespace velmora

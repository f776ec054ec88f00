// The viewer: shows a run report's pages, moves between them, zooms, saves a PDF, prints the
// pages chosen; a report that fails shows nothing.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "reports/viewer.h"
#include "support.h"

namespace {

class Viewer : public rtest::OnSampleData<true> {
protected:
    // Every hospital's sheet of every period, a page each, shown in the viewer.
    static std::shared_ptr<reports::Report> showSheets(reports::ReportViewer& viewer) {
        auto report = rtest::open(rtest::sampleReport("CostSpital.vrpt"), *data_);
        rtest::setValue(*report, "pIdJudet", int32_t{13});
        rtest::setValue(*report, "pIdPerioada", int32_t{-1});
        viewer.resize(1000, 700);
        viewer.setReportSource(report);
        viewer.ViewReport();
        viewer.show();
        return report;
    }
};

// Answers the next modal dialog of kind D, once it shows, with `answer`.
template <class D>
class Answer {
public:
    explicit Answer(std::function<void(D*)> answer) {
        QObject::connect(&timer_, &QTimer::timeout, [this, answer = std::move(answer)] {
            auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible()) return;
            timer_.stop();
            answered_ = true;
            answer(dialog);
        });
        timer_.start(20);
    }
    bool answered() const { return answered_; }

private:
    QTimer timer_;
    bool answered_ = false;
};

TEST_F(Viewer, ShowsTheReportPagesAndMovesBetweenThem) {
    reports::ReportViewer viewer;
    const auto report = showSheets(viewer);
    EXPECT_EQ(viewer.ReportSource(), report);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&viewer));
    const int pages = static_cast<int>(rawdb::rawInt(data_->database(), "SELECT count(*) FROM Velmora_Spital"));
    EXPECT_EQ(viewer.pageCount(), pages);
    EXPECT_EQ(viewer.currentPage(), 1);
    EXPECT_FALSE(viewer.action("previous")->isEnabled());
    // Only the pages around the current one are painted.
    EXPECT_EQ(viewer.firstPaintedPage(), 1);
    EXPECT_EQ(viewer.lastPaintedPage(), 1 + reports::ReportViewer::PaintedAround);
    viewer.action("next")->trigger();
    EXPECT_EQ(viewer.currentPage(), 2);
    viewer.action("last")->trigger();
    EXPECT_EQ(viewer.currentPage(), pages);
    EXPECT_FALSE(viewer.action("next")->isEnabled());
    EXPECT_EQ(viewer.lastPaintedPage(), pages);
    EXPECT_EQ(viewer.firstPaintedPage(), pages - reports::ReportViewer::PaintedAround);
    // Scrolling back page by page repaints around the page reached.
    for (int page = pages - 1; page >= 2; --page) {
        viewer.action("previous")->trigger();
        QCoreApplication::processEvents();
        EXPECT_EQ(viewer.currentPage(), page);
        EXPECT_LE(viewer.firstPaintedPage(), page);
        EXPECT_GE(viewer.lastPaintedPage(), page);
        EXPECT_LE(viewer.lastPaintedPage() - viewer.firstPaintedPage(), 2 * reports::ReportViewer::PaintedAround);
    }
    auto* pageBox = viewer.findChild<QSpinBox*>("pageNumber");
    ASSERT_NE(pageBox, nullptr);
    EXPECT_EQ(pageBox->value(), viewer.currentPage());
    pageBox->setValue(9);
    EXPECT_EQ(viewer.currentPage(), 9);
    QCoreApplication::processEvents();
    viewer.grab().save(QString::fromStdString((rtest::pictureFolder() / "viewer-9.png").string()));
    viewer.action("first")->trigger();
    EXPECT_EQ(viewer.currentPage(), 1);

    viewer.action("fitPage")->trigger();
    const double fitPage = viewer.zoomFactor();
    viewer.action("fitWidth")->trigger();
    EXPECT_GT(viewer.zoomFactor(), fitPage);  // a landscape page in a wide window
    const double before = viewer.zoomFactor();
    viewer.action("zoomIn")->trigger();
    EXPECT_GT(viewer.zoomFactor(), before);
    viewer.action("zoomOut")->trigger();
    viewer.action("zoomOut")->trigger();
    EXPECT_LT(viewer.zoomFactor(), before);
    viewer.action("fitWidth")->trigger();
    viewer.grab().save(QString::fromStdString((rtest::pictureFolder() / "viewer.png").string()));

    const auto pdf = rtest::pictureFolder() / "viewer.pdf";
    std::filesystem::remove(pdf);
    viewer.saveAsPdf(pdf);
    EXPECT_EQ(rawdb::readAll(pdf).substr(0, 5), "%PDF-");
}

TEST_F(Viewer, AReportThatFailsShowsNothing) {
    reports::ReportViewer viewer;
    EXPECT_EQ(rtest::raised([&] { viewer.ViewReport(); }).number(), reports::errc::NotRun);
    const auto file = rtest::writeReport(data_->folder(), "rau.vrpt",
                                         "<report version=\"1\"><query>SELECT * FROM Lipsa</query></report>");
    auto good = rtest::open(rtest::sampleReport("Personal.vrpt"), *data_);
    viewer.setReportSource(good);
    viewer.ViewReport();
    EXPECT_GE(viewer.pageCount(), 1);
    viewer.setReportSource(rtest::open(file, *data_));
    EXPECT_EQ(rtest::raised([&] { viewer.ViewReport(); }).number(), reports::errc::QueryFailed);
    EXPECT_EQ(viewer.pageCount(), 0);
    EXPECT_FALSE(viewer.action("pdf")->isEnabled());
    EXPECT_FALSE(viewer.action("print")->isEnabled());
    EXPECT_EQ(rtest::raised([&] { viewer.saveAsPdf(rtest::pictureFolder() / "nimic.pdf"); }).number(),
              reports::errc::NotRun);
}

TEST_F(Viewer, EveryActionHasItsKeyNamedInItsTip) {
    reports::ReportViewer viewer;
    const auto report = showSheets(viewer);
    viewer.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&viewer));
    viewer.preview()->setFocus();
    ASSERT_GT(viewer.pageCount(), 3);

    for (const char* name :
         {"first", "previous", "next", "last", "fitWidth", "fitPage", "zoomIn", "zoomOut", "print", "pdf"}) {
        const QAction* a = viewer.action(name);
        ASSERT_FALSE(a->shortcut().isEmpty()) << name;
        EXPECT_TRUE(a->toolTip().contains(a->shortcut().toString(QKeySequence::NativeText))) << name;
        for (const QChar c : a->toolTip()) EXPECT_LT(c.unicode(), 128) << name << ": " << a->toolTip().toStdString();
    }
    const auto key = [](Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k, Qt::ControlModifier); };
    key(Qt::Key_End);
    EXPECT_EQ(viewer.currentPage(), viewer.pageCount());
    key(Qt::Key_PageUp);
    EXPECT_EQ(viewer.currentPage(), viewer.pageCount() - 1);
    key(Qt::Key_Home);
    EXPECT_EQ(viewer.currentPage(), 1);
    key(Qt::Key_PageDown);
    EXPECT_EQ(viewer.currentPage(), 2);
    key(Qt::Key_0);
    const double fitPage = viewer.zoomFactor();
    key(Qt::Key_2);
    EXPECT_GT(viewer.zoomFactor(), fitPage);
    const double fitWidth = viewer.zoomFactor();
    key(Qt::Key_Plus);
    EXPECT_GT(viewer.zoomFactor(), fitWidth);
    key(Qt::Key_Minus);
    key(Qt::Key_Minus);
    EXPECT_LT(viewer.zoomFactor(), fitWidth);

    // Ctrl+S asks where to save, offering the report's title; a name typed without ".pdf" gets it.
    const auto pdf = rtest::pictureFolder() / "tastatura.pdf";
    std::filesystem::remove(pdf);
    QString offered;
    const Answer<QFileDialog> answer([&](QFileDialog* dialog) {
        offered = QFileInfo(dialog->selectedFiles().value(0)).fileName();
        dialog->selectFile(QString::fromStdString((rtest::pictureFolder() / "tastatura").string()));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    key(Qt::Key_S);
    EXPECT_TRUE(answer.answered());
    EXPECT_EQ(offered.toStdString(), report->Title() + ".pdf");
    ASSERT_TRUE(std::filesystem::exists(pdf));
    EXPECT_EQ(rawdb::readAll(pdf).substr(0, 5), "%PDF-");
}

TEST_F(Viewer, PrintsThePagesChosenInThePrintDialog) {
    reports::ReportViewer viewer;
    showSheets(viewer);
    ASSERT_GT(viewer.pageCount(), 3);
    const auto pdf = rtest::pictureFolder() / "tiparit.pdf";
    std::filesystem::remove(pdf);
    // Pages 2 to 3, to a file.
    const Answer<QPrintDialog> answer([&](QPrintDialog* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("filename"))->setText(QString::fromStdString(pdf.string()));
        dialog->findChild<QRadioButton*>(QStringLiteral("printRange"))->setChecked(true);
        dialog->findChild<QSpinBox*>(QStringLiteral("from"))->setValue(2);
        dialog->findChild<QSpinBox*>(QStringLiteral("to"))->setValue(3);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    viewer.action("print")->trigger();
    EXPECT_TRUE(answer.answered());
    ASSERT_TRUE(std::filesystem::exists(pdf));
    const std::string text = rawdb::readAll(pdf);
    size_t pages = 0;
    for (size_t at = text.find("/Type /Page"); at != std::string::npos; at = text.find("/Type /Page", at + 1))
        if (text.compare(at, 12, "/Type /Pages") != 0) ++pages;
    EXPECT_EQ(pages, 2u);
}

TEST_F(Viewer, AReportPrintedToAFileIsAsPrivateAsTheDatabase) {
    reports::ReportViewer viewer;
    showSheets(viewer);
    const auto pdf = rtest::pictureFolder() / "tiparit-privat.pdf";
    std::filesystem::remove(pdf);
    const auto readable = std::filesystem::status(data_->database()).permissions();
    const auto ownerOnly = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;
    std::filesystem::permissions(data_->database(), ownerOnly);
    const mode_t mask = ::umask(022);  // a file made as the process pleases would be readable by all
    const Answer<QPrintDialog> answer([&](QPrintDialog* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("filename"))->setText(QString::fromStdString(pdf.string()));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    viewer.action("print")->trigger();
    ::umask(mask);
    std::filesystem::permissions(data_->database(), readable);
    EXPECT_TRUE(answer.answered());
    ASSERT_TRUE(std::filesystem::exists(pdf));
    EXPECT_EQ(std::filesystem::status(pdf).permissions(), ownerOnly);
    EXPECT_EQ(rawdb::readAll(pdf).substr(0, 5), "%PDF-");
}

TEST_F(Viewer, ASaveThatFailsIsReportedOnceAndLeavesNothing) {
    reports::ReportViewer viewer;
    showSheets(viewer);
    std::vector<int> failures;
    QObject::connect(&viewer, &reports::ReportViewer::failed,
                     [&](int number, const QString&) { failures.push_back(number); });
    const auto nowhere = rtest::pictureFolder() / "lipsa" / "raport.pdf";
    const Answer<QFileDialog> answer([&](QFileDialog* dialog) {
        // Typed, as a folder that does not exist cannot be chosen.
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
            ->setText(QString::fromStdString(nowhere.string()));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    viewer.action("pdf")->trigger();
    EXPECT_TRUE(answer.answered());
    EXPECT_EQ(failures, std::vector<int>{reports::errc::OutputFailed});
    EXPECT_FALSE(std::filesystem::exists(nowhere.parent_path()));
}

// A PDF that cannot be written, whether saved or printed to a file: one message naming the
// file and the cause, no file left under its name, an earlier file of that name as it was.
class PdfFailures : public Viewer {
protected:
    // Saves and prints to a file into `folder` through the viewer's dialogs; the messages shown.
    static std::vector<std::string> saveAndPrint(reports::ReportViewer& viewer, const std::filesystem::path& folder) {
        std::vector<std::string> failures;
        QObject::connect(&viewer, &reports::ReportViewer::failed, [&](int number, const QString& text) {
            failures.push_back(std::to_string(number) + " " + text.toStdString());
        });
        const Answer<QFileDialog> save([&](QFileDialog* dialog) {
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                ->setText(QString::fromStdString((folder / "salvat.pdf").string()));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        viewer.action("pdf")->trigger();
        EXPECT_TRUE(save.answered());
        const Answer<QPrintDialog> print([&](QPrintDialog* dialog) {
            dialog->findChild<QLineEdit*>(QStringLiteral("filename"))
                ->setText(QString::fromStdString((folder / "tiparit.pdf").string()));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        viewer.action("print")->trigger();
        EXPECT_TRUE(print.answered());
        return failures;
    }
    static constexpr const char* Earlier = "un PDF de mai inainte";
};

TEST_F(PdfFailures, OnAFullDisk) {
    rtest::SmallFileSystem disk;
    if (!disk.mounted()) GTEST_SKIP() << "a small file system cannot be mounted here";
    const auto earlier = disk.folder() / "raport.pdf";
    rtest::writeText(earlier, Earlier);
    disk.fill(16 * 1024);
    const auto names = rtest::listing(disk.folder());
    reports::ReportViewer viewer;
    auto report = showSheets(viewer);
    for (const auto& file : {earlier, disk.folder() / "nou.pdf"}) {
        const com::Error e = rtest::raised([&] { report->exportPdf(file); });
        EXPECT_EQ(e.number(), reports::errc::OutputFailed);
        EXPECT_NE(e.description().find("Discul este plin: fisierul " + file.string() + " nu a putut fi scris."),
                  std::string::npos)
            << e.description();
    }
    EXPECT_EQ(rtest::listing(disk.folder()), names);
    EXPECT_EQ(rawdb::readAll(earlier), Earlier);

    const auto failures = saveAndPrint(viewer, disk.folder());
    ASSERT_EQ(failures.size(), 2u);
    for (const std::string file : {"salvat.pdf", "tiparit.pdf"})
        EXPECT_EQ(std::count_if(failures.begin(), failures.end(),
                                [&](const std::string& f) {
                                    return f.find("20509 ") == 0 &&
                                           f.find("Discul este plin: fisierul " + (disk.folder() / file).string()) !=
                                               std::string::npos;
                                }),
                  1)
            << file;
    EXPECT_EQ(rtest::listing(disk.folder()), names);
    EXPECT_EQ(rawdb::readAll(earlier), Earlier);
}

TEST_F(PdfFailures, InAReadOnlyFolder) {
    // As root a folder's mode does not stop a write: a file system mounted read-only does.
    rtest::SmallFileSystem disk;
    test::TempFolder plain("velmora-read-only");
    const bool root = ::geteuid() == 0;
    if (root && !disk.mounted()) GTEST_SKIP() << "a read-only file system cannot be mounted here";
    const std::filesystem::path folder = root ? disk.folder() : plain.path();
    const auto earlier = folder / "raport.pdf";
    rtest::writeText(earlier, Earlier);
    if (root) disk.makeReadOnly();
    else ::chmod(folder.c_str(), 0555);
    const auto names = rtest::listing(folder);
    reports::ReportViewer viewer;
    auto report = showSheets(viewer);
    const com::Error e = rtest::raised([&] { report->exportPdf(earlier); });
    EXPECT_EQ(e.number(), reports::errc::OutputFailed);
    EXPECT_NE(e.description().find("Folderul " + folder.string() + " este protejat la scriere.\r\nFisierul " +
                                   earlier.string()),
              std::string::npos)
        << e.description();
    const auto failures = saveAndPrint(viewer, folder);
    ASSERT_EQ(failures.size(), 2u);
    for (const auto& f : failures) EXPECT_NE(f.find("este protejat la scriere"), std::string::npos) << f;
    EXPECT_EQ(rtest::listing(folder), names);
    EXPECT_EQ(rawdb::readAll(earlier), Earlier);
    if (!root) ::chmod(folder.c_str(), 0755);
}

TEST_F(PdfFailures, UnderANameAFolderHolds) {
    test::TempFolder folder("velmora-pdf-folder");
    const auto taken = folder.path() / "raport.pdf";
    std::filesystem::create_directory(taken);
    rtest::writeText(taken / "pastrat.txt", Earlier);
    auto report = rtest::open(rtest::sampleReport("Personal.vrpt"), *data_);
    const com::Error e = rtest::raised([&] { report->exportPdf(taken); });
    EXPECT_EQ(e.number(), reports::errc::OutputFailed);
    EXPECT_NE(e.description().find("Fisierul " + taken.string() +
                                   " nu a putut fi scris: exista un folder cu acest nume."),
              std::string::npos)
        << e.description();
    EXPECT_EQ(rtest::listing(folder.path()), std::vector<std::string>{"raport.pdf"});
    EXPECT_EQ(rawdb::readAll(taken / "pastrat.txt"), Earlier);
}

}  // namespace

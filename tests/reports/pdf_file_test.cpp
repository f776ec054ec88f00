// A PDF written whole: under a temporary of its own, so that two saves of one name at once
// each end as they are told, and nothing found at a name is opened, emptied or waited on.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "com/error.h"
#include "pdf_file.h"
#include "rawdb.h"
#include "support.h"
#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;

const QPageLayout A4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());

std::function<void(QPainter&, QPdfWriter&)> lines(const char* text, int count = 200) {
    return [=](QPainter& painter, QPdfWriter&) {
        for (int line = 0; line < count; ++line) painter.drawText(200, 200 + line * 60, QString::fromUtf8(text));
    };
}

// A whole PDF: its header first, its end-of-file mark last.
bool whole(const std::string& pdf) {
    const auto end = pdf.find_last_not_of("\r\n");
    return pdf.rfind("%PDF-", 0) == 0 && end != std::string::npos && end >= 4 && pdf.substr(end - 4, 5) == "%%EOF";
}

class PdfFile : public ::testing::Test {
protected:
    void SetUp() override { rtest::writeText(database, "the data's rights"); }
    test::TempFolder folder{"velmora-pdf"};
    fs::path database = folder / "Velmora.mdb";
    fs::path pdf = folder / "raport.pdf";
};

TEST_F(PdfFile, TwoSavesOfOneNameAtOnceLeaveAWholePdfAndEachIsToldTheTruth) {
    std::string innerPdf;
    bool innerWritten = false;
    // While the first save paints, a second one of the same name runs to its end.
    auto outer = [&](QPainter& painter, QPdfWriter& writer) {
        lines("primul")(painter, writer);
        reports::writePdf(pdf, database, "Raport.vrpt", A4, "al doilea", lines("al doilea"));
        innerWritten = true;
        innerPdf = rawdb::readAll(pdf);
        writer.newPage();
        lines("primul, pagina 2")(painter, writer);
    };
    EXPECT_NO_THROW(reports::writePdf(pdf, database, "Raport.vrpt", A4, "primul", outer));
    EXPECT_TRUE(innerWritten);
    EXPECT_TRUE(whole(innerPdf));
    const std::string final = rawdb::readAll(pdf);
    EXPECT_TRUE(whole(final));
    EXPECT_NE(rtest::pdfText(pdf).find("primul, pagina 2"), std::string::npos);  // the one that ended last
    EXPECT_EQ(rtest::listing(folder.path()), (std::vector<std::string>{"Velmora.mdb", "raport.pdf"}));
}

TEST_F(PdfFile, APipeALinkOrAFileAtTheFormerTemporaryNameIsLeftAsItWasAndNothingWaits) {
    const fs::path precious = folder / "precious.txt";
    rtest::writeText(precious, "precious");
    const fs::path former = pdf.string() + ".partial";
    for (const int kind : {0, 1, 2}) {
        if (kind == 0) ASSERT_EQ(::mkfifo(former.c_str(), 0600), 0);
        else if (kind == 1) fs::create_symlink(precious, former);
        else rtest::writeText(former, "someone's");
        // In a child, so that a save that waits on the pipe fails the test instead of hanging it.
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            try {
                reports::writePdf(pdf, database, "Raport.vrpt", A4, "raport", lines("raport", 5));
            } catch (...) {
                ::_exit(2);
            }
            ::_exit(0);
        }
        int status = -1;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (::waitpid(child, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(child, SIGKILL);
                ::waitpid(child, &status, 0);
                status = -1;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        EXPECT_TRUE(status >= 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0) << kind << ": " << status;
        EXPECT_TRUE(whole(rawdb::readAll(pdf))) << kind;
        if (kind == 0) {
            EXPECT_TRUE(fs::is_fifo(fs::symlink_status(former)));
        } else if (kind == 1) {
            EXPECT_TRUE(fs::is_symlink(fs::symlink_status(former)));
        } else {
            EXPECT_EQ(rawdb::readAll(former), "someone's");
        }
        EXPECT_EQ(rawdb::readAll(precious), "precious");
        fs::remove(former);
        fs::remove(pdf);
    }
}

}  // namespace

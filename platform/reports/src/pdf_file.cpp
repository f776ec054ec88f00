#include "pdf_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <QIODevice>
#include <QPainter>

#include <cerrno>
#include <cstring>

#include "ado/error.h"
#include "com/save_file.h"
#include "com/error.h"
#include "definition.h"

namespace reports {

namespace {

namespace fs = std::filesystem;

// Where the PDF writer's bytes go: a file descriptor, through a buffer of its own, keeping
// the first failure. The writer itself drops write errors and ends as if all went well.
class FileOutput final : public QIODevice {
public:
    explicit FileOutput(int fd) : fd_(fd) { QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered); }
    ~FileOutput() override { flushBuffer(); }
    bool isSequential() const override { return true; }
    void close() override {
        flushBuffer();
        QIODevice::close();
    }
    // Writes out what is buffered; the errno of the first failure, 0 when there was none.
    int finish() {
        flushBuffer();
        return error_;
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (error_) return -1;
        buffer_.append(data, static_cast<size_t>(size));
        if (buffer_.size() >= Chunk) flushBuffer();
        return error_ ? -1 : size;
    }

private:
    static constexpr size_t Chunk = 64 * 1024;
    void flushBuffer() {
        size_t done = 0;
        while (!error_ && done < buffer_.size()) {
            const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) error_ = errno;
            else done += static_cast<size_t>(n);
        }
        buffer_.clear();
    }
    int fd_;
    int error_ = 0;
    std::string buffer_;
};

fs::path folderOf(const fs::path& file) {
    const fs::path folder = file.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

// The cause of a failure, in the words the user reads (the data layer's, as for any copy).
std::string cause(int error, const fs::path& file) {
    namespace text = ado::text;
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return text::diskFull(file);
    case EROFS:
    case EACCES:
    case EPERM: return text::withDetail(text::folderNotWritable(folderOf(file)), text::notWritten(file));
    case ENOENT:
    case ENOTDIR: return text::withDetail(text::folderMissing(folderOf(file)), text::notWritten(file));
    case EISDIR: return "Fisierul " + file.string() + " nu a putut fi scris: exista un folder cu acest nume.";
    case 0: return "Fisierul " + file.string() + " nu a putut fi scris: scrierea PDF nu s-a incheiat.";
    // The system's own words follow on a line of their own, for support.
    default: return text::withDetail(text::notWritten(file), std::strerror(error));
    }
}

}  // namespace

void writePdf(const fs::path& file, const fs::path& database, const std::string& reportFile, const QPageLayout& layout,
              const std::string& title, const std::function<void(QPainter&, QPdfWriter&)>& paint) {
    // Given the database's mode and group: never more open than the data.
    com::SaveFile pdf(file, com::rightsOf(database));
    if (const auto& refused = pdf.failure()) fail(errc::OutputFailed, reportFile, cause(refused->error, file));
    int error = 0;
    bool ended = false;
    {
        FileOutput output(pdf.descriptor());
        QPdfWriter writer(&output);
        writer.setResolution(1200);
        writer.setTitle(QString::fromStdString(title));
        writer.setPageLayout(layout);
        QPainter painter;
        if (painter.begin(&writer)) {
            paint(painter, writer);
            ended = painter.end();
        }
        error = output.finish();
    }
    if (error != 0 || !ended) fail(errc::OutputFailed, reportFile, cause(error, file));
    if (const auto failure = pdf.commit()) fail(errc::OutputFailed, reportFile, cause(failure->error, file));
}

}  // namespace reports

#include "PictureCommand.h"

#include "FileNameTemplate.h"
#include "OffscreenQt.h"
#include "RowReader.h"
#include "Utf8.h"
#include "code39/Code39.h"
#include "platform/FileBatch.h"
#include "platform/FileWriter.h"
#include "render/BarCodeFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <deque>
#include <future>
#include <optional>
#include <unordered_map>

namespace cli {

namespace {

struct Job {
    PictureType type = PictureType::Png;
    std::string name;
    bool isTemplate = false;
    bool force = false;
    render::BarCodeLook look;
    int dpi = render::kDefaultDpi;
    bool checksum = false;
    bool fullAscii = false;
};

// The file's bytes, or nothing with the reason; tooLarge tells a size the user chose from other failures.
QByteArray DrawFile(const Job& job, const QString& barText, const QString& title, QString& error, bool& tooLarge)
{
    const QByteArray bytes = render::PictureBytes(job.type, barText, job.look, title, job.dpi, error);
    render::BarCodeImageSize size;
    QString why;
    tooLarge = bytes.isEmpty() && job.type == PictureType::Png &&
               !render::MeasureBarCodeImage(barText, job.look, job.dpi, size, why) && size.tooLarge;
    return bytes;
}

// Draws rows into their files and reports each row's outcome in input order. A file that replaces
// another is synced to disk first, and a sync is a wait for the disk: a batch keeps a few such writes in
// flight so that their waits overlap, while rows are encoded and drawn here, one after the other. What is
// in flight is bounded by its bytes as well as its count, so that a batch of large pictures holds no more
// memory than a few small ones.
class RowDrawer : public RowConsumer {
public:
    RowDrawer(const Job& job, std::FILE* err) : m_job(job), m_err(err)
    {
        if (job.isTemplate)
            m_batch.emplace(job.force ? platform::FileBatch::Existing::Replace
                                      : platform::FileBatch::Existing::Keep);
    }
    ~RowDrawer() override { Finish(); }

    void Row(std::string_view data) override
    {
        ++m_row;
        const std::string where = Where();
        std::u16string buffer;
        code39::BuildResult built;
        if (!code39::BuildBarCodeData(Utf8ToUtf16(data, buffer), m_job.fullAscii, m_job.checksum, built)) {
            std::string message = where;
            AppendDiagnosticUtf8(message, built.error);
            return Done(1, message);
        }
        const std::string file = m_job.isTemplate ? ExpandName(m_job.name, m_row, data) : m_job.name;
        const QString path = QFile::decodeName(QByteArray::fromStdString(file));
        if (m_job.isTemplate) {
            // A name made twice keeps the first row's file, --force or not: the later row is likelier a
            // slip of the template than a wish to lose the earlier file.
            const auto [first, isNew] = m_lineOfName.try_emplace(qHash(path, 0), m_row);
            if (!isNew)
                return Done(1, where + Shown(file) + ": made the same file name as line " +
                                   std::to_string(first->second) + ", whose file is kept");
            const QFileInfo existing(path);
            if (!m_job.force && (existing.exists() || existing.isSymLink()))
                return Done(1, ExistsMessage(where, file));
        }
        QString error;
        bool tooLarge = false;
        const QByteArray bytes = DrawFile(m_job, QString::fromStdString(code39::BarCodeString(built.data)),
                                          QString::fromUtf8(data), error, tooLarge);
        if (bytes.isEmpty())
            return Done(tooLarge && !m_job.isTemplate ? 2 : 1, where + error.toStdString());
        Pending r;
        r.bytes = bytes.size();
        r.failure = CannotWrite(file, "");
        r.failure.insert(0, where);
        r.exists = ExistsMessage(where, file);
        platform::FileBatch* batch = m_batch ? &*m_batch : nullptr;
        const auto write = [batch, path, bytes] {
            Written written;
            if (batch)
                written.outcome = batch->Write(path, bytes, written.reason);
            else if (!platform::WriteWholeFile(path, bytes, written.reason))
                written.outcome = platform::FileBatch::Outcome::Failed;
            return written;
        };
        // A write that does not wait for the disk runs here when its row is reported: a thread of its own
        // would cost more than it saves, and writers side by side contend for the folder.
        const bool waits = !batch || batch->WriteWaitsForDisk(path);
        r.write = std::async(waits ? std::launch::async : std::launch::deferred, write);
        Add(std::move(r));
    }

    void RowTooLong() override
    {
        ++m_row;
        Done(1, Where() + LineTooLong());
    }

    // Reading stopped after the current row: said after every row's outcome.
    void Stop(std::string_view reason)
    {
        Finish();
        Complain(m_err, AboutLine(m_row, reason));
        m_status = std::max(m_status, 1);
    }

    // Waits for every write and reports what is left; returns the worst status. The files of a batch are
    // on disk once this returns 0.
    int Finish()
    {
        while (!m_rows.empty())
            ReportFirst();
        QString reason;
        if (m_batch && !m_batch->Finish(reason)) {
            Complain(m_err, "the files written could not be synced to disk: " + reason.toStdString());
            m_status = std::max(m_status, 1);
        }
        m_batch.reset();
        return m_status;
    }

private:
    struct Written {
        platform::FileBatch::Outcome outcome = platform::FileBatch::Outcome::Written;
        QString reason; // when Failed
    };
    struct Pending {
        std::future<Written> write; // when a file is being written
        qint64 bytes = 0;           // the file's, held until its write is reported
        int status = 0;
        std::string failure; // the message, or its beginning when the write fails
        std::string exists;  // the message when the file's name is taken
    };
    // Enough writes to overlap the waits for the disk, each a thread while it waits.
    static constexpr std::size_t kWritesInFlight = 8;
    // The files' bytes held at once beyond the one being drawn: a few of the largest drawings, many of the
    // usual ones. A file larger than this is the only one held.
    static constexpr qint64 kBytesInFlight = 64 * 1024 * 1024;

    // A batch names each row's line; a single file needs no number.
    std::string Where() const { return m_job.isTemplate ? AboutLine(m_row, "") : std::string(); }
    static std::string ExistsMessage(const std::string& where, const std::string& file)
    {
        return where + Shown(file) + " exists; --force replaces it";
    }

    void Done(int status, std::string message)
    {
        Pending r;
        r.status = status;
        r.failure = std::move(message);
        Add(std::move(r));
    }

    void Add(Pending&& r)
    {
        m_bytesInFlight += r.bytes;
        m_rows.push_back(std::move(r));
        while (m_rows.size() > kWritesInFlight || (m_bytesInFlight > kBytesInFlight && m_rows.size() > 1))
            ReportFirst();
    }

    void ReportFirst()
    {
        Pending& r = m_rows.front();
        if (r.write.valid()) {
            const Written written = r.write.get();
            if (written.outcome == platform::FileBatch::Outcome::Exists) {
                r.status = 1;
                r.failure = r.exists;
            } else if (written.outcome == platform::FileBatch::Outcome::Failed) {
                r.status = 1;
                r.failure += written.reason.toStdString();
            }
        }
        if (r.status != 0)
            Complain(m_err, r.failure);
        m_status = std::max(m_status, r.status);
        m_bytesInFlight -= r.bytes;
        m_rows.pop_front();
    }

    const Job& m_job;
    std::FILE* m_err;
    unsigned long long m_row = 0;
    std::deque<Pending> m_rows;
    qint64 m_bytesInFlight = 0;
    int m_status = 0;
    std::optional<platform::FileBatch> m_batch;                       // the files of a template
    std::unordered_map<std::size_t, unsigned long long> m_lineOfName; // the first line to make each name
};

} // namespace

int RunPictures(const CommandLine& commandLine, const Console& console, char* programName)
{
    Job job;
    job.type = commandLine.pictureType;
    job.name = commandLine.outputFile;
    job.isTemplate = IsNameTemplate(job.name);
    job.force = commandLine.force;
    job.look.pointSize = commandLine.pointSize;
    job.look.textAbove = commandLine.textAbove;
    job.look.antialias = commandLine.antialias;
    job.dpi = commandLine.dpi;
    job.checksum = commandLine.checksum;
    job.fullAscii = commandLine.fullAscii;
    if (!job.isTemplate && commandLine.data.size() != 1) {
        Complain(console.err, WithUsage(commandLine.outputOption +
                                            " draws exactly one DATA, or one file per row when the file name "
                                            "holds %n or %d",
                                        Mode::Pictures));
        return 2;
    }

    const auto qt = StartOffscreenQt(programName);
    RowDrawer drawer(job, console.err);
    if (!commandLine.data.empty()) {
        ReadArguments(commandLine.data, drawer);
        return drawer.Finish();
    }
    const ReadEnd end = ReadLines(console.in, drawer);
    if (end == ReadEnd::NoLineBreak)
        drawer.Stop(NoLineBreak());
    int status = drawer.Finish();
    if (end == ReadEnd::ReadFailed) {
        Complain(console.err, kCannotReadInput);
        status = std::max(status, 1);
    }
    return status;
}

} // namespace cli

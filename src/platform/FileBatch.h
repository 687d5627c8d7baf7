#pragma once
// Many files written in one run (one picture per row), at a cost per file that does not grow with the
// number of files. A new file is written beside its name and then given that name only if nothing holds
// it by then, so that a batch never replaces a file that another process made meanwhile. New files are
// synced to disk together by Finish(), not one by one; an existing file that may be replaced is replaced
// as WriteWholeFile does, synced at once. Leftovers of killed writers are cleared once per folder.

#include <QByteArray>
#include <QString>

#include <map>
#include <mutex>
#include <vector>

namespace platform {

class FileBatch {
public:
    enum class Existing {
        Keep,    // a name that exists, or comes to exist before the write ends, is left as it is
        Replace, // an existing regular file is replaced, as WriteWholeFile would
    };
    enum class Outcome { Written, Exists, Failed };

    explicit FileBatch(Existing existing);
    ~FileBatch();
    FileBatch(const FileBatch&) = delete;
    FileBatch& operator=(const FileBatch&) = delete;

    // Writes bytes to path; Failed comes with a one-line reason in error, and then nothing
    // was changed. May be called from several threads at once. A Written file is on disk only once
    // Finish() returns true.
    Outcome Write(const QString& path, const QByteArray& bytes, QString& error);

    // True when writing path would wait for the disk (a file replaced, or a system where each new file
    // is synced as it is written): such a write is worth running beside other work, others are not.
    bool WriteWaitsForDisk(const QString& path) const;

    // Syncs every file written to disk and clears the stale temporary files of their names. False, with
    // the reason, when the files may not all be on disk. Called once, after the last Write().
    bool Finish(QString& error);

private:
    struct Folder {
        int handle = -1; // open from before the first write into it, so that a sync reports its errors
        std::vector<std::size_t> nameHashes; // of the names written there, to find their leftovers
    };
    // The folder's record, opened on first use.
    Folder& folderOf(const QString& folderPath);

    const Existing m_existing;
    std::mutex m_mutex; // guards m_folders
    std::map<QString, Folder> m_folders;
    bool m_finished = false;
};

} // namespace platform

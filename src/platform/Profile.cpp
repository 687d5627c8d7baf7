#include "Profile.h"

#include "Errors.h"
#include "FileLock.h"
#include "FileWriter.h"
#include "IniFile.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QThread>
#include <mutex>

namespace platform {

namespace {

// Two copies of the program each read, change and write the whole file; the lock beside it keeps one
// copy's write from undoing the other's. Writes take milliseconds, so a copy that holds the lock for
// seconds is stuck or gone: its lock counts as stale, as does that of a process that no longer runs.
constexpr int kLockTimeoutMs = 3000;
constexpr int kStaleLockMs = 10000;

enum class State { Missing, Unreadable, Read };

struct Contents {
    State state = State::Missing;
    QByteArray bytes;
};

Contents load(const QString& fileName)
{
    Contents contents;
    if (fileName.isEmpty())
        return contents;
    const QFileInfo info(fileName);
    if (!info.exists())
        return contents;
    contents.state = State::Unreadable;
    // Only regular files: opening a pipe or a device could block or never end.
    if (!info.isFile() || info.size() > kMaxProfileFileSize)
        return contents;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return contents;
    // A copy rewriting the file in place holds the file's own lock; its half-written bytes are never read.
    // A lock held for seconds belongs to a stuck copy, and the file is read regardless.
    const FileLock shared(file, FileLock::Mode::Shared, kLockTimeoutMs);
    // The file may grow after the size check; never read more than the bound.
    QByteArray bytes = file.read(kMaxProfileFileSize + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxProfileFileSize)
        return contents;
    contents.state = State::Read;
    contents.bytes = std::move(bytes);
    return contents;
}

// The read-only mark of the file itself, which the superuser would otherwise write through.
bool isReadOnly(const QString& fileName)
{
    const QFileInfo info(fileName);
    // (WriteUser is left out: it reports what this user may do, which for the superuser is everything.)
    const auto writeBits = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return !info.isWritable() || !(info.permissions() & writeBits);
}

// Every call reads the file again, but a large file is parsed again only when its bytes changed: the
// last file parsed is kept and reused while the bytes read are the same. Comparing the bytes, not the
// file's size and time, means another process's write is never missed, however close in time.
// Callers hold parseMutex() for as long as they use what parsed() returns.
std::mutex& parseMutex()
{
    static std::mutex mutex;
    return mutex;
}

IniFile& lastParsed()
{
    static IniFile file{QByteArray()};
    return file;
}

IniFile parsed(const QByteArray& bytes)
{
    IniFile& last = lastParsed();
    if (last.bytes() != bytes)
        last = IniFile(bytes);
    return last;
}

enum class LockState { Held, HeldByAnother, NoLockFile };

// QLockFile's own wait doubles its pauses up to seconds, so a copy writing many keys in a row could
// keep the lock from a waiting one until it gives up; short, uneven pauses give the waiter its turn.
LockState takeLock(QLockFile& lock)
{
    lock.setStaleLockTime(kStaleLockMs);
    const QDeadlineTimer deadline(kLockTimeoutMs);
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError)
            return LockState::NoLockFile;
        if (deadline.hasExpired())
            return LockState::HeldByAnother;
        QThread::usleep(QRandomGenerator::global()->bounded(100, 1000));
    }
    return LockState::Held;
}

// Where no lock file can be made beside the file (a folder that takes no new files), the file itself is
// locked from the read to the write, and rewritten in place through the same handle.
bool writeLockedInPlace(const QString& section, const QString& key, const QString& value, const QString& fileName)
{
    if (!QFileInfo(fileName).isFile() || isReadOnly(fileName))
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return false;
    const FileLock exclusive(file, FileLock::Mode::Exclusive, kLockTimeoutMs);
    if (!exclusive.locked())
        return false;
    const QByteArray before = file.read(kMaxProfileFileSize + 1);
    if (file.error() != QFileDevice::NoError || before.size() > kMaxProfileFileSize)
        return false;
    const std::lock_guard guard(parseMutex());
    const IniFile after = parsed(before).edited(section, key, value);
    QString error; // the profile functions answer only true or false
    if (after.bytes().size() > kMaxProfileFileSize || !RewriteInPlace(file, before, after.bytes(), error))
        return false;
    lastParsed() = after;
    return true;
}

QString lockPathFor(const QString& fileName)
{
    const QFileInfo info(fileName);
    return (info.exists() ? info.canonicalFilePath() : info.absoluteFilePath()) + QStringLiteral(".lock");
}

QString trimTrailingSpaces(QString text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    text.truncate(end);
    return text;
}

// The value as the program writes it: a reader drops outer blanks and one pair of outer quotes, so a value
// that has either is stored inside a further pair of quotes and reads back as it was written.
QString quotedToReadBack(const QString& value)
{
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    const bool quoted =
        value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front();
    if (value.isEmpty() || !(blank(value.front()) || blank(value.back()) || quoted))
        return value;
    return u'"' + value + u'"';
}

} // namespace

QString GetPrivateProfileString(const QString& section, const QString& key, const QString& defaultValue,
                                const QString& fileName)
{
    const Contents contents = load(fileName);
    if (contents.state == State::Read) {
        const std::lock_guard guard(parseMutex());
        if (std::optional<QString> value = parsed(contents.bytes).value(section, key))
            return *value;
    }
    return trimTrailingSpaces(defaultValue).left(IniFile::kMaxValueLength);
}

QString ReadText(const QString& section, const QString& key, const QString& defaultValue, const QString& fileName)
{
    const Contents contents = load(fileName);
    if (contents.state == State::Read) {
        const std::lock_guard guard(parseMutex());
        if (std::optional<QString> value = parsed(contents.bytes).wholeValue(section, key))
            return *value;
    }
    return defaultValue;
}

bool WritePrivateProfileString(const QString& section, const QString& key, const QString& value,
                               const QString& fileName)
{
    if (fileName.isEmpty())
        return false;
    QLockFile lock(lockPathFor(fileName));
    switch (takeLock(lock)) {
    case LockState::HeldByAnother:
        return false;
    case LockState::NoLockFile:
        if (QFileInfo::exists(fileName))
            return writeLockedInPlace(section, key, value, fileName);
        break; // nothing to lock yet: a new file can only come from a folder that takes one
    case LockState::Held:
        break;
    }

    const Contents contents = load(fileName);
    if (contents.state == State::Unreadable)
        return false;
    if (contents.state == State::Read && isReadOnly(fileName))
        return false;
    const std::lock_guard guard(parseMutex());
    const IniFile after = parsed(contents.bytes).edited(section, key, value);
    if (after.bytes().size() > kMaxProfileFileSize)
        return false;
    // The new contents go to a temporary file in the same folder that then replaces the old one, so a
    // crash, a full disk or a second copy of the program never leaves a truncated file behind. A file
    // in a folder that cannot be written is still the user's to change: it is rewritten in place.
    QString error; // the profile functions answer only true or false
    if (!WriteWholeFile(fileName, after.bytes(), WriteFallback::InPlace, error))
        return false;
    lastParsed() = after;
    return true;
}

QStringList ReadSectionValues(const QString& section, const QString& fileName)
{
    const Contents contents = load(fileName);
    if (contents.state != State::Read)
        return {};
    const std::lock_guard guard(parseMutex());
    return parsed(contents.bytes).sectionValues(section);
}

bool SectionExists(const QString& section, const QString& fileName)
{
    const Contents contents = load(fileName);
    if (contents.state != State::Read)
        return false;
    const std::lock_guard guard(parseMutex());
    return parsed(contents.bytes).hasKeys(section);
}

int ReadInteger(const QString& section, const QString& key, int defaultValue, const QString& fileName)
{
    const Contents contents = load(fileName);
    if (contents.state != State::Read)
        return defaultValue;
    const std::lock_guard guard(parseMutex());
    const std::optional<QString> text = parsed(contents.bytes).value(section, key);
    if (!text)
        return defaultValue;
    return ProfileInteger(*text).value_or(defaultValue);
}

bool ReadBool(const QString& section, const QString& key, bool defaultValue, const QString& fileName)
{
    return ReadInteger(section, key, defaultValue ? 1 : 0, fileName) != 0;
}

void WriteString(const QString& section, const QString& key, const QString& value, const QString& fileName)
{
    if (!WritePrivateProfileString(section, key, value, fileName)) {
        const QString path = QFileInfo(fileName).isAbsolute() ? fileName : QFileInfo(fileName).absoluteFilePath();
        throw IniError(QStringLiteral("Unable to write to %1").arg(QDir::toNativeSeparators(path)));
    }
}

void WriteText(const QString& section, const QString& key, const QString& text, const QString& fileName)
{
    WriteString(section, key, quotedToReadBack(text), fileName);
}

void WriteInteger(const QString& section, const QString& key, int value, const QString& fileName)
{
    WriteString(section, key, QString::number(value), fileName);
}

void WriteBool(const QString& section, const QString& key, bool value, const QString& fileName)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"), fileName);
}

} // namespace platform

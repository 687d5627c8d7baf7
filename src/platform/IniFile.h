#pragma once
// The profile-file grammar over a file's bytes, without any disk access: the reader and the single-key
// editor behind Profile.h. Working on the bytes as they are lets a write change one value and keep
// every other byte, whatever the file holds.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace platform {

class IniFile {
public:
    enum class Encoding {
        CodePage, // no byte-order mark: the system's 8-bit code page
        Utf8Bom,  // EF BB BF, kept on writes
        Utf16Le,  // FF FE, kept on writes
    };

    // A value read is cut to this many characters (the profile functions' 2,048-character buffer).
    static constexpr qsizetype kMaxValueLength = 2047;

    explicit IniFile(QByteArray bytes);

    Encoding encoding() const { return m_encoding; }
    const QByteArray& bytes() const { return m_bytes; }

    // The value of the first matching key in the first matching section, blanks and one pair of outer
    // quotes removed, cut to kMaxValueLength, half a surrogate pair read as U+FFFD; nullopt when the section
    // or the key is missing.
    // Section and key are matched without regard to case, after trimming their spaces.
    std::optional<QString> value(const QString& section, const QString& key) const;
    // The same value, not cut: for the program's own text, which must read back whole.
    std::optional<QString> wholeValue(const QString& section, const QString& key) const;
    // "key=value" for every key line of the first matching section, in file order; a repeated key
    // shows the value that a read of it gives.
    QStringList sectionValues(const QString& section) const;
    // True when the first matching section holds at least one key.
    bool hasKeys(const QString& section) const;

    // The file's bytes after writing key=value into section: the value of an existing key is replaced
    // in place, a missing key goes after the last key of its section, a missing section is appended.
    // Section and key lose their outer spaces; line breaks in the value are written as spaces, since
    // they would otherwise start lines of their own.
    QByteArray withValue(const QString& section, const QString& key, const QString& value) const;
    // The same write as a file of its own. Where the write only replaces a value, the new file keeps
    // what this one learnt about where its sections start, so a chain of writes into a large file does
    // not pass every line again each time.
    IniFile edited(const QString& section, const QString& key, const QString& value) const;

private:
    struct Line {
        qsizetype begin = 0; // byte offset of the line's first character
        qsizetype end = 0;   // byte offset just past its last character, before the line break
        qsizetype next = 0;  // byte offset of the following line
    };
    enum class Kind { Blank, Comment, Header, Key, Text };
    struct Parsed {
        Kind kind = Kind::Blank;
        QString name;  // section name or key, blanks removed
        QString value; // key lines only: the value as read
    };

    bool nextLine(qsizetype& pos, Line& line) const;
    char16_t unitAt(qsizetype pos) const
    {
        const auto* data = reinterpret_cast<const unsigned char*>(m_bytes.constData());
        return m_unit == 1 ? char16_t(data[pos]) : char16_t(data[pos] | data[pos + 1] << 8);
    }
    QString decode(qsizetype begin, qsizetype end) const;
    QByteArray encode(const QString& text) const;
    Parsed parse(const Line& line) const;
    // Calls visit(line, parsed) for the lines of the first section named `folded` (case-folded),
    // header first; returns false when there is no such section.
    template <typename Visit> bool forEachInSection(const QString& folded, Visit visit) const;
    // Where the first header of each section (case-folded name) starts, found in one pass when first
    // needed. Not safe to call from two threads at once on copies of one file.
    const QHash<QString, qsizetype>& sectionStarts() const;
    // withValue(); *shiftFrom is set to the offset after which the bytes moved when only a value was
    // replaced, to -1 otherwise.
    QByteArray write(const QString& section, const QString& key, const QString& value, qsizetype* shiftFrom) const;

    QByteArray m_bytes;
    Encoding m_encoding = Encoding::CodePage;
    qsizetype m_textBegin = 0; // past the byte-order mark
    qsizetype m_textEnd = 0;   // a UTF-16 file of odd length keeps its last byte after the text
    int m_unit = 1;            // bytes per character unit
    // Shared by copies, so that what one copy learns serves them all.
    struct SectionIndex {
        bool built = false;
        QHash<QString, qsizetype> starts;
    };
    std::shared_ptr<SectionIndex> m_index = std::make_shared<SectionIndex>();
};

// An integer as the profile reader takes it: signed decimal, or hexadecimal after "0x"/"0X" (texts
// longer than two characters only); nullopt for anything else or a decimal outside 32 bits.
// Hexadecimal up to 32 bits wraps to the signed value.
std::optional<int> ProfileInteger(const QString& text);

} // namespace platform

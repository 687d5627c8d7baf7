#pragma once
// The profile-file grammar over a file's bytes, without any disk access: the reader and the single-key
// editor behind Profile.h. Working on the bytes as they are lets a write change one value and keep
// every other byte, whatever the file holds.

#include <QByteArray>
#include <QString>
#include <QStringList>
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

    // The value of the first matching key in the first matching section, blanks and one pair of outer
    // quotes removed, cut to kMaxValueLength; nullopt when the section or the key is missing.
    // Section and key are matched without regard to case, after trimming their spaces.
    std::optional<QString> value(const QString& section, const QString& key) const;
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
    char16_t unitAt(qsizetype pos) const;
    QString decode(qsizetype begin, qsizetype end) const;
    QByteArray encode(const QString& text) const;
    Parsed parse(const Line& line) const;
    // Calls visit(line, parsed) for the lines of the first section named `folded` (case-folded),
    // header first; returns false when there is no such section.
    template <typename Visit> bool forEachInSection(const QString& folded, Visit visit) const;

    QByteArray m_bytes;
    Encoding m_encoding = Encoding::CodePage;
    qsizetype m_textBegin = 0; // past the byte-order mark
    qsizetype m_textEnd = 0;   // a UTF-16 file of odd length keeps its last byte after the text
    int m_unit = 1;            // bytes per character unit
};

// An integer as the profile reader takes it: signed decimal, or hexadecimal after "$" or (for texts
// longer than two characters) "0x"/"0X"; nullopt for anything else or a decimal outside 32 bits.
// Hexadecimal up to 32 bits wraps to the signed value.
std::optional<int> ProfileInteger(const QString& text);

} // namespace platform

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <optional>
#include <utility>

namespace support {

// A fresh HOME for one test case: HOME and the XDG folders the program, its scripts and its tools read
// (configuration, data, cache, state) point inside it, for this process and the programs it starts. When
// it goes, the folder goes and every variable it set is as it was before.
class TemporaryHome {
public:
    TemporaryHome();
    ~TemporaryHome();
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

    // False when the folder could not be made (the variables are then left alone).
    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    // Sets an environment variable until the home goes, e.g. HOME to a folder inside it.
    void setVariable(const char* name, const QString& value);

private:
    QTemporaryDir m_dir;
    QList<std::pair<QByteArray, std::optional<QByteArray>>> m_saved; // each variable's value before
};

} // namespace support

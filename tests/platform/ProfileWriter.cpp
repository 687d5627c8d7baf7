// Helper for TestProfile: writes to a settings file from a process of its own, so that the test can
// kill it mid-write or hold it to a file-size limit that stands in for a full disk.
//   profile_writer loop <file> <value length>   writes Data = "A..." / "B..." until killed
//   profile_writer limited <file> <max bytes>   one write under RLIMIT_FSIZE; prints the error text
//   profile_writer keys <file> <name>           writes <name>0..<name>49 twenty times over, the values
//                                               0..19, as a second copy of the program would
//   profile_writer hold <file> <unused>         holds the settings lock until killed
#include "platform/Errors.h"
#include "platform/Profile.h"

#include <QLockFile>
#include <QString>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    const QString file = QString::fromLocal8Bit(argv[2]);
    const long number = std::atol(argv[3]);
    if (std::strcmp(argv[1], "loop") == 0) {
        const QString a(number, u'A');
        const QString b(number, u'B');
        std::puts("ready");
        std::fflush(stdout);
        for (unsigned i = 0;; ++i)
            platform::WriteString("Settings", "Data", i % 2 ? b : a, file);
    }
    if (std::strcmp(argv[1], "limited") == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{rlim_t(number), rlim_t(number)};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 3;
        try {
            platform::WriteString("Settings", "Data", QString(4 * number, u'x'), file);
        } catch (const platform::IniError& e) {
            std::puts(e.message().toLocal8Bit().constData());
            return 0;
        }
        return 1;
    }
    if (std::strcmp(argv[1], "keys") == 0) {
        const QString name = QString::fromLocal8Bit(argv[3]);
        std::puts("ready");
        std::fflush(stdout);
        try {
            for (int round = 0; round < 20; ++round) {
                for (int key = 0; key < 50; ++key)
                    platform::WriteInteger("Settings", name + QString::number(key), round, file);
            }
        } catch (const platform::IniError& e) {
            std::puts(e.message().toLocal8Bit().constData());
            return 1;
        }
        return 0;
    }
    if (std::strcmp(argv[1], "hold") == 0) {
        QLockFile lock(file + ".lock");
        if (!lock.lock())
            return 3;
        std::puts("ready");
        std::fflush(stdout);
        for (;;)
            QThread::sleep(1);
    }
    return 2;
}

// Any bytes as a settings file: no crash, no hang, values within the read limit, and the section
// listing agrees with single reads.
#include "FuzzInput.h"
#include "platform/IniFile.h"

using platform::IniFile;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const QString section = takeText(in, 32);
    const QString key = takeText(in, 32);
    const int number = in.ConsumeIntegral<int>();
    const std::vector<char> rest = in.ConsumeRemainingBytes<char>();
    const IniFile ini(QByteArray(rest.data(), qsizetype(rest.size())));

    const std::optional<QString> value = ini.value(section, key);
    if (value) {
        FUZZ_CHECK(value->size() <= IniFile::kMaxValueLength);
        FUZZ_CHECK(value->isEmpty() || !value->back().isHighSurrogate());
        (void)platform::ProfileInteger(*value);
    }

    const QStringList lines = ini.sectionValues(section);
    FUZZ_CHECK(ini.hasKeys(section) == !lines.isEmpty());
    // Each listed line is key=value with the value a read of that key gives (checked for the first few:
    // every check is a scan of the whole file).
    for (qsizetype i = 0; i < std::min<qsizetype>(lines.size(), 8); ++i) {
        const qsizetype eq = lines[i].indexOf(u'=');
        FUZZ_CHECK(eq >= 0);
        FUZZ_CHECK(ini.value(section, lines[i].left(eq)) == lines[i].mid(eq + 1));
    }

    // Numbers written the way the program writes them read back as themselves.
    FUZZ_CHECK(platform::ProfileInteger(QString::number(number)) == number);
    return 0;
}

// The settings and choices files are text the user may edit by hand: the reader and the
// rewriter of an INI text, on memory, so that inputs of many kilobytes are reached.
#include <algorithm>

#include "fuzz_input.h"
#include "platform/ini_text.h"

namespace {

// A name that can be written and read back as itself.
bool writable(const QString& name, bool isSection) {
    const QString t = name.trimmed();
    return !t.isEmpty() && t == name && !t.contains(QLatin1Char('\n')) &&
           !t.contains(QLatin1Char('\r')) && !t.contains(QLatin1Char('\0')) &&
           (isSection ? !t.contains(QLatin1Char(']'))
                      : !t.contains(QLatin1Char('=')) && !t.startsWith(QLatin1Char(';')) &&
                            !t.startsWith(QLatin1Char('#')) && !t.startsWith(QLatin1Char('[')));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const orvex::fuzz::Input input(data, size);
    const QByteArray text = input.rest.toByteArray();
    const platform::IniText ini(text);
    // Sections and keys the program uses, and some taken from the input itself.
    const qsizetype cut = std::min<qsizetype>(input.control % 16, text.size());
    const QString fromInput = QString::fromUtf8(text.first(cut)).trimmed();
    const QString sections[] = {QStringLiteral("profiles"), QStringLiteral("118"), fromInput};
    const QString keys[] = {QStringLiteral("selcetsubindex"), QStringLiteral("size"), fromInput};
    const QString& section = sections[input.control % 3];
    const QString& key = keys[(input.control / 3) % 3];
    const QString& other = keys[(input.control / 3 + 1) % 3];
    (void)ini.hasBinaryBytes();

    // A rewrite gives back what was written, and leaves every other key as it was.
    const std::optional<QString> otherBefore = ini.value(section, other);
    const QByteArray rewritten = ini.withValue(section, key, QStringLiteral("42"));
    const platform::IniText after(rewritten);
    if (writable(section, true) && writable(key, false)) {
        if (after.value(section, key) != QStringLiteral("42")) {
            __builtin_trap();
        }
        if (other.compare(key, Qt::CaseInsensitive) != 0 &&
            after.value(section, other) != otherBefore) {
            __builtin_trap();
        }
    }
    // Writing the same value again changes nothing.
    if (after.withValue(section, key, QStringLiteral("42")) != rewritten &&
        writable(section, true) && writable(key, false)) {
        __builtin_trap();
    }
    return 0;
}

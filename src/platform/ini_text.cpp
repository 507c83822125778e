#include "platform/ini_text.h"

#include <QStringDecoder>
#include <utility>

namespace platform {

namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";

// "[name]" (blanks around allowed, text after "]" ignored, as Windows does) gives the name.
std::optional<QByteArray> sectionName(const QByteArray& line) {
    const QByteArray t = line.trimmed();
    if (!t.startsWith('[')) {
        return std::nullopt;
    }
    const qsizetype close = t.indexOf(']');
    if (close < 0) {
        return std::nullopt;
    }
    return t.mid(1, close - 1).trimmed();
}

// "key = value" gives the trimmed key and value; comments and lines without "=" give nothing.
std::optional<std::pair<QByteArray, QByteArray>> keyValue(const QByteArray& line) {
    const QByteArray t = line.trimmed();
    if (t.isEmpty() || t.startsWith(';') || t.startsWith('#') || t.startsWith('[')) {
        return std::nullopt;
    }
    const qsizetype eq = t.indexOf('=');
    if (eq <= 0) {
        return std::nullopt;
    }
    return std::make_pair(t.left(eq).trimmed(), t.mid(eq + 1).trimmed());
}

bool sameName(const QByteArray& a, const QString& b) {
    return QString::fromUtf8(a).compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

}  // namespace

IniText::IniText(const QByteArray& data) {
    qsizetype start = 0;
    if (data.startsWith(kBom)) {
        bom_ = kBom;
        start = bom_.size();
    }
    while (start < data.size()) {
        qsizetype end = start;
        while (end < data.size() && data[end] != '\n' && data[end] != '\r') {
            ++end;
        }
        if (end == data.size()) {
            lines_.append({data.mid(start), QByteArray()});
            break;
        }
        const qsizetype next =
            data[end] == '\r' && end + 1 < data.size() && data[end + 1] == '\n' ? end + 2 : end + 1;
        lines_.append({data.mid(start, end - start), data.mid(end, next - end)});
        start = next;
    }
}

std::optional<QString> IniText::value(const QString& section, const QString& key) const {
    bool inSection = false;
    for (const Line& line : lines_) {
        if (const auto name = sectionName(line.text)) {
            inSection = sameName(*name, section);
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (const auto kv = keyValue(line.text); kv && sameName(kv->first, key)) {
            QByteArray value = kv->second;
            // Windows strips one pair of surrounding quotes.
            if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"')) {
                value = value.mid(1, value.size() - 2);
            }
            return QString::fromUtf8(value);
        }
    }
    return std::nullopt;
}

QByteArray IniText::withValue(const QString& section, const QString& key,
                              const QString& value) const {
    QList<Line> lines = lines_;
    // New lines take the text's own line ending, LF for a new text.
    QByteArray eol = "\n";
    for (const Line& l : lines) {
        if (!l.ending.isEmpty()) {
            eol = l.ending;
            break;
        }
    }
    const QByteArray newLine = key.trimmed().toUtf8() + '=' + value.toUtf8();

    qsizetype sectionAt = -1;   // line of the first section of that name
    qsizetype sectionEnd = -1;  // index after that section's last key line
    bool replaced = false;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size() && !replaced; ++i) {
        if (const auto name = sectionName(lines[i].text)) {
            if (inSection) {
                break;  // only the first section of that name is written, as it is the one read
            }
            inSection = sameName(*name, section);
            if (inSection) {
                sectionAt = i;
                sectionEnd = i + 1;
            }
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (!lines[i].text.trimmed().isEmpty()) {
            sectionEnd = i + 1;
        }
        if (const auto kv = keyValue(lines[i].text); kv && sameName(kv->first, key)) {
            lines[i].text = newLine;
            replaced = true;
        }
    }
    if (!replaced) {
        if (sectionAt >= 0) {
            lines.insert(sectionEnd, {newLine, eol});
        } else {
            lines.append({'[' + section.trimmed().toUtf8() + ']', eol});
            lines.append({newLine, eol});
        }
        // A line inserted after a last line that had no ending needs one between them.
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            if (lines[i].ending.isEmpty()) {
                lines[i].ending = eol;
            }
        }
    }

    QByteArray data = bom_;
    for (const Line& l : std::as_const(lines)) {
        data += l.text;
        data += l.ending;
    }
    return data;
}

bool IniText::hasBinaryBytes() const {
    QStringDecoder utf8(QStringDecoder::Utf8);
    for (const Line& line : lines_) {
        if (line.text.contains('\0')) {
            return true;
        }
        (void)utf8(line.text);
        if (utf8.hasError()) {
            return true;
        }
    }
    return false;
}

}  // namespace platform

#include "core/profiles/choices_store.h"

#include "core/engine/whole_number.h"

int ChoicesStore::readInt(const QString& section, const QString& key, int defaultValue) const {
    const std::optional<QString> text = readText(section, key);
    const std::optional<qint64> n = text ? wholeNumber(*text, 999'999'999) : std::nullopt;
    return n ? static_cast<int>(*n) : defaultValue;
}

std::optional<QString> IniChoicesStore::readText(const QString& section, const QString& key) const {
    return file_.value(section, key);
}

void IniChoicesStore::writeInt(const QString& section, const QString& key, int value) {
    file_.writeInt(section, key, value);
}

QString ReadOnlyChoicesStore::slot(const QString& section, const QString& key) {
    // Sections and keys match without regard to case, as in the file.
    return section.toLower() + QLatin1Char('\n') + key.toLower();
}

std::optional<QString> ReadOnlyChoicesStore::readText(const QString& section,
                                                      const QString& key) const {
    const auto it = changes_.constFind(slot(section, key));
    return it != changes_.constEnd() ? QString::number(*it) : file_.value(section, key);
}

void ReadOnlyChoicesStore::writeInt(const QString& section, const QString& key, int value) {
    changes_.insert(slot(section, key), value);
}

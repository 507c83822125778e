#include "core/profiles/choices_store.h"

int IniChoicesStore::readInt(const QString& section, const QString& key, int defaultValue) const {
    return file_.readInt(section, key, defaultValue);
}

void IniChoicesStore::writeInt(const QString& section, const QString& key, int value) {
    file_.writeInt(section, key, value);
}

QString ReadOnlyChoicesStore::slot(const QString& section, const QString& key) {
    // Sections and keys match without regard to case, as in the file.
    return section.toLower() + QLatin1Char('\n') + key.toLower();
}

int ReadOnlyChoicesStore::readInt(const QString& section, const QString& key,
                                  int defaultValue) const {
    const auto it = changes_.constFind(slot(section, key));
    return it != changes_.constEnd() ? *it : file_.readInt(section, key, defaultValue);
}

void ReadOnlyChoicesStore::writeInt(const QString& section, const QString& key, int value) {
    changes_.insert(slot(section, key), value);
}

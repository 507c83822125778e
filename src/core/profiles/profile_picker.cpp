#include "core/profiles/profile_picker.h"

ProfilePicker::ProfilePicker(CommandGuards& guards, QObject* parent)
    : QObject(parent), guards_(guards) {}

void ProfilePicker::openPicker(int) {
    if (guards_.refusedWhileConverting()) {
        return;
    }
    open_ = true;
    emit changed();
}

void ProfilePicker::hidePicker() {
    if (!open_) {
        return;
    }
    open_ = false;
    emit changed();
}

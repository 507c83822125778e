#include "dvdsectors/dvd_disc.h"

#include <cstdio>

#include "dvdsectors/disc_files.h"

namespace orvex::dvd {

DvdDisc::~DvdDisc() {
    if (dvd_) {
        DVDClose(dvd_);
    }
}

void DvdDisc::log(void* self, dvd_logger_level_t level, const char* format, va_list args) {
    auto* disc = static_cast<DvdDisc*>(self);
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    std::string message(text);
    // Its banner about missing CSS support spans several lines; the first one says it all.
    if (const size_t cut = message.find_first_of("*\n"); cut != std::string::npos) {
        message.erase(cut);
    }
    while (!message.empty() && (message.back() == ' ' || message.back() == '.')) {
        message.pop_back();
    }
    if (message.find("Encrypted DVD support unavailable") != std::string::npos) {
        disc->decryptionUnavailable_ = true;
        return;
    }
    // Said for every folder, which has no device by nature.
    if (message.find("Couldn't find device name") != std::string::npos) {
        return;
    }
    if (level == DVD_LOGGER_LEVEL_ERROR || level == DVD_LOGGER_LEVEL_WARN) {
        disc->lastMessage_ = message;
    }
}

std::unique_ptr<DvdDisc> DvdDisc::open(const std::string& root, std::string* error) {
    // libdvdread's own message for a missing path ("Can't stat") hides the reason, and it would
    // wait for good on a FIFO.
    if (const std::string why = discRootProblem(root); !why.empty()) {
        *error = "cannot open the DVD '" + root + "': " + why;
        return nullptr;
    }
    std::unique_ptr<DvdDisc> disc(new DvdDisc);
    static const dvd_logger_cb kLogger{&DvdDisc::log};
    disc->dvd_ = DVDOpen2(disc.get(), &kLogger, root.c_str());
    if (!disc->dvd_) {
        *error = "cannot open the DVD '" + root + "'" +
                 (disc->lastMessage_.empty() ? std::string() : ": " + disc->lastMessage_);
        return nullptr;
    }
    return disc;
}

}  // namespace orvex::dvd

#pragma once

#include <dvdread/dvd_reader.h>

#include <cstdarg>
#include <memory>
#include <string>

namespace orvex::dvd {

// A disc, image or disc folder opened through libdvdread. libdvdread's messages are kept for
// error texts instead of being printed: callers are libraries and a pipe-fed encoder whose
// output people read.
class DvdDisc {
  public:
    ~DvdDisc();
    DvdDisc(const DvdDisc&) = delete;
    DvdDisc& operator=(const DvdDisc&) = delete;

    // root: the folder that holds VIDEO_TS (or VIDEO_TS itself), an image file or a device.
    // nullptr with *error set when libdvdread cannot open it.
    static std::unique_ptr<DvdDisc> open(const std::string& root, std::string* error);

    dvd_reader_t* reader() const { return dvd_; }
    // libdvdread's last complaint, empty if none; read it right after a failed call.
    const std::string& lastMessage() const { return lastMessage_; }
    // libdvdread said it has no way to decrypt CSS (libdvdcss is not installed).
    bool decryptionUnavailable() const { return decryptionUnavailable_; }

  private:
    DvdDisc() = default;
    static void log(void* self, dvd_logger_level_t level, const char* format, va_list args);

    dvd_reader_t* dvd_ = nullptr;
    std::string lastMessage_;
    bool decryptionUnavailable_ = false;
};

}  // namespace orvex::dvd

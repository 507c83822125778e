// The skin's description comes from skn.skn, a file beside the program that anyone may replace.
#include "fuzz_input.h"
#include "gui/skin/form/skin_description.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray json(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString error;
    const std::optional<SkinDescription> description = SkinDescription::parse(json, &error);
    if (!description) {
        if (error.isEmpty()) {
            __builtin_trap();  // a refusal always says why
        }
        return 0;
    }
    // Everything the engine looks up in a description it accepted.
    for (const SkinForm& form : description->forms) {
        if (description->form(form.name) == nullptr) {
            __builtin_trap();
        }
        for (const SkinObjectDef& object : form.objects) {
            (void)form.object(object.name);
        }
        (void)form.variant(form.defaultVariant);
        for (const SkinVariant& variant : form.variants) {
            for (const QString& image : SkinDescription::imagesOf(variant)) {
                (void)image.isEmpty();
            }
            for (auto it = variant.placements.begin(); it != variant.placements.end(); ++it) {
                (void)form.object(it.key());
            }
        }
    }
    return 0;
}

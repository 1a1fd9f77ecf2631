// Fuzz entry point for the settings-file reader and the in-memory writer:
// any bytes must parse, answer lookups and accept or refuse a write without
// crashing, and a write that succeeds must read back.
#include "platform/profile_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    ProfileText text(bytes);
    static const char* const kSections[] = {"Volume", "Picture Files", "Sound Files", "Options",
                                            "Slide Show"};
    static const char* const kKeys[] = {"OrgPath", "NumPages", "Page1", "BackColor", "Seconds"};
    for (const char* section : kSections) {
        for (const char* key : kKeys) {
            (void)GetProfileString(text, section, key, "default", 255);
            (void)GetProfileInt(text, section, key, 7);
        }
        text.ForEachKey(section, [](std::string_view k, std::string_view v) {
            if (k.empty() && !v.empty() && v.data() == nullptr)
                std::abort();
        });
    }
    auto written = text.WithValue("Picture Files", "Page1", "C:\\COPIES\\COW.BMP");
    if (written) {
        ProfileText again(*written);
        if (GetProfileString(again, "Picture Files", "Page1", "", 512) != "C:\\COPIES\\COW.BMP")
            std::abort();
    }
    return 0;
}

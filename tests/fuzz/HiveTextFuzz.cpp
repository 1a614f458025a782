// Any bytes read as a settings hive without undefined behaviour; a hive we accept takes a
// write, and reading the written text gives back the value written.
#include "platform/posix/HiveText.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string_view section = "HKEY_CURRENT_USER\\Software\\Velmora Software\\Ambrin";
    ambrin::platform::HiveText hive;
    if (!hive.Parse(text)) return 0;
    std::uint32_t type = 0;
    std::string bytes;
    hive.Find(section, "AppFolder", type, bytes);
    if (hive.Text() != text) std::abort();  // reading changes nothing

    hive.SetNumber(section, "Topmost", 0x12345678);
    ambrin::platform::HiveText again;
    if (!again.Parse(hive.Text())) std::abort();
    if (!again.Find(section, "topmost", type, bytes)) std::abort();
    if (type != 4 || bytes != std::string("\x78\x56\x34\x12", 4)) std::abort();
    return 0;
}

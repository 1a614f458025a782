// Any bytes read as a project list. A name that ends in a control byte (hidden behind a
// trailing space in the file it came from) loses it in the file; every other list goes
// through the file unchanged, less its empty name.
#include "storage/ProjectList.h"

#include <cstdlib>
#include <sstream>

namespace {

ambrin::ProjectList RoundTrip(const ambrin::ProjectList& list)
{
    std::ostringstream out;
    if (!list.WriteList(out)) std::abort();
    std::istringstream in(out.str());
    ambrin::ProjectList back;
    if (!back.ReadList(in)) std::abort();
    return back;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    ambrin::ProjectList list;
    if (!list.ReadList(in)) std::abort();
    for (std::uint32_t i = 0; i < list.Count(); ++i) {
        const std::string& name = list.At(i);
        const auto last = name.empty() ? 'x' : static_cast<unsigned char>(name.back());
        if (last < 32 || last == 127) return 0;
    }
    const ambrin::ProjectList back = RoundTrip(list);
    std::uint32_t j = 0;
    for (std::uint32_t i = 0; i < list.Count(); ++i) {
        if (list.At(i).empty()) continue;
        if (j >= back.Count() || back.At(j++) != list.At(i)) std::abort();
    }
    if (j != back.Count()) std::abort();
    return 0;
}

#include "runtime/encoding.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

namespace rt {
namespace {

struct IconvClose {
    void operator()(iconv_t descriptor) const { iconv_close(descriptor); }
};
using Converter = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvClose>;

// Converts the whole input; a byte sequence that is not valid in `from` is
// replaced by '?' so that one bad byte does not lose the rest of the text.
std::string convert(std::string_view input, const char* from, const char* to) {
    Converter converter(iconv_open(to, from));
    if (converter.get() == reinterpret_cast<iconv_t>(-1)) return std::string(input);

    std::string output(input.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(input.data());
    std::size_t in_left = input.size();
    std::size_t used = 0;
    while (in_left > 0) {
        if (output.size() - used < 8) output.resize(output.size() * 2);
        char* out = output.data() + used;
        std::size_t out_left = output.size() - used;
        std::size_t result = iconv(converter.get(), &in, &in_left, &out, &out_left);
        used = out - output.data();
        if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        // EILSEQ or EINVAL: replace one byte and go on
        ++in;
        --in_left;
        output[used++] = '?';
    }
    output.resize(used);
    return output;
}

}  // namespace

std::string utf8_to_system(std::string_view utf8) {
    return convert(utf8, "UTF-8", "GB18030");
}

std::string system_to_utf8(std::string_view system) {
    return convert(system, "GB18030", "UTF-8");
}

}  // namespace rt

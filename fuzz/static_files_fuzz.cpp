// Arbitrary bytes as a static-file directory stream: the first byte sets the piece length, the
// next few the receiver ID; every record must be a listed entry with a bounded name, and every
// header 160 bytes ending in zero.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "static_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const std::size_t piece = 1 + data[0] % 64;
    const std::size_t idLength = data[1] % 32;
    data += 2;
    size -= 2;
    const std::size_t idBytes = idLength < size ? idLength : size;
    const std::string id(reinterpret_cast<const char*>(data), idBytes);
    data += idBytes;
    size -= idBytes;

    Varnok::StaticFileDirectory dir;
    std::vector<Varnok::StaticFileRecord> files;
    for (std::size_t at = 0; at < size; at += piece) {
        const std::size_t n = size - at < piece ? size - at : piece;
        dir.append(data + at, n, id, files);
    }
    for (const Varnok::StaticFileRecord& f : files) {
        if (f.gpsTime == 0 || f.name.size() > 21 || f.size < 0 || f.secondTime.hour > 23 ||
            f.start.month < 1 || f.start.month > 12) {
            std::abort();
        }
    }
    const std::string header =
        Varnok::staticFileHeader(size > 0 ? data[0] : 0, id,
                                 std::string(reinterpret_cast<const char*>(data), size), id + id);
    if (header.size() != 160 || header.back() != '\0') {
        std::abort();
    }
    return 0;
}

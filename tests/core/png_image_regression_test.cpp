// Inputs found by fuzzing decodePicture, kept as they were found or cut down to their cause.
#include "ui/png_image.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#ifdef __linux__
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#endif

namespace {

using Bytes = std::vector<std::uint8_t>;

// Sized up front and written in place: gcc 12 sees false overflows in byte-wise push_back.
void putU32(std::uint8_t* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

// A chunk whose length field says `claimed`, holding `data` and a CRC over what is there.
Bytes chunk(const char* type, const Bytes& data, std::uint32_t claimed) {
    Bytes c(12 + data.size());
    putU32(c.data(), claimed);
    std::memcpy(c.data() + 4, type, 4);
    if (!data.empty()) std::memcpy(c.data() + 8, data.data(), data.size());
    putU32(c.data() + 8 + data.size(),
           static_cast<std::uint32_t>(crc32(0, c.data() + 4, static_cast<uInt>(4 + data.size()))));
    return c;
}

Bytes chunk(const char* type, const Bytes& data) {
    return chunk(type, data, static_cast<std::uint32_t>(data.size()));
}

// The image is 2x1 RGBA, 8 bits: opaque red, then blue at alpha 0.
Bytes ihdrChunk() {
    Bytes ihdr = {0, 0, 0, 0, 0, 0, 0, 0, 8, 6, 0, 0, 0};
    putU32(ihdr.data(), 2);
    putU32(ihdr.data() + 4, 1);
    return chunk("IHDR", ihdr);
}

Bytes idatAndEnd() {
    const Bytes raw = {0, 255, 0, 0, 255, 0, 0, 255, 0};
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes z(size);
    EXPECT_EQ(compress(z.data(), &size, raw.data(), static_cast<uLong>(raw.size())), Z_OK);
    z.resize(size);
    Bytes out = chunk("IDAT", z);
    const Bytes end = chunk("IEND", {});
    out.insert(out.end(), end.begin(), end.end());
    return out;
}

Bytes png(const std::vector<Bytes>& parts) {
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// Over a white background: red, then white where the pixel is clear.
const Bytes kImageBgra = {0, 0, 255, 255, 255, 255, 255, 255};

// As the fuzzer found it: a 2x2 16-bit RGBA header, then a zTXt whose length field reads
// "tEXt" (1.95 GB) in a 180-byte file. libpng allocated and zeroed that much before finding
// the data missing. Background 0x00FEDCBA.
const Bytes kFoundZtxt = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x02, 0x10, 0x06, 0x00, 0x00, 0x00, 0x22, 0x26, 0xd1,
    0x67, 0x74, 0x45, 0x58, 0x74, 0x7a, 0x54, 0x58, 0x74, 0x63, 0x48, 0x52, 0x4d, 0x00, 0x01, 0x00,
    0x02, 0xfe, 0x03, 0x5e, 0xae, 0x17, 0x1b, 0x00, 0x00, 0x00, 0x2b, 0x49, 0x44, 0x54, 0x41, 0x78,
    0x9e, 0x7a, 0x2f, 0xff, 0x00, 0xff, 0x00, 0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00,
    0x00, 0x00, 0x0d, 0x73, 0x50, 0x4c, 0x54, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00, 0x00, 0x05, 0x00,
    0x00, 0x00, 0x02, 0xed, 0x04, 0xfe, 0xce, 0x00, 0x00, 0x00, 0x00, 0x0c, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x01, 0x7a, 0x4d, 0x58, 0x74, 0x00, 0xae, 0xce, 0x1c, 0xe9, 0x00, 0x00,
    0x00, 0x0e, 0x74, 0x52, 0x4e, 0x53, 0x00, 0x00, 0x02, 0x25, 0x00, 0x4a, 0xc6, 0x29, 0xd6, 0x00,
    0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xd5, 0xd5, 0xd5, 0xd5, 0xd5, 0xd3, 0xd5, 0xd5, 0xae,
    0x42, 0x60, 0xd5, 0x82, 0xd5, 0xf5, 0xd5, 0xd5, 0xd5, 0xd5, 0xff, 0xff, 0x59, 0xe2, 0xec, 0x27,
};

struct OversizedCase {
    std::string name;
    Bytes bytes;
    std::uint32_t background;
};

// Each chunk type whose reader sizes a buffer from the length field, claiming the most a
// length may say, followed by a complete image.
std::vector<OversizedCase> oversizedCases() {
    std::vector<OversizedCase> cases = {{"zTXt as found", kFoundZtxt, 0x00FEDCBA}};
    for (const char* type : {"tEXt", "zTXt", "iTXt", "sPLT", "pCAL", "sCAL"}) {
        cases.push_back({std::string(type) + " claiming 2 GB",
                         png({ihdrChunk(), chunk(type, {'k', 0, 'v'}, 0x7FFFFFFF), idatAndEnd()}),
                         0x00FFFFFF});
    }
    // Only just too long: the chunk's CRC would run off the end.
    const Bytes text = {'k', 'e', 'y', 0, 'v'};
    const Bytes tail = idatAndEnd();
    cases.push_back(
        {"tEXt past the end by one byte",
         png({ihdrChunk(), chunk("tEXt", text, static_cast<std::uint32_t>(text.size() + tail.size() - 3)),
              tail}),
         0x00FFFFFF});
    return cases;
}

#ifdef __linux__
long residentKb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

struct ChildDecode {
    bool exited = false;
    bool decoded = false;
    long peakGrowthKb = 0;
};

// Decodes in a child process, to see how far its peak resident size rises above ours.
ChildDecode decodeInChild(const Bytes& bytes, std::uint32_t background) {
    const long before = residentKb();
    const pid_t pid = fork();
    if (pid == 0) _exit(ui::decodePicture(bytes, background).has_value() ? 10 : 11);
    ChildDecode out;
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return out;
    out.exited = WIFEXITED(status) && (WEXITSTATUS(status) == 10 || WEXITSTATUS(status) == 11);
    out.decoded = out.exited && WEXITSTATUS(status) == 10;
    out.peakGrowthKb = usage.ru_maxrss - before;
    return out;
}
#endif

TEST(DecodePictureRegression, ChunkLongerThanTheFileIsRefusedWithoutItsBuffer) {
    for (const auto& c : oversizedCases()) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(ui::decodePicture(c.bytes, c.background).has_value());
#ifdef __linux__
        const ChildDecode child = decodeInChild(c.bytes, c.background);
        ASSERT_TRUE(child.exited);
        EXPECT_FALSE(child.decoded);
        EXPECT_LT(child.peakGrowthKb, 256 * 1024)
            << "decoding grew the process by " << child.peakGrowthKb << " KB";
#endif
    }
}

// The same chunk types, told truly, still decode: the check only refuses lengths past the end.
TEST(DecodePictureRegression, ChunksThatFitStillDecode) {
    const Bytes sampled = chunk("zTXt", {'k', 0, 0, 0x78, 0x9c, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01});
    const struct {
        std::string name;
        Bytes bytes;
    } cases[] = {
        {"no extra chunk", png({ihdrChunk(), idatAndEnd()})},
        {"tEXt", png({ihdrChunk(), chunk("tEXt", {'k', 'e', 'y', 0, 'v'}), idatAndEnd()})},
        {"zTXt", png({ihdrChunk(), sampled, idatAndEnd()})},
        {"iTXt", png({ihdrChunk(), chunk("iTXt", {'k', 0, 0, 0, 0, 0, 'v'}), idatAndEnd()})},
        {"empty unknown chunk", png({ihdrChunk(), chunk("abCd", {}), idatAndEnd()})},
        {"file cut inside IEND",
         [] {
             Bytes b = png({ihdrChunk(), idatAndEnd()});
             b.resize(b.size() - 6);
             return b;
         }()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto image = ui::decodePicture(c.bytes, 0x00FFFFFF);
        ASSERT_TRUE(image.has_value());
        EXPECT_EQ(image->width, 2);
        EXPECT_EQ(image->height, 1);
        EXPECT_EQ(image->bgra, kImageBgra);
    }
}

} // namespace

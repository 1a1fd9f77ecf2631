// Files the reader must refuse: damaged, inconsistent, oversized or of a kind
// the program cannot show. Each must fail with the "cannot be read as a
// bitmap" reason, without crashing or allocating beyond the limit (the
// sanitizer build checks the former).
#include "bmp_forge.h"
#include "decode_paths.h"
#include "model/display/dib.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

// The reason LoadDIB gives, or "loaded" when it did not fail.
std::string Refusal(const Bytes& bytes, const DibLimits& limits = {}) {
    std::string why;
    if (LoadAllWays(std::span<const std::uint8_t>(bytes), &why, limits))
        return "loaded";
    EXPECT_EQ(why.rfind(kDibReadFailure, 0), 0u) << why;
    return why;
}

bool Refused(const Bytes& bytes, const DibLimits& limits = {}) {
    return Refusal(bytes, limits) != "loaded";
}

BmpRecipe Small8Bit() {
    BmpRecipe recipe;
    recipe.width = 3;
    recipe.height = 2;
    recipe.colorTable = {0xFFFFFFu, 0u};
    recipe.bits = {1, 0, 1, 0, 0, 1, 0, 0};
    return recipe;
}

BmpRecipe SmallRle8(Bytes stream, int width = 4, int height = 2) {
    BmpRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    recipe.compression = kDibRle8;
    recipe.colorTable = {0xFFFFFFu, 0u};
    recipe.bits = std::move(stream);
    return recipe;
}

} // namespace

TEST(DibHostile, EveryTruncationOfAGoodFile) {
    BmpRecipe rle = SmallRle8({4, 1, 0, 0, 0, 4, 1, 0, 0, 0, 0, 1});
    BmpRecipe core = Small8Bit();
    core.headerSize = 12;
    BmpRecipe masked;
    masked.headerSize = 124;
    masked.width = 2;
    masked.bitCount = 16;
    masked.compression = kDibBitFields;
    masked.masks = {0xF800, 0x07E0, 0x001F};
    masked.bits = {1, 2, 3, 4};
    for (const BmpRecipe& recipe : {Small8Bit(), rle, core, masked}) {
        const Bytes full = ForgeBmp(recipe);
        ASSERT_FALSE(Refused(full));
        const auto whole = LoadDIB(std::span<const std::uint8_t>(full));
        // A prefix either fails cleanly or, when all it lost was padding or
        // the closing escape, still gives the whole picture.
        for (std::size_t n = 0; n < full.size(); ++n) {
            const Bytes prefix(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
            std::string why;
            auto dib = LoadAllWays(std::span<const std::uint8_t>(prefix), &why);
            if (dib) {
                EXPECT_EQ(DIBToBitmap(*dib), DIBToBitmap(*whole)) << n;
            } else {
                EXPECT_EQ(why.rfind(kDibReadFailure, 0), 0u) << why;
            }
            if (n < 14 + recipe.headerSize + recipe.colorTable.size() * 3) {
                EXPECT_FALSE(dib) << "prefix of " << n << " bytes";
            }
        }
    }
}

TEST(DibHostile, KindsTheProgramCannotShow) {
    auto with = [](auto change) {
        BmpRecipe recipe = Small8Bit();
        change(recipe);
        return Refusal(ForgeBmp(recipe));
    };
    EXPECT_NE(with([](BmpRecipe& s) { s.compression = kDibJpeg; }).find("JPEG"), std::string::npos);
    EXPECT_NE(with([](BmpRecipe& s) { s.compression = kDibPng; }).find("PNG"), std::string::npos);
    for (std::uint32_t cmyk : {11u, 12u, 13u})
        EXPECT_NE(with([&](BmpRecipe& s) { s.compression = cmyk; }).find("CMYK"),
                  std::string::npos);
    EXPECT_NE(with([](BmpRecipe& s) { s.height = 0; }).find("height is 0"), std::string::npos);
    EXPECT_TRUE(Refused(ForgeBmp([] {
        BmpRecipe s = Small8Bit();
        s.headerSize = 12;
        s.height = 0;
        return s;
    }())));
    EXPECT_NE(with([](BmpRecipe& s) { s.compression = 7; }), "loaded");
    for (int width : {0, -3})
        EXPECT_NE(with([&](BmpRecipe& s) { s.width = width; }), "loaded");
    for (int bits : {0, 3, 5, 12, 48, 64})
        EXPECT_NE(with([&](BmpRecipe& s) { s.bitCount = static_cast<std::uint16_t>(bits); }),
                  "loaded");
    // Compressions that do not fit the depth or the row order.
    EXPECT_NE(with([](BmpRecipe& s) { s.compression = kDibRle4; }), "loaded");
    EXPECT_NE(with([](BmpRecipe& s) { s.compression = kDibBitFields; }), "loaded");
    EXPECT_NE(with([](BmpRecipe& s) {
                  s.compression = kDibBitFields;
                  s.bitCount = 24;
              }),
              "loaded");
    EXPECT_NE(with([](BmpRecipe& s) {
                  s.compression = kDibRle8;
                  s.height = -2;
              }),
              "loaded");
}

TEST(DibHostile, BrokenFileAndBitmapHeaders) {
    Bytes bytes = ForgeBmp(Small8Bit());
    Bytes wrongMagic = bytes;
    wrongMagic[1] = 'A';
    EXPECT_TRUE(Refused(wrongMagic));
    for (std::uint32_t size : {0u, 11u, 13u, 16u, 39u, 0xFFFFFFFFu, 0x7FFFFFFFu}) {
        Bytes b = bytes;
        b[14] = static_cast<std::uint8_t>(size);
        b[15] = static_cast<std::uint8_t>(size >> 8);
        b[16] = static_cast<std::uint8_t>(size >> 16);
        b[17] = static_cast<std::uint8_t>(size >> 24);
        EXPECT_TRUE(Refused(b)) << size;
    }
    EXPECT_TRUE(Refused({}));
    EXPECT_TRUE(Refused({'B', 'M'}));
}

TEST(DibHostile, OffsetsOutsideTheFile) {
    for (std::uint32_t off : {0xFFFFFFFFu, 0x80000000u, 70u, 20u}) {
        BmpRecipe recipe = Small8Bit();
        recipe.offBits = off;
        EXPECT_TRUE(Refused(ForgeBmp(recipe))) << off;
    }
    // A true-colour file whose used count pushes the implied pixel data out.
    BmpRecipe recipe;
    recipe.bitCount = 24;
    recipe.bits = {1, 2, 3, 0};
    recipe.colorsUsed = 0xFFFFFFFFu;
    recipe.offBits = 0;
    EXPECT_TRUE(Refused(ForgeBmp(recipe)));
}

TEST(DibHostile, SizesBeyondTheLimitOrTheData) {
    // Sizes whose products overflow 32 bits, and a picture just over the
    // limit, all with almost no data behind them.
    const std::pair<std::int32_t, std::int32_t> sizes[] = {
        {0x7FFFFFFF, 0x7FFFFFFF}, {0x7FFFFFFF, -0x7FFFFFFF}, {65536, 65536},
        {16384, 16385},           {0x40000000, 1},           {1, 0x40000000}};
    for (auto [w, h] : sizes) {
        for (int bits : {1, 8, 24, 32}) {
            BmpRecipe recipe;
            recipe.width = w;
            recipe.height = h;
            recipe.bitCount = static_cast<std::uint16_t>(bits);
            recipe.bits = Bytes(64, 0xFF);
            EXPECT_TRUE(Refused(ForgeBmp(recipe))) << w << " x " << h << " at " << bits;
        }
    }
    // Without a limit, the size checks themselves must not overflow.
    const DibLimits none{~std::uint64_t{0}};
    for (auto [w, h] : sizes) {
        BmpRecipe recipe;
        recipe.width = w;
        recipe.height = h;
        recipe.bitCount = 32;
        recipe.bits = Bytes(64, 0xFF);
        EXPECT_NE(Refusal(ForgeBmp(recipe), none).find("truncated"), std::string::npos);
    }

    // Run-length data cannot make the picture larger than the limit either.
    BmpRecipe rle = SmallRle8({0, 1}, 5000, 5000);
    EXPECT_NE(Refusal(ForgeBmp(rle), DibLimits{4096 * 4096}).find("limit"), std::string::npos);
    EXPECT_FALSE(Refused(ForgeBmp(SmallRle8({0, 1}, 64, 64)), DibLimits{64 * 64}));
    EXPECT_TRUE(Refused(ForgeBmp(SmallRle8({0, 1}, 64, 65)), DibLimits{64 * 64}));

    // Pixel rows shorter than the header promises.
    BmpRecipe shortRows = Small8Bit();
    shortRows.bits.resize(6);
    EXPECT_NE(Refusal(ForgeBmp(shortRows)).find("truncated"), std::string::npos);
}

TEST(DibHostile, RunsOutsideTheirRowOrThePicture) {
    const Bytes streams[] = {
        {5, 1, 0, 1},                   // a run longer than the row
        {2, 1, 3, 1, 0, 1},             // a second run that crosses the row's end
        {0, 5, 1, 1, 1, 1, 1, 0, 0, 1}, // a literal run longer than the row
        {0, 2, 5, 0, 0, 1},             // a move past the right edge
        {0, 2, 0, 2, 0, 1},             // a move past the top
        {0, 0, 0, 0, 1, 1, 0, 1},       // a run above the top row
        {0, 0, 0, 0, 0, 0, 0, 1},       // a row end above the top row
        {2, 1},                         // data that stops mid-picture
        {0, 4, 1, 1},                   // a literal run cut short
        {0, 2, 1},                      // a move cut short
    };
    for (const Bytes& stream : streams)
        EXPECT_TRUE(Refused(ForgeBmp(SmallRle8(stream)))) << ::testing::PrintToString(stream);

    // The same holds for RLE4, where a count is in pixels, not bytes.
    BmpRecipe four = SmallRle8({0, 5, 0x11, 0x11, 0x10, 0, 0, 1});
    four.bitCount = 4;
    four.compression = kDibRle4;
    EXPECT_TRUE(Refused(ForgeBmp(four)));
    four.bits = {0, 4, 0x11, 0x11, 0, 0, 5, 0x11, 0, 1};
    EXPECT_TRUE(Refused(ForgeBmp(four)));
}

// A picture within the limit that needs more memory than is left is refused
// like any other, instead of throwing out of the decoder (which would end
// the program from inside a page change). Run in a child whose address space
// is capped below the 256 MiB a 16384 x 16384 picture's indices take; the
// sanitizers reserve far more address space than that, so not under them.
TEST(DibHostile, APictureTooLargeForTheMemoryLeftIsRefused) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer cannot run under an address-space limit";
#else
    BmpRecipe recipe;
    recipe.width = 16384;
    recipe.height = 16384;
    recipe.bitCount = 1;
    recipe.colorTable = {0xFFFFFFu, 0u};
    recipe.bits = Bytes(std::size_t{16384} / 8 * 16384, 0);
    const Bytes bytes = ForgeBmp(recipe);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit cap{std::size_t{192} << 20, std::size_t{192} << 20};
        ::setrlimit(RLIMIT_AS, &cap);
        std::string why;
        const bool loaded = LoadDIB(std::span<const std::uint8_t>(bytes), &why) != nullptr;
        ::_exit(!loaded && why.find("not enough memory") != std::string::npos ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
#endif
}

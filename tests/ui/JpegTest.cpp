#include "ui/Jpeg.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#include "ui/win32/Resources.h"
#endif

using namespace kestova;

namespace {

// Natively from the art folder; on Windows from the module's resources, as the window gets it.
std::vector<uint8_t> BannerBytes() {
#ifdef _WIN32
    return ResourceBytes("BANNER");
#else
    std::ifstream file(std::string(KESTOVA_ART_DIR) + "/banner.jpg", std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
#endif
}

}  // namespace

TEST(Jpeg, BannerDecodesTo400By64WithWhiteLettering) {
    const std::vector<uint8_t> bytes = BannerBytes();
    ASSERT_FALSE(bytes.empty());
    const TBitmap24 banner = DecodeJpeg(bytes.data(), bytes.size());
    EXPECT_EQ(banner.Width, 400);
    EXPECT_EQ(banner.Height, 64);
    EXPECT_EQ(banner.Stride(), 1200);
    ASSERT_EQ(banner.Pixels.size(), 1200u * 64);
    // The blue background and the white product name are both there, in blue-green-red order.
    int white = 0, blue = 0;
    for (size_t i = 0; i + 2 < banner.Pixels.size(); i += 3) {
        const uint8_t b = banner.Pixels[i], g = banner.Pixels[i + 1], r = banner.Pixels[i + 2];
        white += b > 230 && g > 230 && r > 230;
        blue += b > r + 60;
    }
    EXPECT_GT(white, 1000);
    EXPECT_GT(blue, 400 * 64 / 2);
}

TEST(Jpeg, BrokenDataRaisesLibjpegsText) {
    const std::vector<uint8_t> garbage = {'n', 'o', 't', ' ', 'j', 'p', 'e', 'g'};
    try {
        DecodeJpeg(garbage.data(), garbage.size());
        FAIL() << "garbage decoded";
    } catch (const EJpegError& e) {
        EXPECT_NE(std::string(e.what()).find("JPEG error: Not a JPEG file"), std::string::npos) << e.what();
    }
    EXPECT_THROW(DecodeJpeg(garbage.data(), 0), EJpegError);
}

TEST(Jpeg, TruncatedBannerStillGivesAFullSizedBitmap) {
    // libjpeg fills a cut-off image with grey and warns; the window keeps working.
    std::vector<uint8_t> bytes = BannerBytes();
    ASSERT_GT(bytes.size(), 4000u);
    bytes.resize(4000);
    const TBitmap24 banner = DecodeJpeg(bytes.data(), bytes.size());
    EXPECT_EQ(banner.Width, 400);
    EXPECT_EQ(banner.Height, 64);
}

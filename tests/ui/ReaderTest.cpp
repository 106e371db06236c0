#include "ui/Reader.h"

#include <gtest/gtest.h>

using namespace kestova;

TEST(Reader, RefusedPropertyNamesComponentAndProperty) {
    TComponent audioIn;
    audioIn.SetName("AudioIn");
    try {
        ReadProperty(audioIn, "BaseChannel", [] { throw Exception("Channel 0 is not available"); });
        FAIL() << "no error raised";
    } catch (const EReadError& e) {
        EXPECT_STREQ(e.what(), "Error reading AudioIn.BaseChannel: Channel 0 is not available");
    }
}

TEST(Reader, UnnamedComponentHasNoDotAndAcceptedValuesPass) {
    TComponent anonymous;
    int applied = 0;
    ReadProperty(anonymous, "Width", [&] { applied = 5; });
    EXPECT_EQ(applied, 5);
    // A percent sign in the message must come through as it is, not as a format.
    EXPECT_THROW(
        {
            try {
                ReadProperty(anonymous, "Width", [] { throw std::runtime_error("100% %s"); });
            } catch (const EReadError& e) {
                EXPECT_STREQ(e.what(), "Error reading Width: 100% %s");
                throw;
            }
        },
        EReadError);
}

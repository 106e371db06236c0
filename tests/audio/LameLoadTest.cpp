#include "audio/lame.h"
#include "platform/Library.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace kestova;
using kestova::test::TCurrentDirectory;
using kestova::test::TScratchFolder;

namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
const char* const kPlantedName = "kestova_planted.dll";
const char* const kUnrelatedSystemLibrary = "kernel32.dll";
#else
const char* const kPlantedName = "libkestova_planted.so";
const char* const kUnrelatedSystemLibrary = "libm.so.6";
#endif

// Where the encoder library really is on this machine, found through the binding itself.
fs::path RealLamePath() {
    LoadLame();
    const fs::path path = LameModule().FileName();
    UnloadLame();
    return path;
}

// Compares folders without the trailing separator, which the Windows runtime's stat rejects.
bool InFolder(const fs::path& file, fs::path folder) {
    if (!folder.has_filename()) folder = folder.parent_path();
    std::error_code ignored;
    return fs::equivalent(file.parent_path(), folder, ignored);
}

}  // namespace

TEST(LameLoad, UsersAreCountedAndTheLastOneUnloads) {
    LoadLame();
    ASSERT_TRUE(LameLoaded());
    LoadLame();
    UnloadLame();
    EXPECT_TRUE(LameLoaded());  // a second sink going away leaves the first one's library
    EXPECT_NE(Lame().lame_encode_flush, nullptr);
    UnloadLame();
    EXPECT_FALSE(LameLoaded());
    EXPECT_FALSE(LameModule());
    EXPECT_EQ(Lame().lame_init, nullptr);
    UnloadLame();  // one too many does not underflow the count
    LoadLame();
    EXPECT_TRUE(LameLoaded());
    UnloadLame();
    EXPECT_FALSE(LameLoaded());
}

TEST(LameLoad, ComesFromOwnFolderOrTheSystemNeverTheCurrentDirectory) {
    const fs::path real = RealLamePath();
    ASSERT_FALSE(real.empty());
    TScratchFolder planted("lame-cwd");
    fs::copy_file(real, planted.Path() / LameFileName);
    TCurrentDirectory cd(planted.Path());

    LoadLame();
    ASSERT_TRUE(LameLoaded());
    const fs::path loaded = LameModule().FileName();
    UnloadLame();
    EXPECT_FALSE(InFolder(loaded, planted.Path())) << loaded;
#ifdef _WIN32
    // The copy shipped next to the program (zelt.dll in the product) wins.
    EXPECT_TRUE(InFolder(loaded, ModuleFolderOf(reinterpret_cast<const void*>(&RealLamePath)))) << loaded;
#endif
}

TEST(LameLoad, LibraryWithoutTheEntryPointsIsNotBound) {
    const TLibrary unrelated = LoadSystemLibrary(kUnrelatedSystemLibrary);
    ASSERT_TRUE(unrelated);
    TLameEntryPoints entries{};
    EXPECT_FALSE(BindLame(unrelated, entries));
    EXPECT_EQ(entries.lame_init, nullptr);

    LoadLame();
    ASSERT_TRUE(LameLoaded());
    EXPECT_TRUE(BindLame(LameModule(), entries));
    EXPECT_NE(entries.id3tag_set_comment, nullptr);
    UnloadLame();
}

TEST(LibraryPort, PlantedLibraryIsLoadedOnlyByItsFolder) {
    const fs::path real = RealLamePath();
    ASSERT_FALSE(real.empty());
    TScratchFolder planted("plant");
    TScratchFolder empty("empty");
    fs::copy_file(real, planted.Path() / kPlantedName);
    TCurrentDirectory cd(planted.Path());

    EXPECT_FALSE(LoadSystemLibrary(kPlantedName));
    EXPECT_FALSE(LoadLibraryIn(empty.Folder(), kPlantedName));
    EXPECT_FALSE(LoadLibraryIn("", kPlantedName));

    TLibrary direct = LoadLibraryIn(planted.Folder(), kPlantedName);
    ASSERT_TRUE(direct);  // the planted copy itself is loadable, so the refusals above mean something
    EXPECT_NE(direct.Symbol("lame_init"), nullptr);
    EXPECT_EQ(direct.Symbol("kestova_no_such_entry"), nullptr);
    EXPECT_TRUE(InFolder(direct.FileName(), planted.Path()));

    TLibrary moved = std::move(direct);
    EXPECT_FALSE(direct);
    EXPECT_TRUE(moved);
}

TEST(LibraryPort, ModuleFolderOfOwnCodeHoldsTheProgram) {
    const std::string folder = ModuleFolderOf(reinterpret_cast<const void*>(&RealLamePath));
    ASSERT_FALSE(folder.empty());
    const char last = folder.back();
    EXPECT_TRUE(last == '/' || last == '\\');
    EXPECT_TRUE(fs::is_directory(folder));
}

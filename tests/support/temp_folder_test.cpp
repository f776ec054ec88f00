// The temporary folder every suite works in: a new folder that only its owner may enter,
// under a name no other folder holds, gone with everything in it when the test is done.
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "text_file.h"

namespace {

namespace fs = std::filesystem;

TEST(TempFolder, EachIsANewFolderOfItsOwnerAlone) {
    const test::TempFolder first("velmora-support"), second("velmora-support");
    EXPECT_NE(first.path(), second.path());
    for (const test::TempFolder* folder : {&first, &second}) {
        ASSERT_TRUE(fs::is_directory(folder->path()));
        EXPECT_TRUE(fs::equivalent(folder->path().parent_path(), fs::temp_directory_path()));
        EXPECT_EQ(folder->path().filename().string().rfind("velmora-support-", 0), 0u) << folder->path();
        EXPECT_EQ(fs::status(folder->path()).permissions(), fs::perms::owner_all);
        EXPECT_TRUE(fs::is_empty(folder->path()));
    }
}

TEST(TempFolder, GoesWithEverythingInItReadOnlyFoldersIncluded) {
    fs::path gone;
    {
        const test::TempFolder folder("velmora-support");
        gone = folder.path();
        fs::create_directories(folder / "a" / "b");
        test::writeText(folder / "a" / "b" / "file.txt", "kept by no one");
        fs::create_directory_symlink(folder / "a", folder / "link");
        for (const char* name : {"a/b", "a"})
            fs::permissions(folder / name, fs::perms::owner_read | fs::perms::owner_exec);
    }
    EXPECT_FALSE(fs::exists(gone));
}

}  // namespace

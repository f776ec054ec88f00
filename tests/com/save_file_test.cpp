// The writer of whole files: a hidden temporary of the run's own beside the target, made new,
// locked while written, in place whole or removed; nothing found at a temporary's name is
// ever opened, emptied or waited on.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "com/save_file.h"
#include "text_file.h"
#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;
using Step = com::ReplaceFailure::Step;
using test::readText;
using test::writeText;

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(SaveFile, WritesTheTargetWholeWithTheRightsGivenThroughAHiddenLockedTemporaryOfItsOwn) {
    const test::TempFolder folder;
    const fs::path target = folder / "Init.xml";
    writeText(target, "old");
    const gid_t group = ::geteuid() == 0 ? 4242 : ::getegid();
    {
        com::SaveFile file(target, {0640, group});
        ASSERT_FALSE(file.failure());
        const std::string name = file.temporary().filename().string();
        EXPECT_EQ(file.temporary().parent_path(), folder.path());
        EXPECT_EQ(name.rfind(".Init.xml.save-" + std::to_string(::getpid()) + "-", 0), 0u) << name;
        EXPECT_EQ(com::temporaryOwner(name), ::getpid());
        // Locked while it is written: another run's clean-up can tell it is in use.
        const int other = ::open(file.temporary().c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(other, 0);
        EXPECT_NE(::flock(other, LOCK_EX | LOCK_NB), 0);
        ::close(other);
        EXPECT_TRUE(file.write("new "));
        EXPECT_TRUE(file.write("text"));
        EXPECT_EQ(readText(target), "old");
        EXPECT_FALSE(file.commit());
    }
    EXPECT_EQ(readText(target), "new text");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_gid, group);
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"Init.xml"});
}

TEST(SaveFile, ADroppedOrFailedWriteLeavesTheTargetAndNoTemporary) {
    const test::TempFolder folder;
    const fs::path target = folder / "registry";
    writeText(target, "old");
    {
        com::SaveFile dropped(target, {});
        EXPECT_TRUE(dropped.write("never committed"));
    }
    {
        // The check before the rename refuses: what it raises passes through.
        com::SaveFile refused(target, {});
        EXPECT_TRUE(refused.write("refused"));
        EXPECT_THROW((void)refused.commit([] { throw std::runtime_error("refused"); }), std::runtime_error);
    }
    fs::create_directories(folder / "Taken" / "inside");
    {
        // A folder holds the target's name: the rename fails and says so.
        com::SaveFile blocked(folder / "Taken", {});
        EXPECT_TRUE(blocked.write("x"));
        const auto failure = blocked.commit();
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->step, Step::Rename);
        EXPECT_TRUE(fs::exists(blocked.temporary()));  // until the writer goes
    }
    EXPECT_EQ(readText(target), "old");
    EXPECT_TRUE(fs::is_directory(folder / "Taken" / "inside"));
    EXPECT_EQ(namesIn(folder.path()), (std::vector<std::string>{"Taken", "registry"}));
    // A folder that does not exist: no temporary can be made.
    com::SaveFile nowhere(folder / "missing" / "x.pdf", {});
    ASSERT_TRUE(nowhere.failure());
    EXPECT_EQ(nowhere.failure()->step, Step::Create);
    EXPECT_EQ(nowhere.failure()->error, ENOENT);
    EXPECT_FALSE(nowhere.write("x"));
    EXPECT_EQ(nowhere.commit()->step, Step::Create);
}

TEST(SaveFile, WhatIsFoundAtATemporarysNameIsPassedOverAndLeftAsItWas) {
    const test::TempFolder folder;
    const fs::path target = folder / "Raport.pdf";
    const fs::path precious = folder / "precious.txt";
    writeText(precious, "precious");
    // The names this process takes next: a pipe, a link and a file planted under them.
    const std::string next = com::temporaryName(target, com::TemporaryPurpose::Save).filename().string();
    const size_t dash = next.rfind('-');
    const int n = std::stoi(next.substr(dash + 1)) + 1;
    const auto planted = [&](int k) { return folder / (next.substr(0, dash + 1) + std::to_string(n + k)); };
    ASSERT_EQ(::mkfifo(planted(0).c_str(), 0600), 0);
    fs::create_symlink(precious, planted(1));
    writeText(planted(2), "someone's");
    {
        com::SaveFile file(target, {0600});
        ASSERT_FALSE(file.failure());
        EXPECT_EQ(file.temporary(), planted(3));
        EXPECT_TRUE(file.write("%PDF"));
        EXPECT_FALSE(file.commit());
    }
    EXPECT_EQ(readText(target), "%PDF");
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(planted(0))));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(planted(1))));
    EXPECT_EQ(readText(precious), "precious");
    EXPECT_EQ(readText(planted(2)), "someone's");
}

TEST(SaveFile, TwoWritersOfOneFileEachWriteTheirOwnTemporaryAndTheLastOneStandsWhole) {
    const test::TempFolder folder;
    const fs::path target = folder / "Raport.pdf";
    com::SaveFile first(target, {});
    com::SaveFile second(target, {});
    ASSERT_FALSE(first.failure());
    ASSERT_FALSE(second.failure());
    EXPECT_NE(first.temporary(), second.temporary());
    const std::string a(100000, 'a'), b(50000, 'b');
    EXPECT_TRUE(first.write(a));
    EXPECT_TRUE(second.write(b));
    EXPECT_FALSE(first.commit());
    EXPECT_EQ(readText(target), a);
    EXPECT_FALSE(second.commit());
    EXPECT_EQ(readText(target), b);
}

TEST(SaveFile, OnlyTheNamesItMakesCarryAnOwner) {
    EXPECT_EQ(com::temporaryOwner(".Velmora.mdb.compact-123-0"), 123);
    EXPECT_EQ(com::temporaryOwner(".Export x.mdb.export-77-12"), 77);
    EXPECT_EQ(com::temporaryOwner(".VelmoraBck.mdb.copy-5-1"), 5);
    EXPECT_EQ(com::temporaryOwner(".Init.xml.save-9-3"), 9);
    for (const char* user : {"Init.xml.backup", "Init.xml.a1B2c3", "Temp.mdb", "registry.tmp123", "Raport.pdf.partial",
                             ".notes", ".Init.xml.other-9-3", "Init.xml.save-9-3", "..save-9-3", ".Init.xml.save-9-",
                             ".Init.xml.save--3", ".Init.xml.save-x9-3", ".Init.xml.save-99999999999999999999-1"})
        EXPECT_EQ(com::temporaryOwner(user), 0) << user;
}

}  // namespace

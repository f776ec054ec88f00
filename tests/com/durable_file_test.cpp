// Replacing a file whole: the new bytes under the old name, or the old file untouched and the
// failed step named; the registry's rewrite goes the same way.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "com/durable_file.h"
#include "text_file.h"
#include "com/error.h"
#include "com/server.h"

namespace {

namespace fs = std::filesystem;
using Step = com::ReplaceFailure::Step;
using test::readText;
using test::writeText;

class ReplaceFile : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "com-replace-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        target_ = dir_ / "Init.xml";
        written_ = dir_ / "Init.xml.tmp";
        writeText(target_, "old");
        writeText(written_, "new");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    fs::path dir_;
    fs::path target_;
    fs::path written_;
};

TEST_F(ReplaceFile, PutsTheWrittenFileInPlaceWithItsOwnMode) {
    ::chmod(written_.c_str(), 0640);
    bool checked = false;
    EXPECT_FALSE(com::replaceFile(written_, target_, [&] {
        checked = true;
        EXPECT_EQ(readText(target_), "old");  // called before the rename
    }));
    EXPECT_TRUE(checked);
    EXPECT_EQ(readText(target_), "new");
    EXPECT_FALSE(fs::exists(written_));
    struct stat st {};
    ASSERT_EQ(::stat(target_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // A target that did not exist yet.
    writeText(written_, "first");
    EXPECT_FALSE(com::replaceFile(written_, dir_ / "New.xml"));
    EXPECT_EQ(readText(dir_ / "New.xml"), "first");
}

TEST_F(ReplaceFile, AFailureNamesItsStepAndLeavesBothFiles) {
    // A check that refuses the new file: nothing is renamed, the refusal passes through.
    EXPECT_THROW((void)com::replaceFile(written_, target_, [] { throw std::runtime_error("refused"); }),
                 std::runtime_error);
    EXPECT_EQ(readText(target_), "old");
    EXPECT_EQ(readText(written_), "new");
    // A folder holds the target's name: the rename fails.
    const fs::path folder = dir_ / "Folder";
    fs::create_directory(folder);
    writeText(folder / "inside", "kept");
    const auto renamed = com::replaceFile(written_, folder);
    ASSERT_TRUE(renamed);
    EXPECT_EQ(renamed->step, Step::Rename);
    EXPECT_NE(renamed->error, 0);
    EXPECT_EQ(readText(folder / "inside"), "kept");
    EXPECT_EQ(readText(written_), "new");
    // The written file is gone: the flush fails and the check is never called.
    fs::remove(written_);
    bool checked = false;
    const auto flushed = com::replaceFile(written_, target_, [&] { checked = true; });
    ASSERT_TRUE(flushed);
    EXPECT_EQ(flushed->step, Step::Flush);
    EXPECT_EQ(flushed->error, ENOENT);
    EXPECT_FALSE(checked);
    EXPECT_EQ(readText(target_), "old");
}

TEST_F(ReplaceFile, TheRegistryIsRewrittenWholeOrRefusedWithNoTemporaryLeft) {
    com::Registry registry(dir_ / "registry");
    registry.add({"Proba.Clasa", com::Guid::tryParse("{052785E6-D42C-4616-975E-0809BEBB7840}").value(), "/lib/x.so"});
    registry.save();
    EXPECT_EQ(readText(dir_ / "registry"), "Proba.Clasa\t{052785E6-D42C-4616-975E-0809BEBB7840}\t/lib/x.so\n");
    const com::Registry blocked(dir_ / "taken");
    fs::create_directories(dir_ / "taken" / "sub");  // a folder has taken the file's name meanwhile
    try {
        blocked.save();
        ADD_FAILURE() << "a folder was replaced";
    } catch (const com::Error& e) {
        EXPECT_EQ(e.number(), com::errc::PathFileAccessError);
        EXPECT_NE(e.description().find("cannot be replaced"), std::string::npos) << e.description();
    }
    EXPECT_TRUE(fs::is_directory(dir_ / "taken" / "sub"));
    for (const auto& entry : fs::directory_iterator(dir_)) {
        const std::string name = entry.path().filename().string();
        EXPECT_NE(name.rfind("registry.tmp", 0), 0u) << name;
        EXPECT_NE(name.rfind("taken.tmp", 0), 0u) << name;
    }
}

TEST_F(ReplaceFile, TheRegistryLeavesWhatIsFoundAtItsFormerTemporaryNameAndKeepsItsRights) {
    const fs::path file = dir_ / "registry";
    const fs::path former = dir_ / ("registry.tmp" + std::to_string(::getpid()));
    writeText(former, "someone's");
    com::Registry registry(file);
    registry.add({"Proba.Clasa", com::Guid::tryParse("{052785E6-D42C-4616-975E-0809BEBB7840}").value(), "/lib/x.so"});
    registry.save();
    ::chmod(file.c_str(), 0640);
    registry.save();
    EXPECT_EQ(readText(former), "someone's");
    EXPECT_EQ(readText(file), "Proba.Clasa\t{052785E6-D42C-4616-975E-0809BEBB7840}\t/lib/x.so\n");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

}  // namespace

// The program folder that `cmake --install BUILD --prefix DIR` makes in DIR/bin: every file
// the program needs beside it, the two class libraries registered there in the registry's
// own format, created by ProgID from there, and the program's libraries found beside it.
#include <gtest/gtest.h>

#include <link.h>

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "com/server.h"
#include "shell/frmmain.h"

namespace {

namespace fs = std::filesystem;

std::string readText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs a program to its end: whether it ended well, and what it wrote.
std::pair<bool, std::string> run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool ended = process.waitForFinished(120000);
    const std::string output = process.readAll().toStdString();
    return {ended && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0, output};
}

// The files of the shared objects loaded in this process.
std::vector<fs::path> loadedLibraries() {
    std::vector<fs::path> files;
    ::dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* out) {
            if (info->dlpi_name && *info->dlpi_name)
                static_cast<std::vector<fs::path>*>(out)->emplace_back(info->dlpi_name);
            return 0;
        },
        &files);
    return files;
}

class Install : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(prefix.isValid());
        install();
    }
    void install() {
        const auto [ok, output] = run(VELMORA_CMAKE, {"--install", VELMORA_BINARY_DIR, "--prefix", prefix.path()});
        ASSERT_TRUE(ok) << output;
    }

    QTemporaryDir prefix;
    fs::path folder = fs::path(prefix.path().toStdString()) / "bin";
};

TEST_F(Install, MakesTheWholeProgramFolderWhoseProgramFindsItsLibrariesThere) {
    for (const char* name : {"velmora", "regsvr", "libvelmora_com.so", "libvelmora_ado.so", "libVelmora_Business.so",
                             "libQuillon.so", "Velmora.html", "icon2.bmp", "registry"})
        EXPECT_TRUE(fs::is_regular_file(folder / name)) << name;
    int reports = 0;
    for (const auto& report : fs::directory_iterator(fs::path(VELMORA_SOURCE_DIR) / "data" / "reports")) {
        EXPECT_EQ(readText(folder / "Rapoarte" / report.path().filename()), readText(report.path()))
            << report.path().filename();
        ++reports;
    }
    EXPECT_GT(reports, 0);
    // The configuration template; the program's own Init.xml is left to the user.
    EXPECT_EQ(readText(folder / "Init.xml.template"), readText(fs::path(VELMORA_SOURCE_DIR) / "data" / "Init.xml"));
    EXPECT_FALSE(fs::exists(folder / "Init.xml"));

    // The program and the class libraries take the object and data layers from beside them.
    for (const char* binary : {"velmora", "regsvr", "libVelmora_Business.so", "libQuillon.so"}) {
        const auto [ok, output] = run("ldd", {QString::fromStdString((folder / binary).string())});
        ASSERT_TRUE(ok) << output;
        EXPECT_EQ(output.find("not found"), std::string::npos) << binary << "\n" << output;
        EXPECT_NE(output.find("libvelmora_com.so => " + (folder / "libvelmora_com.so").string()), std::string::npos)
            << binary << "\n"
            << output;
    }
}

TEST_F(Install, RegistersBothLibrariesThereAndTheirClassesLoadFromThere) {
    // Every class the build registered, each under the installed copy of its library.
    const com::Registry installed(folder / "registry", true);
    const com::Registry built(VELMORA_BUILD_REGISTRY, true);
    std::set<std::string> libraries;
    ASSERT_EQ(installed.entries().size(), built.entries().size());
    for (const auto& entry : built.entries()) {
        const auto copy = installed.byProgId(entry.progId);
        ASSERT_TRUE(copy) << entry.progId;
        EXPECT_EQ(copy->clsid, entry.clsid) << entry.progId;
        EXPECT_EQ(copy->library, folder / entry.library.filename()) << entry.progId;
        libraries.insert(entry.library.filename().string());
    }
    EXPECT_EQ(libraries, (std::set<std::string>{"libQuillon.so", "libVelmora_Business.so"}));

    // Created by ProgID through that registry, from the installed files.
    ASSERT_EQ(::setenv("VELMORA_REGISTRY", (folder / "registry").c_str(), 1), 0);
    const auto conection = com::CreateObject("Velmora_Business.Conection");
    const auto combo = com::CreateObject("Quillon.MyCombo");
    ::unsetenv("VELMORA_REGISTRY");
    EXPECT_TRUE(conection);
    EXPECT_TRUE(combo);
    const auto loaded = loadedLibraries();
    for (const char* library : {"libVelmora_Business.so", "libQuillon.so"}) {
        int copies = 0;
        for (const auto& file : loaded)
            if (file.filename() == library) {
                EXPECT_EQ(fs::canonical(file), fs::canonical(folder / library));
                ++copies;
            }
        EXPECT_EQ(copies, 1) << library;
    }
}

TEST_F(Install, InstallingAgainKeepsTheRegistryAndTheUsersConfiguration) {
    const std::string registry = readText(folder / "registry");
    ASSERT_FALSE(registry.empty());
    { std::ofstream(folder / "Init.xml") << "<Initializare><MyPath>/srv/velmora</MyPath></Initializare>"; }
    install();
    EXPECT_EQ(readText(folder / "registry"), registry);
    EXPECT_EQ(readText(folder / "Init.xml"), "<Initializare><MyPath>/srv/velmora</MyPath></Initializare>");
}

// The files of an installation besides the program folder, relative to the prefix.
std::set<std::string> filesBelow(const fs::path& prefix) {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(prefix))
        if (entry.is_regular_file() && entry.path().filename() != "registry.lock")
            files.insert(fs::relative(entry.path(), prefix).string());
    return files;
}

TEST_F(Install, AddsTheDataFolderToolWithItsDataTheDesktopEntryAndTheIcon) {
    const fs::path root = prefix.path().toStdString();
    const fs::path source = VELMORA_SOURCE_DIR;
    EXPECT_TRUE(fs::is_regular_file(folder / "mkdata"));
    for (const char* script :
         {"schema.sql", "judete.sql", "sectii.sql", "perioade.sql", "informatii.sql", "rapoarte.sql"})
        EXPECT_EQ(readText(root / "share" / "velmora" / script), readText(source / "data" / script)) << script;
    EXPECT_FALSE(fs::exists(root / "share" / "velmora" / "sample.sql"));

    // The entry starts the installed program and shows the picture its windows show.
    const std::string entry = readText(root / "share" / "applications" / "velmora.desktop");
    const fs::path icon = root / "share" / "icons" / "hicolor" / "48x48" / "apps" / "velmora.png";
    EXPECT_NE(entry.find("\nExec=\"" + (folder / "velmora").string() + "\"\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nIcon=" + icon.string() + "\n"), std::string::npos) << entry;
    EXPECT_EQ(entry.rfind("[Desktop Entry]\nType=Application\nName=Velmora\n", 0), 0u) << entry;
    const QImage picture(QString::fromStdString(icon.string()));
    ASSERT_EQ(picture.size(), QSize(48, 48));
    EXPECT_EQ(picture.convertToFormat(QImage::Format_ARGB32),
              velmora::frmMain::programIcon().pixmap(48, 48).toImage().convertToFormat(QImage::Format_ARGB32));

    // The installed tool finds the installed data by itself.
    const fs::path hospital = root / "spital";
    const auto [made, output] =
        run("sh", {"-c", QString::fromStdString("printf 'pw\\n' | '" + (folder / "mkdata").string() + "' create '" +
                                                hospital.string() +
                                                "' --code SJU01 --name Spitalul --county Cluj "
                                                "--account operator")});
    ASSERT_TRUE(made) << output;
    EXPECT_EQ(output, "IdJudet 13\nIdSpital 1\n");
    fs::remove_all(hospital);

    // A staged install holds the same files (the registry aside, made once in place).
    QTemporaryDir stage;
    const auto [staged, log] = run("sh", {"-c", "DESTDIR='" + stage.path() + "' '" VELMORA_CMAKE "' --install '" +
                                                    VELMORA_BINARY_DIR "' --prefix '" + prefix.path() + "'"});
    ASSERT_TRUE(staged) << log;
    auto installed = filesBelow(root);
    installed.erase("bin/registry");
    EXPECT_EQ(filesBelow(fs::path(stage.path().toStdString()) / fs::relative(root, "/")), installed);
}

}  // namespace

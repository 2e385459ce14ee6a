// The application's file types made known to the desktop: the templates'
// document strings become the shared-mime-info package and the desktop
// entry, and the desktop's own tools then name our types for saved files.

#include "tests/framework/DocumentTestSupport.h"

#include "platform/base/CodePage.h"
#include "platform/imaging/Imaging.h"
#include "platform/profile/ShellRegistration.h"
#include "platform/storage/Storage.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace doctest {
namespace {

constexpr UINT kProgramIcon = 7811;
constexpr int kIconSide = 32;

// The six kinds as the program registers them: type name, extension and
// the file type name of their document strings.
const char* const kKinds[][3] = {
    {"Shirt", "shr", "Tovell"}, {"Apparel", "apl", "Apparel"}, {"Mousepad", "mse", "Mousepad"},
    {"Calendar", "clr", "Calendar"}, {"Label", "lbl", "Label"}, {"General", "gnl", "General"},
};

std::string TypeOf(int kind)
{
    std::string name = kKinds[kind][0];
    name[0] = char(name[0] - 'A' + 'a');
    return "application/x-threadwick-" + name;
}

// An icon resource as the resource compiler makes it from a PNG: a 32-bit
// DIB of doubled height, rows bottom-up, then the AND mask (left clear: the
// alpha says it all). Blue, with a red top-left pixel and a transparent
// bottom-right one, so that a flipped or opaque conversion shows.
std::vector<BYTE> MakeIconResource()
{
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = kIconSide;
    header.biHeight = 2 * kIconSide;
    header.biPlanes = 1;
    header.biBitCount = 32;
    std::vector<BYTE> bytes(sizeof header + kIconSide * kIconSide * 4 + kIconSide * 4, 0);
    std::memcpy(bytes.data(), &header, sizeof header);
    for (int i = 0; i < kIconSide * kIconSide; ++i) {
        const BYTE pixel[4] = {255, 0, 0, 255};
        std::memcpy(bytes.data() + sizeof header + size_t(i) * 4, pixel, 4);
    }
    BYTE* topLeft = bytes.data() + sizeof header + size_t(kIconSide - 1) * kIconSide * 4;
    topLeft[0] = 0;
    topLeft[2] = 255;
    bytes[sizeof header + (kIconSide - 1) * 4 + 3] = 0; // bottom-right
    return bytes;
}

void RegisterIconResources()
{
    static const std::vector<BYTE> icon = MakeIconResource();
    static const platform::ResourceEntry entries[] = {
        {nullptr, WORD(size_t(RT_ICON)), nullptr, WORD(kWidgetResource), icon.data(), DWORD(icon.size())},
        {nullptr, WORD(size_t(RT_ICON)), nullptr, WORD(kProgramIcon), icon.data(), DWORD(icon.size())},
    };
    static const platform::ResourceTable table{entries, std::size(entries), nullptr, 0};
    platform::RegisterResourceModule(platform::ResourceModule::Program, table);
}

std::pair<time_t, long> ModifiedAt(const std::string& path)
{
    struct stat st {};
    EXPECT_EQ(0, stat(path.c_str(), &st)) << path;
    return {st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
}

bool HaveCommand(const char* name)
{
    return testing_support::RunCommand(std::string("command -v ") + name + " >/dev/null && echo yes") == "yes";
}

class ShellRegisterTest : public DocTest {
protected:
    void SetUp() override
    {
        DocTest::SetUp();
        RegisterIconResources();
        // Every registration of this test goes below a folder of its own,
        // never into the user's desktop files.
        m_savedHome = getenv("THREADWICK_HOME") ? getenv("THREADWICK_HOME") : "";
        m_home = testing_support::MakeTempDir("shell-home");
        setenv("THREADWICK_HOME", m_home.c_str(), 1);
        m_share = m_home + "/share";

        for (const auto& [name, ext, typeName] : kKinds) {
            AddTemplate(kWidgetResource)->m_strDocStrings = CString("\n") + name + "\n" + name + "\n" + name
                + "s (*." + ext + ")\n." + ext + "\nThreadwick.Document\nThreadwick " + typeName;
        }
        // A kind without an extension is not the desktop's business, and an
        // extension already taken stays with the first kind.
        AddTemplate(kGadgetResource)->m_strDocStrings = "\nNote\nNote\n\n\nThreadwickNote\nThreadwick Note";
        AddTemplate(kGadgetResource)->m_strDocStrings = "\nCopy\nCopy\nCopies (*.shr)\n.SHR\nX.Copy\nThreadwick Copy";

        m_frame.m_nIDHelp = kProgramIcon;
        m_app->m_pMainWnd = &m_frame;
    }
    void TearDown() override
    {
        m_app->m_pMainWnd = nullptr;
        setenv("THREADWICK_HOME", m_savedHome.c_str(), 1);
        DocTest::TearDown();
    }

    std::string Package() const { return m_share + "/mime/packages/threadwick.xml"; }
    std::string Entry() const { return m_share + "/applications/threadwick.desktop"; }
    std::string DocumentIcon() const
    {
        return m_share + "/icons/hicolor/32x32/mimetypes/application-x-threadwick-document.png";
    }
    std::string ProgramIcon() const { return m_share + "/icons/hicolor/32x32/apps/threadwick.png"; }

    // The desktop's view of a file, as a file manager asks for it. Without
    // a desktop named, xdg-mime asks `file`, which knows nothing of the
    // user's MIME database; GNOME's road asks glib, which reads it.
    std::string QueryType(const std::string& path) const
    {
        return testing_support::RunCommand("env XDG_DATA_HOME='" + m_share + "' XDG_DATA_DIRS=/usr/share "
            "XDG_CURRENT_DESKTOP=GNOME xdg-mime query filetype '" + path + "' 2>/dev/null");
    }

    // A compound file with a root class ID, as a design is saved.
    void SaveCompoundFile(const std::string& hostPath, int kind)
    {
        const std::u16string name = platform::Utf16From1252(platform::WindowsPathFor(hostPath));
        IStorage* root = nullptr;
        ASSERT_EQ(S_OK, StgCreateDocfile(name.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &root));
        CLSID clsid{};
        clsid.Data1 = 0x7ab10000u + DWORD(kind);
        ASSERT_EQ(S_OK, root->SetClass(clsid));
        IStream* stream = nullptr;
        ASSERT_EQ(S_OK, root->CreateStream(u"Contents", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                            &stream));
        const std::string data(3000, char('a' + kind));
        ULONG written = 0;
        EXPECT_EQ(S_OK, stream->Write(data.data(), ULONG(data.size()), &written));
        stream->Release();
        ASSERT_EQ(S_OK, root->Commit(STGC_DEFAULT));
        root->Release();
    }

    CFrameWnd m_frame;
    std::string m_savedHome;
    std::string m_home;
    std::string m_share;
};

TEST_F(ShellRegisterTest, TemplatesBecomeTheDesktopsTypesOnceWithTheProgramsPath)
{
    m_app->RegisterShellFileTypes();

    std::string expected = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
    for (int kind = 0; kind < 6; ++kind) {
        expected += "  <mime-type type=\"" + TypeOf(kind) + "\">\n"
            + "    <comment>Threadwick " + kKinds[kind][2] + "</comment>\n"
            + "    <sub-class-of type=\"application/x-ole-storage\"/>\n"
            + "    <icon name=\"application-x-threadwick-document\"/>\n"
            + "    <glob pattern=\"*." + kKinds[kind][1] + "\"/>\n"
            + "  </mime-type>\n";
    }
    EXPECT_EQ(expected + "</mime-info>\n", testing_support::ReadFileBytes(Package()));

    char exe[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
    const std::string entry = testing_support::ReadFileBytes(Entry());
    EXPECT_NE(entry.find("\nExec=" + platform::ShellExecArgument(exe) + " %F\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nMimeType=application/x-threadwick-shirt;application/x-threadwick-apparel;"
                         "application/x-threadwick-mousepad;application/x-threadwick-calendar;"
                         "application/x-threadwick-label;application/x-threadwick-general;\n"),
        std::string::npos)
        << entry;

    // The icons are the resources' pictures, the right way up, with their
    // transparency (rows of the record run top to bottom).
    for (const std::string& path : {DocumentIcon(), ProgramIcon()}) {
        const std::string png = testing_support::ReadFileBytes(path);
        LTBITMAP bitmap;
        ASSERT_EQ(LT_SUCCESS, LtMemLoad(png.data(), &bitmap, 32, LT_ORDER_BGR, DWORD(png.size()))) << path;
        ASSERT_EQ(kIconSide, bitmap.Width);
        ASSERT_EQ(kIconSide, bitmap.Height);
        const BYTE* p = bitmap.Pixels.data();
        EXPECT_EQ(0x00FF0000u + 0xFF000000u, unsigned(p[0] | p[1] << 8 | p[2] << 16 | unsigned(p[3]) << 24));
        EXPECT_EQ(255, p[4 + 3]);
        EXPECT_EQ(0, p[size_t(kIconSide - 1) * bitmap.BytesPerLine + (kIconSide - 1) * 4 + 3]);
    }

    // A second start finds everything in place: no file is written and no
    // tool rewrites its cache.
    std::vector<std::string> files = {Package(), Entry(), DocumentIcon(), ProgramIcon()};
    if (HaveCommand("update-mime-database"))
        files.push_back(m_share + "/mime/mime.cache");
    if (HaveCommand("update-desktop-database"))
        files.push_back(m_share + "/applications/mimeinfo.cache");
    std::vector<std::pair<time_t, long>> before;
    for (const std::string& path : files)
        before.push_back(ModifiedAt(path));
    m_app->RegisterShellFileTypes();
    for (size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(before[i], ModifiedAt(files[i])) << files[i];
}

TEST_F(ShellRegisterTest, DesktopNamesOurTypeForSavedDesignsByTheirExtension)
{
    if (!HaveCommand("update-mime-database") || !HaveCommand("xdg-mime") || !HaveCommand("gio"))
        GTEST_SKIP() << "shared-mime-info, xdg-utils or glib's gio is not installed";
    m_app->RegisterShellFileTypes();

    const std::string dir = testing_support::MakeTempDir("designs");
    for (int kind = 0; kind < 6; ++kind) {
        const std::string path = dir + "/design." + kKinds[kind][1];
        SaveCompoundFile(path, kind);
        EXPECT_EQ(TypeOf(kind), QueryType(path)) << path;
    }
    // The extension is in the user's hands; upper case is the same.
    ASSERT_EQ(0, rename((dir + "/design.mse").c_str(), (dir + "/DESIGN.MSE").c_str()));
    EXPECT_EQ(TypeOf(2), QueryType(dir + "/DESIGN.MSE"));

    // No magic of ours claims a design under another name: it is a compound
    // file like any other.
    const std::string renamed = dir + "/design.dat";
    SaveCompoundFile(renamed, 0);
    EXPECT_EQ("application/x-ole-storage", QueryType(renamed));

    // The glob alone names the kind, so a text file with a design's
    // extension is taken for one too; opening it gives the program's own
    // "Unable to open design.".
    const std::string text = dir + "/notes.shr";
    testing_support::WriteFileBytes(text, "just some words\n");
    EXPECT_EQ("application/x-threadwick-shirt", QueryType(text));

    // The desktop starts this program for its types.
    if (HaveCommand("update-desktop-database")) {
        EXPECT_EQ("threadwick.desktop",
            testing_support::RunCommand("env XDG_DATA_HOME='" + m_share + "' XDG_DATA_DIRS=/usr/share "
                "XDG_CURRENT_DESKTOP=GNOME xdg-mime query default application/x-threadwick-calendar 2>/dev/null"));
    }
    if (HaveCommand("desktop-file-validate")) {
        EXPECT_EQ("rc=0", testing_support::RunCommand("desktop-file-validate '" + Entry() + "' 2>&1; echo rc=$?"));
    }
}

TEST_F(ShellRegisterTest, UnwritableDataFolderGivesNoMessage)
{
    testing_support::WriteFileBytes(m_share, "not a folder");
    m_app->RegisterShellFileTypes();
    EXPECT_TRUE(platform::headless::MessageBoxes().empty());
    EXPECT_EQ("not a folder", testing_support::ReadFileBytes(m_share));
}

} // namespace
} // namespace doctest

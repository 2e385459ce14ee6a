#include "platform/profile/ShellRegistration.h"

#include "platform/base/CodePage.h"
#include "platform/files/FileOps.h"
#include "platform/files/SafeReplace.h"

#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <tuple>

namespace platform {

const char kShellDocumentIconName[] = "application-x-threadwick-document";

namespace {

constexpr char kProgramName[] = "threadwick";
// The longest type name part, extension and text we write; anything longer
// is not a name a template means.
constexpr size_t kMaxNamePart = 64;
constexpr size_t kMaxExtension = 16;
constexpr size_t kMaxText = 512;
// Larger files of our names cannot be ours as we write them: they differ.
constexpr size_t kMaxCompared = 4 * 1024 * 1024;

bool IsAsciiAlnum(unsigned char ch)
{
    return (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
}

char AsciiLower(char ch)
{
    return ch >= 'A' && ch <= 'Z' ? char(ch - 'A' + 'a') : ch;
}

bool IsValidUtf8(std::string_view text)
{
    return Utf8WellFormedLength(text) == text.size();
}

// Free text for an XML element or a desktop entry: bounded, UTF-8, without
// control characters (neither file can hold them as they are).
std::string CleanText(std::string_view text)
{
    if (text.size() > kMaxText || !IsValidUtf8(text))
        return {};
    std::string out;
    for (char ch : text)
        out += static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F ? ' ' : ch;
    return out;
}

std::string XmlEscape(std::string_view text)
{
    std::string out;
    for (char ch : text) {
        switch (ch) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out += ch;
        }
    }
    return out;
}

// A desktop entry's string value: backslash is its escape character.
std::string DesktopStringEscape(std::string_view text)
{
    std::string out;
    for (char ch : text) {
        if (ch == '\\')
            out += "\\\\";
        else
            out += ch;
    }
    return out;
}

// A glob's extension: letters, digits, '_' and '-' only, so that nothing in
// it means more than itself to a glob or to XML.
bool IsUsableExtension(std::string_view ext)
{
    if (ext.empty() || ext.size() > kMaxExtension)
        return false;
    return std::all_of(ext.begin(), ext.end(), [](char ch) {
        return IsAsciiAlnum(static_cast<unsigned char>(ch)) || ch == '_' || ch == '-';
    });
}

bool IsUsableMimeType(std::string_view type)
{
    static constexpr std::string_view kPrefix = "application/x-threadwick-";
    if (type.size() <= kPrefix.size() || type.substr(0, kPrefix.size()) != kPrefix)
        return false;
    std::string_view rest = type.substr(kPrefix.size());
    return rest.size() <= kMaxNamePart && std::all_of(rest.begin(), rest.end(), [](char ch) {
        return (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') || ch == '-';
    });
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return AsciiLower(x) == AsciiLower(y);
    });
}

// The types that are written: usable ones, the first of each type name and
// of each extension.
std::vector<const ShellDocumentType*> UsableTypes(const ShellRegistrationInfo& info)
{
    std::vector<const ShellDocumentType*> out;
    for (const ShellDocumentType& type : info.types) {
        if (!IsUsableMimeType(type.mimeType) || !IsUsableExtension(type.extension))
            continue;
        const bool taken = std::any_of(out.begin(), out.end(), [&](const ShellDocumentType* other) {
            return other->mimeType == type.mimeType || SameTextIgnoringCase(other->extension, type.extension);
        });
        if (!taken)
            out.push_back(&type);
    }
    return out;
}

// The sizes the hicolor theme has folders for; an icon of another size
// would never be found.
bool IsThemeIconSize(int size)
{
    static const int kSizes[] = { 16, 22, 24, 32, 36, 48, 64, 72, 96, 128, 192, 256, 512 };
    return std::find(std::begin(kSizes), std::end(kSizes), size) != std::end(kSizes);
}

bool IsPng(const std::string& bytes)
{
    static constexpr std::string_view kSignature("\x89PNG\r\n\x1a\n", 8);
    return bytes.size() > kSignature.size() && std::string_view(bytes).substr(0, kSignature.size()) == kSignature;
}

std::string IconPath(const std::string& dataHome, int size, const char* context, std::string_view name)
{
    const std::string n = std::to_string(size);
    return dataHome + "/icons/hicolor/" + n + "x" + n + "/" + context + "/" + std::string(name) + ".png";
}

// Whether the file holds exactly these bytes.
bool HoldsBytes(const std::string& path, std::string_view bytes)
{
    std::string held;
    return bytes.size() <= kMaxCompared && ReadBoundedHostFile(path, bytes.size(), held) == 0 && held == bytes;
}

enum class WriteOutcome { Unchanged, Written, Failed };

WriteOutcome WriteIfChanged(const std::string& path, std::string_view bytes)
{
    if (HoldsBytes(path, bytes))
        return WriteOutcome::Unchanged;
    if (!MakeHostFolders(HostParent(path), 0755))
        return WriteOutcome::Failed;
    int error = 0;
    return ReplaceFileContents(path, bytes, KeepBackup::No, &error) ? WriteOutcome::Written : WriteOutcome::Failed;
}

bool ModifiedBefore(const struct stat& a, const struct stat& b)
{
    if (a.st_mtim.tv_sec != b.st_mtim.tv_sec)
        return a.st_mtim.tv_sec < b.st_mtim.tv_sec;
    return a.st_mtim.tv_nsec < b.st_mtim.tv_nsec;
}

// A tool's cache is due when our file is in place and the cache is missing
// or older: a tool that was not there, or was ended, last time has left the
// desktop without our file.
bool CacheIsStale(const std::string& ours, const std::string& cache)
{
    struct stat ourStat;
    if (stat(ours.c_str(), &ourStat) != 0)
        return false;
    struct stat cacheStat;
    return stat(cache.c_str(), &cacheStat) != 0 || ModifiedBefore(cacheStat, ourStat);
}

std::string AbsoluteEnv(const char* name)
{
    const char* value = getenv(name);
    if (value == nullptr || value[0] != '/')
        return {};
    std::string text = value;
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

} // namespace

std::string ShellDataHome()
{
    if (std::string home = AbsoluteEnv("THREADWICK_HOME"); !home.empty())
        return home + "/share";
    if (std::string data = AbsoluteEnv("XDG_DATA_HOME"); !data.empty())
        return data;
    std::string home = AbsoluteEnv("HOME");
    if (home.empty()) {
        if (passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_dir != nullptr && pw->pw_dir[0] == '/')
            home = pw->pw_dir;
    }
    return home.empty() ? std::string() : home + "/.local/share";
}

std::string ShellMimeTypeForDocName(std::string_view docName)
{
    std::string name;
    for (char ch : docName) {
        if (ch == ' ' || ch == '\t')
            continue;
        if (!IsAsciiAlnum(static_cast<unsigned char>(ch)) && ch != '-')
            return {};
        name += AsciiLower(ch);
    }
    if (name.empty() || name.size() > kMaxNamePart)
        return {};
    return "application/x-threadwick-" + name;
}

std::string ShellExecArgument(std::string_view path)
{
    if (path.empty() || path.size() > 4096 || !IsValidUtf8(path))
        return {};
    static constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
    bool quote = false;
    for (char ch : path) {
        if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F)
            return {};
        if (kReserved.find(ch) != std::string_view::npos)
            quote = true;
    }
    // Inside quotes '"', '`', '$' and '\' take a backslash; '%' is doubled
    // everywhere, as field codes begin with it. The entry's own string
    // escaping comes on top, which doubles every backslash once more.
    std::string arg;
    if (quote)
        arg += '"';
    for (char ch : path) {
        if (quote && (ch == '"' || ch == '`' || ch == '$' || ch == '\\'))
            arg += '\\';
        if (ch == '%')
            arg += '%';
        arg += ch;
    }
    if (quote)
        arg += '"';
    return DesktopStringEscape(arg);
}

std::string ShellMimePackage(const ShellRegistrationInfo& info)
{
    // A design is a compound file whose root entry carries the kind's class
    // ID, but the root entry lies wherever the header's directory sector
    // says, and our storage writes the directory after the data, so its
    // place moves with the file's size. shared-mime-info's magic can only
    // test fixed offsets, so the glob alone names the kind; the compound
    // file's own signature stays with the parent type.
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
    for (const ShellDocumentType* type : UsableTypes(info)) {
        xml += "  <mime-type type=\"" + type->mimeType + "\">\n";
        if (std::string comment = CleanText(type->comment); !comment.empty())
            xml += "    <comment>" + XmlEscape(comment) + "</comment>\n";
        xml += "    <sub-class-of type=\"application/x-ole-storage\"/>\n";
        xml += std::string("    <icon name=\"") + kShellDocumentIconName + "\"/>\n";
        xml += "    <glob pattern=\"*." + type->extension + "\"/>\n";
        xml += "  </mime-type>\n";
    }
    xml += "</mime-info>\n";
    return xml;
}

std::string ShellDesktopEntry(const ShellRegistrationInfo& info)
{
    const std::string exec = ShellExecArgument(info.programPath);
    if (exec.empty() || info.programPath[0] != '/')
        return {};
    std::string name = CleanText(info.name);
    if (name.empty())
        name = kProgramName;
    std::string entry = "[Desktop Entry]\n"
                        "Type=Application\n";
    entry += "Name=" + DesktopStringEscape(name) + "\n";
    entry += std::string("Icon=") + kProgramName + "\n";
    entry += "Exec=" + exec + " %F\n";
    entry += "Terminal=false\n";
    entry += "Categories=Graphics;\n";
    std::string types;
    for (const ShellDocumentType* type : UsableTypes(info))
        types += type->mimeType + ";";
    if (!types.empty())
        entry += "MimeType=" + types + "\n";
    return entry;
}

ShellRegistrationResult RegisterShellTypes(const ShellRegistrationInfo& info, const std::string& dataHome,
    const ShellToolRunner& runTool)
{
    ShellRegistrationResult result;
    if (dataHome.empty() || dataHome[0] != '/')
        return result;
    // The base folder is private when we are the first to make it, as the
    // base directory rules ask; the folders inside are the usual 0755.
    struct stat st;
    if (stat(dataHome.c_str(), &st) != 0 && !MakeHostFolders(dataHome, 0700)) {
        result.failed = true;
        return result;
    }

    auto note = [&result](WriteOutcome outcome) {
        switch (outcome) {
        case WriteOutcome::Unchanged:
            return false;
        case WriteOutcome::Written:
            result.written = true;
            return true;
        case WriteOutcome::Failed:
            result.failed = true;
            return false;
        }
        return false;
    };

    const std::string mimeFolder = dataHome + "/mime";
    const std::string package = mimeFolder + "/packages/" + kProgramName + ".xml";
    const bool packageWritten = note(WriteIfChanged(package, ShellMimePackage(info)));

    for (const auto& [icon, context, name] : {
             std::tuple(&info.programIcon, "apps", std::string_view(kProgramName)),
             std::tuple(&info.documentIcon, "mimetypes", std::string_view(kShellDocumentIconName)),
         }) {
        if (IsThemeIconSize(icon->size) && IsPng(icon->png))
            note(WriteIfChanged(IconPath(dataHome, icon->size, context, name), icon->png));
    }

    const std::string appsFolder = dataHome + "/applications";
    const std::string entryPath = appsFolder + "/" + kProgramName + ".desktop";
    bool entryWritten = false;
    if (std::string entry = ShellDesktopEntry(info); !entry.empty())
        entryWritten = note(WriteIfChanged(entryPath, entry));

    if (runTool) {
        if (packageWritten || CacheIsStale(package, mimeFolder + "/mime.cache")) {
            result.ran.push_back("update-mime-database");
            runTool({ "update-mime-database", mimeFolder });
        }
        if (entryWritten || CacheIsStale(entryPath, appsFolder + "/mimeinfo.cache")) {
            result.ran.push_back("update-desktop-database");
            runTool({ "update-desktop-database", appsFolder });
        }
    }
    return result;
}

} // namespace platform

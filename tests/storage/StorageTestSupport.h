#pragma once
// Shared set-up of the storage tests: the files tests' drive table (only C:,
// the Linux root), wide Windows-form paths of host paths, a canonical
// listing of a storage tree, and the independent readers run through
// tests/data/storage/cfb_listing.py.

#include "platform/base/Guid.h"
#include "platform/storage/Storage.h"
#include "tests/files/FilesTestSupport.h"

#include <cstdio>
#include <string>
#include <vector>

namespace storage_test {

inline std::u16string Wide(const std::string& ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

// "/tmp/x" as u"C:\\tmp\\x".
inline std::u16string WinPath(const std::string& hostPath)
{
    return Wide(files_test::Win(hostPath));
}

inline std::string Fnv(const void* data, size_t size)
{
    uint64_t h = 0xCBF29CE484222325ull;
    for (size_t i = 0; i < size; ++i) {
        h ^= static_cast<const unsigned char*>(data)[i];
        h *= 0x100000001B3ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

inline std::string Escape(const char16_t* name)
{
    std::string out;
    for (; *name; ++name) {
        if (*name >= 0x20 && *name < 0x7F && *name != u'\\') {
            out += char(*name);
        } else {
            char text[8];
            std::snprintf(text, sizeof text, "\\u%04x", unsigned(*name));
            out += text;
        }
    }
    return out;
}

enum class WithClassIds { No, Yes };

inline std::string StreamBytes(IStream* stream)
{
    std::string bytes;
    char buffer[8192];
    ULONG got = 0;
    while (SUCCEEDED(stream->Read(buffer, sizeof buffer, &got)) && got > 0)
        bytes.append(buffer, got);
    return bytes;
}

inline void ListInto(IStorage* storage, const std::string& prefix, WithClassIds ids, std::vector<std::string>& lines)
{
    IEnumSTATSTG* elements = nullptr;
    ASSERT_EQ(storage->EnumElements(0, nullptr, 0, &elements), S_OK);
    STATSTG stat;
    while (elements->Next(1, &stat, nullptr) == S_OK) {
        std::string path = prefix + Escape(stat.pwcsName);
        if (stat.type == STGTY_STORAGE) {
            IStorage* child = nullptr;
            EXPECT_EQ(storage->OpenStorage(stat.pwcsName, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, &child), S_OK)
                << path;
            std::string clsid = ids == WithClassIds::Yes ? platform::GuidToString(stat.clsid) : "-";
            lines.push_back(path + "\tD\t0\t" + clsid + "\t-");
            if (child) {
                ListInto(child, path + "/", ids, lines);
                child->Release();
            }
        } else {
            IStream* stream = nullptr;
            EXPECT_EQ(storage->OpenStream(stat.pwcsName, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream), S_OK)
                << path;
            std::string bytes = stream ? StreamBytes(stream) : std::string();
            EXPECT_EQ(bytes.size(), stat.cbSize.QuadPart) << path;
            lines.push_back(path + "\tS\t" + std::to_string(bytes.size()) + "\t-\t" + Fnv(bytes.data(), bytes.size()));
            if (stream)
                stream->Release();
        }
        CoTaskMemFree(stat.pwcsName);
    }
    elements->Release();
}

// The same listing as cfb_listing.py prints, made through our interfaces.
inline std::string Listing(IStorage* root, WithClassIds ids)
{
    std::vector<std::string> lines;
    STATSTG stat;
    EXPECT_EQ(root->Stat(&stat, STATFLAG_NONAME), S_OK);
    lines.push_back(std::string("\tR\t0\t") + (ids == WithClassIds::Yes ? platform::GuidToString(stat.clsid) : "-") + "\t-");
    ListInto(root, "", ids, lines);
    std::sort(lines.begin(), lines.end());
    std::string out;
    for (const auto& line : lines)
        out += line + "\n";
    return out;
}

enum class Reader { Olefile, Gsf };

// The listing another reader gives, or false when that reader is not
// installed (python3-olefile, libgsf-bin). Several files (paths without
// quotes) give one listing each after a line "#FILE <path>".
inline bool IndependentListing(Reader reader, const std::string& hostPaths, std::string& out)
{
    std::string command = std::string("/usr/bin/python3 ") + THREADWICK_SOURCE_DIR + "/tests/data/storage/cfb_listing.py "
        + (reader == Reader::Olefile ? "olefile" : "gsf") + " " + hostPaths + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return false;
    out.clear();
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    int status = pclose(pipe);
    return !(WIFEXITED(status) && (WEXITSTATUS(status) == 3 || WEXITSTATUS(status) == 127));
}

} // namespace storage_test

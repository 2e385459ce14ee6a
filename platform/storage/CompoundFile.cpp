#include "platform/storage/CompoundFile.h"

#include "platform/storage/CompoundFileCheck.h"
#include "platform/storage/DirectoryTree.h"
#include "platform/storage/Storage.h"
#include "platform/storage/StorageTree.h"

#include <gsf/gsf.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace platform {

namespace {

constexpr BYTE kSignature[8] = { 0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1 };
constexpr size_t kHeaderSize = 512;
constexpr int kMaxDepth = 128;
constexpr size_t kCopyChunk = 64 * 1024;

void QuietLog(const gchar*, GLogLevelFlags, const gchar*, gpointer)
{
}

// libgsf reports damaged files through GLib's log as well as through its
// results; the results are what we act on, so its messages are dropped.
void EnsureGsf()
{
    static std::once_flag once;
    std::call_once(once, [] {
        gsf_init();
        const auto levels = static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE
            | G_LOG_LEVEL_INFO | G_LOG_LEVEL_DEBUG | G_LOG_LEVEL_CRITICAL);
        // libgsf logs without a domain of its own; nothing else in the
        // program logs through GLib.
        for (const char* domain : { static_cast<const char*>(nullptr), "libgsf", "libgsf:msole", "GLib", "GLib-GObject" })
            g_log_set_handler(domain, levels, QuietLog, nullptr);
    });
}

uint32_t Le32(std::span<const BYTE> bytes, size_t at)
{
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16
        | uint32_t(bytes[at + 3]) << 24;
}

uint16_t Le16(std::span<const BYTE> bytes, size_t at)
{
    return uint16_t(bytes[at] | bytes[at + 1] << 8);
}

// The checks libgsf does not make before it allocates: every count in the
// header must fit in the sectors the file really has.
HRESULT CheckHeader(std::span<const BYTE> bytes)
{
    if (bytes.size() < kHeaderSize)
        return STG_E_INVALIDHEADER;
    if (Le16(bytes, 0x1C) != 0xFFFE)
        return STG_E_INVALIDHEADER;
    const uint16_t sectorShift = Le16(bytes, 0x1E);
    const uint16_t miniShift = Le16(bytes, 0x20);
    if ((sectorShift != 9 && sectorShift != 12) || miniShift != 6)
        return STG_E_INVALIDHEADER;
    const size_t sectorSize = size_t(1) << sectorShift;
    if (bytes.size() < sectorSize)
        return STG_E_INVALIDHEADER;
    const uint64_t sectors = (bytes.size() - sectorSize + sectorSize - 1) / sectorSize;
    const uint32_t fatSectors = Le32(bytes, 0x2C);
    const uint32_t firstDirectory = Le32(bytes, 0x30);
    const uint32_t miniFatSectors = Le32(bytes, 0x40);
    const uint32_t difatSectors = Le32(bytes, 0x48);
    if (fatSectors == 0 || fatSectors > sectors || miniFatSectors > sectors || difatSectors > sectors)
        return STG_E_DOCFILECORRUPT;
    if (firstDirectory >= sectors)
        return STG_E_DOCFILECORRUPT;
    return S_OK;
}

CLSID ClassOf(GsfInfile* infile)
{
    guint8 raw[16] = {};
    if (!GSF_IS_INFILE_MSOLE(infile) || !gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(infile), raw))
        return CLSID_NULL;
    return GuidFromBytes(std::span<const BYTE, 16>(raw, 16));
}

struct ReadBudget {
    uint64_t fileSize;
    uint64_t streamBytes = 0; // every stream's bytes occupy bytes of their own in the file
    uint64_t elements = 0;
    uint64_t maxElements;
};

HRESULT ReadStream(GsfInput* input, StorageNode& node, ReadBudget& budget)
{
    const gsf_off_t size = gsf_input_size(input);
    if (size < 0 || uint64_t(size) > budget.fileSize || uint64_t(size) > budget.fileSize - budget.streamBytes)
        return STG_E_DOCFILECORRUPT;
    budget.streamBytes += uint64_t(size);
    node.data.resize(size_t(size));
    size_t done = 0;
    while (done < node.data.size()) {
        const size_t n = std::min(kCopyChunk, node.data.size() - done);
        if (!gsf_input_read(input, n, node.data.data() + done))
            return STG_E_DOCFILECORRUPT;
        done += n;
    }
    return S_OK;
}

HRESULT ReadChildren(GsfInfile* infile, StorageNode& node, ReadBudget& budget, int depth)
{
    if (depth > kMaxDepth)
        return STG_E_DOCFILECORRUPT;
    const int count = gsf_infile_num_children(infile);
    if (count < 0)
        return STG_E_DOCFILECORRUPT;
    for (int i = 0; i < count; ++i) {
        if (++budget.elements > budget.maxElements)
            return STG_E_DOCFILECORRUPT;
        const char* utf8 = gsf_infile_name_by_index(infile, i);
        if (!utf8)
            return STG_E_DOCFILECORRUPT;
        glong units = 0;
        gunichar2* utf16 = g_utf8_to_utf16(utf8, -1, nullptr, &units, nullptr);
        if (!utf16)
            return STG_E_DOCFILECORRUPT;
        auto child = std::make_shared<StorageNode>();
        child->name.assign(reinterpret_cast<const char16_t*>(utf16), size_t(units));
        g_free(utf16);
        if (child->name.empty() || child->name.size() > kMaxElementName)
            return STG_E_DOCFILECORRUPT;
        // Two names that differ only in case cannot both be looked up.
        if (!node.Add(child))
            return STG_E_DOCFILECORRUPT;

        GsfInput* input = gsf_infile_child_by_index(infile, i);
        if (!input)
            return STG_E_DOCFILECORRUPT;
        HRESULT hr = S_OK;
        if (GSF_IS_INFILE(input) && gsf_infile_num_children(GSF_INFILE(input)) >= 0) {
            child->type = ElementType::Storage;
            child->clsid = ClassOf(GSF_INFILE(input));
            hr = ReadChildren(GSF_INFILE(input), *child, budget, depth + 1);
        } else {
            child->type = ElementType::Stream;
            hr = ReadStream(input, *child, budget);
        }
        g_object_unref(input);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

HRESULT WriteChildren(GsfOutfile* outfile, const StorageNode& node)
{
    for (const auto& child : node.Children()) {
        gchar* utf8 = g_utf16_to_utf8(reinterpret_cast<const gunichar2*>(child->name.data()), glong(child->name.size()),
            nullptr, nullptr, nullptr);
        if (!utf8)
            return STG_E_INVALIDNAME;
        const bool isStorage = child->type == ElementType::Storage;
        GsfOutput* output = gsf_outfile_new_child(outfile, utf8, isStorage);
        g_free(utf8);
        if (!output)
            return STG_E_WRITEFAULT;
        HRESULT hr = S_OK;
        if (isStorage) {
            const auto raw = GuidToBytes(child->clsid);
            gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(output), raw.data());
            hr = WriteChildren(GSF_OUTFILE(output), *child);
        } else {
            size_t done = 0;
            while (done < child->data.size() && SUCCEEDED(hr)) {
                const size_t n = std::min(kCopyChunk, child->data.size() - done);
                if (!gsf_output_write(output, n, child->data.data() + done))
                    hr = STG_E_WRITEFAULT;
                done += n;
            }
        }
        if (!gsf_output_close(output) && SUCCEEDED(hr))
            hr = STG_E_WRITEFAULT;
        g_object_unref(output);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

} // namespace

bool HasCompoundFileSignature(std::span<const BYTE> bytes)
{
    return bytes.size() >= sizeof kSignature && std::memcmp(bytes.data(), kSignature, sizeof kSignature) == 0;
}

HRESULT ReadCompoundFile(std::span<const BYTE> bytes, std::shared_ptr<StorageNode>& root)
{
    root.reset();
    if (!HasCompoundFileSignature(bytes))
        return STG_E_FILEALREADYEXISTS;
    if (bytes.size() > kMaxCompoundFileSize)
        return STG_E_INSUFFICIENTMEMORY;
    if (HRESULT hr = CheckHeader(bytes); FAILED(hr))
        return hr;
    size_t elements = 0;
    if (HRESULT hr = CheckCompoundFile(bytes, elements); FAILED(hr))
        return hr;

    // The root entry has no siblings; its sibling fields should say so. The
    // reader follows them anyway and loses what it finds there, so a file
    // with garbage in them is read from a copy with the fields cleared
    // (readers that ignore them see the same tree).
    std::vector<BYTE> patched;
    const size_t rootEntry = (size_t(Le32(bytes, 0x30)) + 1) << Le16(bytes, 0x1E);
    if (rootEntry + 0x4C <= bytes.size()
        && (Le32(bytes, rootEntry + 0x44) != 0xFFFFFFFF || Le32(bytes, rootEntry + 0x48) != 0xFFFFFFFF)) {
        patched.assign(bytes.begin(), bytes.end());
        std::memset(patched.data() + rootEntry + 0x44, 0xFF, 8);
        bytes = patched;
    }

    EnsureGsf();
    GsfInput* input = gsf_input_memory_new(bytes.data(), gsf_off_t(bytes.size()), FALSE);
    if (!input)
        return STG_E_INSUFFICIENTMEMORY;
    GError* error = nullptr;
    GsfInfile* infile = gsf_infile_msole_new(input, &error);
    g_object_unref(input);
    if (error)
        g_error_free(error);
    if (!infile)
        return STG_E_DOCFILECORRUPT;

    auto tree = std::make_shared<StorageNode>();
    tree->name = u"Root Entry";
    tree->type = ElementType::Storage;
    tree->clsid = ClassOf(infile);
    // A directory entry is 128 bytes, so a file cannot hold more entries
    // than that; shared or cyclic chains would show more.
    ReadBudget budget { bytes.size(), 0, 0, bytes.size() / 128 };
    HRESULT hr = ReadChildren(infile, *tree, budget, 0);
    g_object_unref(infile);
    if (FAILED(hr))
        return hr;
    // The reader leaves out entries it cannot make sense of; a file that
    // loses any is damaged.
    if (budget.elements != elements)
        return STG_E_DOCFILECORRUPT;
    root = std::move(tree);
    return S_OK;
}

HRESULT WriteCompoundFile(const StorageNode& root, std::string& out)
{
    out.clear();
    EnsureGsf();
    GsfOutput* sink = gsf_output_memory_new();
    if (!sink)
        return STG_E_INSUFFICIENTMEMORY;
    GsfOutfile* outfile = gsf_outfile_msole_new_full(sink, 512, 64);
    if (!outfile) {
        g_object_unref(sink);
        return STG_E_WRITEFAULT;
    }
    const auto raw = GuidToBytes(root.clsid);
    gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(outfile), raw.data());
    HRESULT hr = WriteChildren(outfile, root);
    if (!gsf_output_close(GSF_OUTPUT(outfile)) && SUCCEEDED(hr))
        hr = STG_E_WRITEFAULT;
    g_object_unref(outfile);
    if (SUCCEEDED(hr)) {
        const guint8* data = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink));
        const gsf_off_t size = gsf_output_size(sink);
        if (data && size > 0)
            out.assign(reinterpret_cast<const char*>(data), size_t(size));
        else
            hr = STG_E_WRITEFAULT;
    }
    if (SUCCEEDED(hr))
        hr = BalanceDirectory(std::span<BYTE>(reinterpret_cast<BYTE*>(out.data()), out.size()));
    if (FAILED(hr))
        out.clear();
    gsf_output_close(sink);
    g_object_unref(sink);
    return hr;
}

} // namespace platform

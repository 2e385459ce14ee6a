// The OLE container document and client items: the item record, the
// embedded objects' storages kept through saves, drawing from the cached
// picture, and the container commands.

#include "platform/base/AfxResourceIds.h"
#include "platform/base/Archive.h"
#include "platform/base/CodePage.h"
#include "platform/base/Exception.h"
#include "platform/base/MemFile.h"
#include "platform/files/HostPath.h"
#include "platform/framework/CmdTarget.h"
#include "platform/framework/FrameworkIds.h"
#include "platform/framework/OleDoc.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiDefs.h"
#include "platform/storage/Storage.h"
#include "platform/ui/Headless.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <string>
#include <vector>

namespace {

const CLSID kObjectClass = {0x12345678, 0x9ABC, 0xDEF0, {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88}};

// A client item the tests can set up as the archive would.
class COleTestItem : public COleClientItem {
    DECLARE_SERIAL(COleTestItem)
public:
    explicit COleTestItem(COleDocument* pDoc = NULL) : COleClientItem(pDoc) {}
    // Gives the item a storage of the test's (one reference taken).
    void UseStorage(IStorage* pStorage)
    {
        Release();
        pStorage->AddRef();
        m_lpStorage = pStorage;
        m_nItemState = loadedState;
    }
    void SetRecord(OLE_OBJTYPE type, DWORD number, DVASPECT aspect)
    {
        m_nItemType = type;
        m_dwItemNumber = number;
        m_nCachedAspect = aspect;
        m_nDrawAspect = aspect;
    }
};
IMPLEMENT_SERIAL(COleTestItem, COleClientItem, 0)

// A container whose data is a text and a list of items, followed by the
// document's own record of its items.
class CContainerDoc : public COleDocument {
public:
    CContainerDoc() { EnableCompoundFile(); }
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar << m_text;
            ar << DWORD(m_items.size());
            for (COleClientItem* pItem : m_items)
                ar.WriteObject(pItem);
            if (s_failStore)
                AfxThrowArchiveException(CArchiveException::genericException);
        } else {
            ar >> m_text;
            DWORD n = 0;
            ar >> n;
            if (n > 100)
                AfxThrowArchiveException(CArchiveException::badIndex);
            for (DWORD i = 0; i < n; ++i)
                m_items.push_back(static_cast<COleClientItem*>(ar.ReadObject(RUNTIME_CLASS(COleClientItem))));
        }
        COleDocument::Serialize(ar);
    }
    void DeleteContents() override
    {
        m_text.Empty();
        m_items.clear(); // the document owns the items themselves
    }

    CString m_text;
    std::vector<COleClientItem*> m_items;
    static inline bool s_failStore = false;
};

std::string Le32(DWORD v)
{
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[size_t(i)] = char(v >> (8 * i));
    return s;
}

std::string Le16(WORD v)
{
    return std::string{char(v & 0xFF), char(v >> 8)};
}

// A metafile that sets its own window (0,0)-(100,100) and fills all of it
// red, with no outline.
std::string RedSquareMetafile()
{
    std::string records;
    auto record = [&](WORD function, std::initializer_list<WORD> params) {
        records += Le32(DWORD(3 + params.size()));
        records += Le16(function);
        for (WORD p : params)
            records += Le16(p);
    };
    record(0x020B, {0, 0});                   // SetWindowOrg (y, x)
    record(0x020C, {100, 100});               // SetWindowExt (y, x)
    record(0x02FC, {0, 0x00FF, 0x0000, 0});   // CreateBrushIndirect: solid red
    record(0x012D, {0});                      // SelectObject 0
    record(0x02FA, {5, 0, 0, 0, 0});          // CreatePenIndirect: PS_NULL
    record(0x012D, {1});                      // SelectObject 1
    record(0x041B, {100, 100, 0, 0});         // Rectangle (bottom, right, top, left)
    record(0x0000, {});                       // EOF
    const DWORD words = DWORD(9 + records.size() / 2);
    std::string header = Le16(1) + Le16(9) + Le16(0x0300) + Le32(words) + Le16(2) + Le32(8) + Le16(0);
    return header + records;
}

// A two-by-two 24-bit DIB of one colour.
std::string SolidDib(BYTE r, BYTE g, BYTE b)
{
    std::string dib = Le32(40) + Le32(2) + Le32(2) + Le16(1) + Le16(24) + Le32(0) + Le32(16) + Le32(0) + Le32(0)
        + Le32(0) + Le32(0);
    for (int row = 0; row < 2; ++row)
        dib += std::string{char(b), char(g), char(r), char(b), char(g), char(r), 0, 0};
    return dib;
}

// A presentation stream as an object's program caches its picture.
std::string Presentation(DWORD cf, DWORD aspect, DWORD cx, DWORD cy, const std::string& data)
{
    return Le32(0xFFFFFFFF) + Le32(cf) + Le32(4) + Le32(aspect) + Le32(0xFFFFFFFF) + Le32(2) + Le32(0) + Le32(cx)
        + Le32(cy) + Le32(DWORD(data.size())) + data;
}

std::string CompObj(const std::string& userType)
{
    return std::string(28, '\x01') + Le32(DWORD(userType.size() + 1)) + userType + '\0' + Le32(0) + Le32(0);
}

void WriteStream(IStorage* stg, const std::u16string& name, const std::string& bytes)
{
    IStream* stm = nullptr;
    ASSERT_EQ(stg->CreateStream(name.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stm), S_OK);
    ULONG written = 0;
    ASSERT_EQ(stm->Write(bytes.data(), ULONG(bytes.size()), &written), S_OK);
    stm->Release();
}

// Every element below a storage: path, kind, class and bytes.
void ListElements(IStorage* stg, const std::string& prefix, std::string& out)
{
    IEnumSTATSTG* e = nullptr;
    ASSERT_EQ(stg->EnumElements(0, nullptr, 0, &e), S_OK);
    STATSTG st;
    ULONG fetched = 0;
    std::vector<std::pair<std::string, STATSTG>> elements;
    while (e->Next(1, &st, &fetched) == S_OK && fetched == 1) {
        elements.emplace_back(platform::Utf16To1252(st.pwcsName), st);
        CoTaskMemFree(st.pwcsName);
    }
    e->Release();
    for (auto& [name, stat] : elements) {
        const std::u16string wide = platform::Utf16From1252(name);
        if (stat.type == STGTY_STORAGE) {
            IStorage* sub = nullptr;
            ASSERT_EQ(stg->OpenStorage(wide.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, &sub), S_OK);
            STATSTG subStat;
            sub->Stat(&subStat, STATFLAG_NONAME);
            char clsid[64];
            std::snprintf(clsid, sizeof clsid, "%08X", subStat.clsid.Data1);
            out += prefix + name + " D " + clsid + "\n";
            ListElements(sub, prefix + name + "/", out);
            sub->Release();
        } else {
            IStream* stm = nullptr;
            ASSERT_EQ(stg->OpenStream(wide.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stm), S_OK);
            std::string bytes(size_t(stat.cbSize.QuadPart), '\0');
            ULONG read = 0;
            stm->Read(bytes.data(), ULONG(bytes.size()), &read);
            stm->Release();
            out += prefix + name + " S " + std::to_string(bytes.size()) + " ";
            for (unsigned char c : bytes)
                out += "0123456789ABCDEF"[c >> 4], out += "0123456789ABCDEF"[c & 15];
            out += "\n";
        }
    }
}

// The listing of one storage of a file, read from the file's bytes.
std::string ListStorageOfFile(const std::string& hostPath, const std::u16string& storage)
{
    const std::string bytes = testing_support::ReadFileBytes(hostPath);
    IStorage* root = nullptr;
    if (platform::OpenStorageFromBytes(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size(), &root) != S_OK)
        return "(not a compound file)";
    IStorage* sub = nullptr;
    std::string out;
    if (root->OpenStorage(storage.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, &sub) == S_OK) {
        ListElements(sub, "", out);
        sub->Release();
    } else {
        out = "(no such storage)";
    }
    root->Release();
    return out;
}

// The same listing by the independent reader; false when it is missing.
bool OlefileListing(const std::string& hostPath, const std::string& storage, std::string& out)
{
    return testing_support::RunOlefileScript(
        "import sys, olefile\n"
        "ole = olefile.OleFileIO(sys.argv[1])\n"
        "print('class', ole.getclsid([sys.argv[2]]).lower())\n"
        "for e in sorted(ole.listdir(streams=True, storages=True)):\n"
        "    if e[0] != sys.argv[2] or len(e) < 2: continue\n"
        "    name = '/'.join(e[1:])\n"
        "    if ole.get_type(e) == olefile.STGTY_STORAGE:\n"
        "        print(name, 'D', ole.getclsid(e))\n"
        "    else:\n"
        "        print(name, 'S', ole.openstream(e).read().hex())\n",
        {hostPath, storage}, out);
}

std::vector<std::string> FilesIn(const std::string& dir)
{
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        closedir(d);
    }
    return names;
}

class OleDocuments : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        CContainerDoc::s_failStore = false;
        m_dir = testing_support::MakeTempDir("oledoc");
    }
    void TearDown() override { CContainerDoc::s_failStore = false; }

    CString WinPath(const std::string& name) const
    {
        return CString(platform::WindowsPathFor(m_dir + "/" + name).c_str());
    }
    std::string HostPath(const std::string& name) const { return m_dir + "/" + name; }

    // The "Contents" bytes of a container holding `text` and one item with
    // the record given.
    static std::string ContentsWithItem(const CString& text, OLE_OBJTYPE type, DWORD number)
    {
        CContainerDoc doc;
        auto* item = new COleTestItem(&doc);
        item->SetRecord(type, number, DVASPECT_CONTENT);
        doc.m_text = text;
        doc.m_items.push_back(item);
        CMemFile mem;
        {
            CArchive ar(&mem, CArchive::store);
            ar.m_pDocument = &doc;
            doc.Serialize(ar);
            ar.Close();
        }
        const DWORD length = mem.GetLength();
        BYTE* bytes = mem.Detach();
        std::string out(reinterpret_cast<const char*>(bytes), length);
        std::free(bytes);
        return out;
    }

    // A design as another program's object left it: the container's
    // contents and the object's storage "Embedding 1" with a cached
    // picture, its kind's name, native data and a storage of its own.
    void WriteDesign(const std::string& name, const std::string& presentation)
    {
        IStorage* root = nullptr;
        const std::u16string wide = platform::Utf16From1252(static_cast<LPCTSTR>(WinPath(name)));
        ASSERT_EQ(StgCreateDocfile(wide.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &root), S_OK);
        WriteStream(root, u"Contents", ContentsWithItem("hello", OT_EMBEDDED, 1));
        IStorage* embedding = nullptr;
        ASSERT_EQ(root->CreateStorage(u"Embedding 1", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                      &embedding),
            S_OK);
        ASSERT_EQ(embedding->SetClass(kObjectClass), S_OK);
        WriteStream(embedding, u"\x01" u"CompObj", CompObj("Test Drawing"));
        WriteStream(embedding, u"\x01" u"Ole", std::string("\x01\x00\x00\x02\x00\x00\x00\x00", 8) + std::string(12, '\0'));
        if (!presentation.empty())
            WriteStream(embedding, u"\x02" u"OlePres000", presentation);
        WriteStream(embedding, u"CONTENTS", std::string("native \xFF\x00 data", 14));
        IStorage* inner = nullptr;
        ASSERT_EQ(embedding->CreateStorage(u"ObjInfo", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &inner),
            S_OK);
        WriteStream(inner, u"Deep", std::string(5000, 'x'));
        inner->Release();
        embedding->Release();
        ASSERT_EQ(root->Commit(STGC_DEFAULT), S_OK);
        root->Release();
    }

    std::string m_dir;
};

TEST_F(OleDocuments, WritesTheItemRecordInTheClassLibraryLayout)
{
    const std::string contents = ContentsWithItem("hi", OT_LINK, 7);
    // "hi", the list count, the item with its class, then the document's
    // list of items referring back to it.
    const std::string expected = std::string("\x02hi", 3) + Le32(1) + Le16(0xFFFF) + Le16(0) + Le16(12) + "COleTestItem"
        + Le32(OT_LINK) + Le32(7) + Le32(DVASPECT_CONTENT) + Le16(0) + Le32(DVASPECT_CONTENT) + Le32(1) + Le16(2);
    EXPECT_EQ(contents, expected);
}

TEST_F(OleDocuments, KeepsTheEmbeddedStorageByteForByteThroughASave)
{
    WriteDesign("old.des", Presentation(CF_METAFILEPICT, DVASPECT_CONTENT, 2540, 1270, RedSquareMetafile()));
    auto doc = std::make_unique<CContainerDoc>();
    ASSERT_TRUE(doc->OnOpenDocument(WinPath("old.des")));
    ASSERT_EQ(doc->m_items.size(), 1u);
    COleClientItem* item = doc->m_items[0];
    EXPECT_EQ(doc->m_text, "hello");
    EXPECT_EQ(item->GetType(), OT_EMBEDDED);
    EXPECT_EQ(item->GetItemState(), COleClientItem::loadedState);
    EXPECT_FALSE(item->IsInPlaceActive());
    CLSID clsid;
    item->GetClassID(&clsid);
    EXPECT_TRUE(IsEqualCLSID(clsid, kObjectClass));
    CString userType;
    item->GetUserType(userType);
    EXPECT_EQ(userType, "Test Drawing");
    SIZE extent{0, 0};
    ASSERT_TRUE(item->GetExtent(&extent));
    EXPECT_EQ(extent.cx, 2540);
    EXPECT_EQ(extent.cy, 1270);

    doc->m_text = "changed";
    ASSERT_TRUE(doc->OnSaveDocument(WinPath("new.des")));
    const std::string before = ListStorageOfFile(HostPath("old.des"), u"Embedding 1");
    EXPECT_NE(before.find("CONTENTS S 14 6E617469766520FF0020646174"), std::string::npos) << before;
    EXPECT_EQ(ListStorageOfFile(HostPath("new.des"), u"Embedding 1"), before);

    std::string theirsBefore;
    std::string theirsAfter;
    if (!OlefileListing(HostPath("old.des"), "Embedding 1", theirsBefore))
        GTEST_SKIP() << "python3-olefile is not installed";
    ASSERT_TRUE(OlefileListing(HostPath("new.des"), "Embedding 1", theirsAfter));
    EXPECT_NE(theirsAfter.find("ObjInfo/Deep S 7878"), std::string::npos) << theirsAfter;
    EXPECT_EQ(theirsAfter.substr(0, theirsAfter.find('\n')), "class 12345678-9abc-def0-1122-334455667788");
    EXPECT_EQ(theirsAfter, theirsBefore);

    // The saved file reads back with the same contents and item.
    doc.reset();
    CContainerDoc again;
    ASSERT_TRUE(again.OnOpenDocument(WinPath("new.des")));
    EXPECT_EQ(again.m_text, "changed");
    ASSERT_EQ(again.m_items.size(), 1u);
    EXPECT_EQ(again.m_items[0]->GetItemNumber(), 1u);
    EXPECT_EQ(again.m_items[0]->GetItemState(), COleClientItem::loadedState);
}

TEST_F(OleDocuments, SavingOverItsOwnFileKeepsTheItemForTheNextSave)
{
    WriteDesign("d.des", Presentation(CF_METAFILEPICT, DVASPECT_CONTENT, 100, 100, RedSquareMetafile()));
    const std::string embedding = ListStorageOfFile(HostPath("d.des"), u"Embedding 1");
    CContainerDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(WinPath("d.des")));
    ASSERT_TRUE(doc.OnSaveDocument(WinPath("d.des")));
    ASSERT_TRUE(doc.OnSaveDocument(WinPath("d.des")));
    EXPECT_EQ(ListStorageOfFile(HostPath("d.des"), u"Embedding 1"), embedding);
    EXPECT_EQ(FilesIn(m_dir), std::vector<std::string>{"d.des"});
}

TEST_F(OleDocuments, AFailedSaveLeavesTheOldFileAndNoLitter)
{
    WriteDesign("d.des", Presentation(CF_METAFILEPICT, DVASPECT_CONTENT, 100, 100, RedSquareMetafile()));
    const std::string original = testing_support::ReadFileBytes(HostPath("d.des"));
    CContainerDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(WinPath("d.des")));
    doc.m_text = "lost";
    CContainerDoc::s_failStore = true;
    EXPECT_FALSE(doc.OnSaveDocument(WinPath("d.des")));
    EXPECT_EQ(testing_support::ReadFileBytes(HostPath("d.des")), original);
    EXPECT_EQ(FilesIn(m_dir), std::vector<std::string>{"d.des"});
    EXPECT_FALSE(platform::headless::MessageBoxes().empty());

    // The document is still whole: the next save carries the object.
    CContainerDoc::s_failStore = false;
    ASSERT_TRUE(doc.OnSaveDocument(WinPath("d.des")));
    EXPECT_NE(ListStorageOfFile(HostPath("d.des"), u"Embedding 1").find("CompObj"), std::string::npos);
}

TEST_F(OleDocuments, NewDocumentsSaveAndReopen)
{
    auto doc = std::make_unique<CContainerDoc>();
    ASSERT_TRUE(doc->OnNewDocument());
    ASSERT_NE(doc->m_lpRootStg, nullptr);
    doc->m_text = "fresh";
    ASSERT_TRUE(doc->OnSaveDocument(WinPath("n.des")));
    // While a document has its file open, nobody else may write it.
    CContainerDoc second;
    EXPECT_FALSE(second.OnOpenDocument(WinPath("n.des")));
    doc.reset();
    CContainerDoc again;
    ASSERT_TRUE(again.OnOpenDocument(WinPath("n.des")));
    EXPECT_EQ(again.m_text, "fresh");
    EXPECT_TRUE(again.m_items.empty());
}

TEST_F(OleDocuments, AFileThatIsNotCompoundIsRefused)
{
    testing_support::WriteFileBytes(HostPath("flat.des"), "just some text");
    CContainerDoc doc;
    EXPECT_FALSE(doc.OnOpenDocument(WinPath("flat.des")));
    EXPECT_EQ(doc.m_lpRootStg, nullptr);
}

TEST_F(OleDocuments, DamagedItemRecordsRaiseArchiveExceptions)
{
    const std::string good = Le32(OT_EMBEDDED) + Le32(1) + Le32(DVASPECT_CONTENT) + Le16(0) + Le32(DVASPECT_CONTENT);
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"type out of range", Le32(4) + good.substr(4)},
        {"item number 0", good.substr(0, 4) + Le32(0) + good.substr(8)},
        {"cached aspect not an aspect", good.substr(0, 8) + Le32(3) + good.substr(12)},
        {"moniker flag 2", good.substr(0, 12) + Le16(2) + good.substr(14)},
        {"draw aspect 0", good.substr(0, 14) + Le32(0)},
        {"cut short", good.substr(0, 11)},
    };
    for (const Case& c : cases) {
        CContainerDoc doc;
        CMemFile mem(reinterpret_cast<BYTE*>(const_cast<char*>(c.bytes.data())), UINT(c.bytes.size()));
        CArchive ar(&mem, CArchive::load);
        ar.m_pDocument = &doc;
        COleTestItem item;
        bool threw = false;
        try {
            item.Serialize(ar);
        } catch (CArchiveException* e) {
            threw = true;
            e->Delete();
        }
        EXPECT_TRUE(threw) << c.what;
    }

    // Two items cannot claim one storage.
    CContainerDoc doc;
    COleTestItem first(&doc);
    first.SetRecord(OT_EMBEDDED, 1, DVASPECT_CONTENT);
    CMemFile mem(reinterpret_cast<BYTE*>(const_cast<char*>(good.data())), UINT(good.size()));
    CArchive ar(&mem, CArchive::load);
    ar.m_pDocument = &doc;
    COleTestItem second;
    bool threw = false;
    try {
        second.Serialize(ar);
    } catch (CArchiveException* e) {
        threw = true;
        EXPECT_EQ(e->m_cause, CArchiveException::badIndex);
        e->Delete();
    }
    EXPECT_TRUE(threw);
}

TEST_F(OleDocuments, TheDocumentsItemListIsBoundedByTheData)
{
    auto readList = [](const std::string& bytes) {
        CContainerDoc doc;
        CMemFile mem(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())), UINT(bytes.size()));
        CArchive ar(&mem, CArchive::load);
        ar.m_pDocument = &doc;
        try {
            doc.COleDocument::Serialize(ar);
        } catch (CArchiveException* e) {
            const int cause = e->m_cause;
            e->Delete();
            return cause;
        }
        return -1;
    };
    // Data that ends before the list: no items.
    EXPECT_EQ(readList(""), -1);
    EXPECT_EQ(readList(Le32(0)), -1);
    // A count the data cannot hold, and a null entry.
    EXPECT_EQ(readList(Le32(0x40000000) + "abcd"), CArchiveException::endOfFile);
    EXPECT_EQ(readList(Le32(1) + Le16(0)), CArchiveException::badIndex);
}

TEST_F(OleDocuments, ADesignWithADamagedItemFailsToOpen)
{
    IStorage* root = nullptr;
    const std::u16string wide = platform::Utf16From1252(static_cast<LPCTSTR>(WinPath("bad.des")));
    ASSERT_EQ(StgCreateDocfile(wide.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &root), S_OK);
    std::string contents = ContentsWithItem("x", OT_EMBEDDED, 1);
    contents[contents.find("COleTestItem") + 12] = 9; // the type becomes 9
    WriteStream(root, u"Contents", contents);
    root->Commit(STGC_DEFAULT);
    root->Release();
    CContainerDoc doc;
    EXPECT_FALSE(doc.OnOpenDocument(WinPath("bad.des")));
}

TEST_F(OleDocuments, AnItemWhoseStorageIsMissingIsEmpty)
{
    IStorage* root = nullptr;
    const std::u16string wide = platform::Utf16From1252(static_cast<LPCTSTR>(WinPath("lost.des")));
    ASSERT_EQ(StgCreateDocfile(wide.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &root), S_OK);
    WriteStream(root, u"Contents", ContentsWithItem("x", OT_EMBEDDED, 3));
    root->Commit(STGC_DEFAULT);
    root->Release();
    CContainerDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(WinPath("lost.des")));
    ASSERT_EQ(doc.m_items.size(), 1u);
    EXPECT_EQ(doc.m_items[0]->GetItemState(), COleClientItem::emptyState);
    SIZE extent;
    EXPECT_FALSE(doc.m_items[0]->GetExtent(&extent));
    // New items never take a number a loaded item has.
    EXPECT_EQ(doc.GetNewItemNumber(), 4u);
}

TEST_F(OleDocuments, ACloneCopiesTheStorageUnderANewNumber)
{
    WriteDesign("c.des", Presentation(CF_METAFILEPICT, DVASPECT_CONTENT, 100, 100, RedSquareMetafile()));
    CContainerDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(WinPath("c.des")));
    auto* clone = new COleTestItem(&doc);
    ASSERT_TRUE(clone->CreateCloneFrom(doc.m_items[0]));
    doc.m_items.push_back(clone);
    EXPECT_EQ(clone->GetItemNumber(), 2u);
    EXPECT_EQ(clone->GetType(), OT_EMBEDDED);
    CLSID clsid;
    clone->GetClassID(&clsid);
    EXPECT_TRUE(IsEqualCLSID(clsid, kObjectClass));

    COleTestItem empty(&doc);
    EXPECT_FALSE(empty.CreateCloneFrom(&empty));
    doc.RemoveItem(&empty);

    ASSERT_TRUE(doc.OnSaveDocument(WinPath("c2.des")));
    const std::string one = ListStorageOfFile(HostPath("c2.des"), u"Embedding 1");
    EXPECT_NE(one.find("ObjInfo/Deep"), std::string::npos);
    EXPECT_EQ(ListStorageOfFile(HostPath("c2.des"), u"Embedding 2"), one);
}

class OleItemDrawing : public OleDocuments {
protected:
    void SetUp() override
    {
        OleDocuments::SetUp();
        m_hdc = CreateCompatibleDC(NULL);
        m_bitmap = CreateBitmap(80, 80, 1, 32, NULL);
        m_old = SelectObject(m_hdc, m_bitmap);
        PatBlt(m_hdc, 0, 0, 80, 80, WHITENESS);
        m_dc.Attach(m_hdc);
    }
    void TearDown() override
    {
        m_dc.Detach();
        SelectObject(m_hdc, m_old);
        DeleteDC(m_hdc);
        DeleteObject(m_bitmap);
        OleDocuments::TearDown();
    }
    COLORREF At(int x, int y) { return GetPixel(m_hdc, x, y); }

    HDC m_hdc = NULL;
    HBITMAP m_bitmap = NULL;
    HGDIOBJ m_old = NULL;
    CDC m_dc;
};

TEST_F(OleItemDrawing, DrawsTheCachedMetafileIntoItsRectangle)
{
    WriteDesign("m.des", Presentation(CF_METAFILEPICT, DVASPECT_CONTENT, 2540, 2540, RedSquareMetafile()));
    CContainerDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(WinPath("m.des")));
    const CRect bounds(10, 20, 60, 70);
    EXPECT_TRUE(doc.m_items[0]->Draw(&m_dc, &bounds));
    EXPECT_EQ(At(10, 20), RGB(255, 0, 0));
    EXPECT_EQ(At(35, 45), RGB(255, 0, 0));
    EXPECT_EQ(At(57, 67), RGB(255, 0, 0));
    EXPECT_EQ(At(9, 45), RGB(255, 255, 255));
    EXPECT_EQ(At(60, 45), RGB(255, 255, 255));
    EXPECT_EQ(At(35, 70), RGB(255, 255, 255));
}

TEST_F(OleItemDrawing, DrawsACachedBitmapStretched)
{
    WriteDesign("b.des", Presentation(CF_DIB, DVASPECT_CONTENT, 500, 300, SolidDib(0, 0, 255)));
    CContainerDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(WinPath("b.des")));
    SIZE extent;
    ASSERT_TRUE(doc.m_items[0]->GetExtent(&extent));
    EXPECT_EQ(extent.cx, 500);
    EXPECT_EQ(extent.cy, 300);
    const CRect bounds(0, 0, 40, 30);
    EXPECT_TRUE(doc.m_items[0]->Draw(&m_dc, &bounds));
    EXPECT_EQ(At(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(At(39, 29), RGB(0, 0, 255));
    EXPECT_EQ(At(40, 10), RGB(255, 255, 255));
}

TEST_F(OleItemDrawing, DrawsACachedEnhancedMetafile)
{
    const std::string emf = testing_support::ReadFileBytes(THREADWICK_TESTDATA_DIR "/emf/src-libemf2svg__test-124.emf");
    if (emf.empty())
        GTEST_SKIP() << "no enhanced metafile in the test data";
    WriteDesign("e.des", Presentation(CF_ENHMETAFILE, DVASPECT_CONTENT, 1000, 1000, emf));
    CContainerDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(WinPath("e.des")));
    const CRect bounds(0, 0, 80, 80);
    EXPECT_TRUE(doc.m_items[0]->Draw(&m_dc, &bounds));
    int ink = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 80; ++x)
            ink += At(x, y) != RGB(255, 255, 255);
    EXPECT_GT(ink, 0);
}

TEST_F(OleItemDrawing, WithoutAPictureDrawsAPlaceholderWithACross)
{
    // The cached picture claims more bytes than the stream has.
    std::string damaged = Presentation(CF_METAFILEPICT, DVASPECT_CONTENT, 100, 100, RedSquareMetafile());
    damaged.resize(damaged.size() - 10);
    WriteDesign("p.des", damaged);
    CContainerDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(WinPath("p.des")));
    SIZE extent;
    EXPECT_FALSE(doc.m_items[0]->GetExtent(&extent));
    const CRect bounds(0, 0, 61, 61);
    EXPECT_FALSE(doc.m_items[0]->Draw(&m_dc, &bounds));
    EXPECT_EQ(At(0, 30), RGB(0, 0, 0));  // frame
    EXPECT_EQ(At(60, 30), RGB(0, 0, 0)); // frame
    EXPECT_EQ(At(10, 10), RGB(0, 0, 0)); // one diagonal
    EXPECT_EQ(At(51, 10), RGB(0, 0, 0)); // the other
    EXPECT_EQ(At(30, 5), RGB(255, 255, 255));
    EXPECT_EQ(At(70, 70), RGB(255, 255, 255));

    // An item with no storage at all draws the same frame.
    PatBlt(m_hdc, 0, 0, 80, 80, WHITENESS);
    COleTestItem bare(&doc);
    EXPECT_FALSE(bare.Draw(&m_dc, &bounds));
    EXPECT_EQ(At(0, 30), RGB(0, 0, 0));
    EXPECT_EQ(At(10, 10), RGB(0, 0, 0));
}

TEST_F(OleItemDrawing, DamagedPicturesNeverCrash)
{
    IStorage* storage = nullptr;
    ASSERT_EQ(StgCreateDocfile(NULL, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE, 0,
                  &storage),
        S_OK);
    CContainerDoc doc;
    COleTestItem item(&doc);
    const CRect bounds(0, 0, 40, 40);
    auto tryPicture = [&](const std::string& bytes) {
        WriteStream(storage, u"\x02" u"OlePres000", bytes);
        item.UseStorage(storage); // forgets what it read before
        SIZE extent;
        item.GetExtent(&extent);
        item.Draw(&m_dc, &bounds);
    };
    std::vector<std::string> pictures = {
        Presentation(CF_METAFILEPICT, DVASPECT_CONTENT, 100, 100, RedSquareMetafile()),
        Presentation(CF_DIB, DVASPECT_CONTENT, 100, 100, SolidDib(1, 2, 3)),
    };
    const std::string emf = testing_support::ReadFileBytes(THREADWICK_TESTDATA_DIR "/emf/src-libemf2svg__test-124.emf");
    if (!emf.empty())
        pictures.push_back(Presentation(CF_ENHMETAFILE, DVASPECT_CONTENT, 100, 100, emf));
    unsigned seed = 12345;
    for (const std::string& good : pictures) {
        for (size_t n = 0; n < good.size(); ++n)
            tryPicture(good.substr(0, n));
        for (int round = 0; round < 300; ++round) {
            std::string bad = good;
            for (int flips = 0; flips < 3; ++flips) {
                seed = seed * 1103515245 + 12345;
                bad[(seed >> 8) % bad.size()] = char(seed >> 20);
            }
            tryPicture(bad);
        }
    }
    // A format named by a string, a huge target device, a huge name.
    tryPicture(Le32(5) + "Name" + std::string(1, '\0') + Le32(4) + std::string(40, '\0'));
    tryPicture(Le32(0xFFFFFFFF) + Le32(CF_DIB) + Le32(0x7FFFFFFF) + std::string(40, '\0'));
    tryPicture(Le32(0x7FFFFFFF) + std::string(40, '\0'));
    storage->Release();
}

TEST_F(OleDocuments, VerbsAndCreationAnswerNotAvailable)
{
    CContainerDoc doc;
    COleTestItem item(&doc);
    platform::headless::PushMessageBoxAnswer(IDOK);
    EXPECT_FALSE(item.DoVerb(OLEIVERB_PRIMARY, NULL));
    ASSERT_EQ(platform::headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(platform::headless::MessageBoxes()[0].text, "This object cannot be opened or edited here.");
    EXPECT_FALSE(COleClientItem::CanPaste());
    EXPECT_FALSE(COleClientItem::CanPasteLink());
    EXPECT_FALSE(item.CreateFromClipboard());
    EXPECT_FALSE(item.CreateFromFile("C:\\x.bmp"));
    EXPECT_FALSE(item.CreateLinkFromFile("C:\\x.bmp"));
    EXPECT_FALSE(item.SetItemRects(NULL, NULL));
}

// A CCmdUI that remembers what the update handler said.
class CRecordingCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn) override
    {
        m_enabled = bOn;
        m_bEnableChanged = TRUE;
    }
    BOOL m_enabled = -1;
};

TEST_F(OleDocuments, ContainerCommandsAreDisabled)
{
    CContainerDoc doc;
    for (UINT id : {ID_EDIT_PASTE_LINK, ID_OLE_INSERT_NEW, ID_OLE_EDIT_LINKS, ID_OLE_EDIT_CONVERT, ID_OLE_VERB_FIRST,
             ID_OLE_VERB_FIRST + 5, ID_OLE_VERB_LAST}) {
        CRecordingCmdUI ui;
        ui.m_nID = id;
        EXPECT_TRUE(doc.OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &ui, NULL)) << id;
        EXPECT_EQ(ui.m_enabled, FALSE) << id;
    }
    // Paste is the program's own command; the document leaves it alone
    // unless the program maps it to OnUpdatePasteMenu.
    CRecordingCmdUI paste;
    paste.m_nID = ID_EDIT_PASTE;
    EXPECT_FALSE(doc.OnCmdMsg(ID_EDIT_PASTE, CN_UPDATE_COMMAND_UI, &paste, NULL));
    doc.OnUpdatePasteMenu(&paste);
    EXPECT_EQ(paste.m_enabled, FALSE);
}

} // namespace

// Feeds untrusted bytes to CArchive's readers: objects of a small class
// hierarchy (with nested objects, lists and back-references), strings,
// counts, arrays and text lines. Any input must end in a clean return or a
// caught CArchiveException/CMemoryException/CFileException, and every object
// the archive made must be accounted for afterwards.
//
// The first byte picks the archive's buffer size and which classes may load;
// the rest is the stream, which holds an operation byte before each read.

#include "platform/base/Archive.h"
#include "platform/base/Arrays.h"
#include "platform/base/Exception.h"
#include "platform/base/MemFile.h"
#include "platform/base/ObArray.h"
#include "platform/base/ObList.h"
#include "platform/base/StringArray.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <vector>

namespace {

// Every fuzz object alive; they point at each other without owning, so this
// set is what frees them after each input.
std::set<CObject*>& Live()
{
    static std::set<CObject*> live;
    return live;
}

class CFuzzShape : public CObject {
    DECLARE_SERIAL(CFuzzShape)
public:
    CFuzzShape() { Live().insert(this); }
    ~CFuzzShape() override { Live().erase(this); }
    void Serialize(CArchive& ar) override
    {
        ar >> m_n >> m_name;
    }
    LONG m_n = 0;
    CString m_name;
};
IMPLEMENT_SERIAL(CFuzzShape, CObject, 1)

class CFuzzBox : public CFuzzShape {
    DECLARE_SERIAL(CFuzzBox)
public:
    void Serialize(CArchive& ar) override
    {
        const UINT nSchema = ar.GetObjectSchema();
        CFuzzShape::Serialize(ar);
        if (nSchema >= 2)
            ar >> m_pInner;
        if (nSchema >= 3)
            ar >> m_dScale;
    }
    CFuzzShape* m_pInner = nullptr;
    double m_dScale = 1.0;
};
IMPLEMENT_SERIAL(CFuzzBox, CFuzzShape, VERSIONABLE_SCHEMA | 3)

class CFuzzGroup : public CFuzzShape {
    DECLARE_SERIAL(CFuzzGroup)
public:
    void Serialize(CArchive& ar) override
    {
        CFuzzShape::Serialize(ar);
        m_items.Serialize(ar);
        m_names.Serialize(ar);
        m_values.Serialize(ar);
        m_more.Serialize(ar);
    }
    CObList m_items;
    CStringArray m_names;
    CDWordArray m_values;
    CObArray m_more;
};
IMPLEMENT_SERIAL(CFuzzGroup, CFuzzShape, 1)

void FreeEverything()
{
    const std::vector<CObject*> objects(Live().begin(), Live().end());
    for (CObject* p : objects)
        delete p;
    if (!Live().empty())
        std::abort();
}

void ReadAll(CArchive& ar)
{
    for (int i = 0; i < 256; ++i) {
        BYTE op = 0;
        ar >> op;
        switch (op % 10) {
        case 0: {
            CObject* p = nullptr;
            ar >> p;
            break;
        }
        case 1: {
            CFuzzShape* p = nullptr;
            ar >> p;
            break;
        }
        case 2: {
            CString text;
            ar >> text;
            break;
        }
        case 3:
            ar.ReadCount();
            break;
        case 4: {
            CObList list;
            list.Serialize(ar);
            break;
        }
        case 5: {
            CString line;
            ar.ReadString(line);
            break;
        }
        case 6: {
            CStringArray strings;
            strings.Serialize(ar);
            break;
        }
        case 7: {
            CWordArray words;
            CByteArray bytes;
            words.Serialize(ar);
            bytes.Serialize(ar);
            break;
        }
        case 8:
            ar.SerializeClass(RUNTIME_CLASS(CFuzzShape));
            break;
        case 9: {
            char raw[64];
            ar.Read(raw, op % sizeof raw);
            break;
        }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 0x100000)
        return 0;
    const BYTE mode = data[0];
    CMemFile file(const_cast<BYTE*>(data + 1), static_cast<UINT>(size - 1));
    {
        CArchive ar(&file, CArchive::load, (mode & 1) ? 128 : 4096);
        // Untrusted input always names the classes it may hold; the library's
        // own serialisable collections would otherwise load objects nobody
        // owns.
        if (mode & 2)
            ar.SetAllowedClasses({RUNTIME_CLASS(CFuzzShape), RUNTIME_CLASS(CFuzzBox)});
        else
            ar.SetAllowedClasses({RUNTIME_CLASS(CFuzzShape), RUNTIME_CLASS(CFuzzBox), RUNTIME_CLASS(CFuzzGroup)});
        try {
            ReadAll(ar);
        } catch (CArchiveException* e) {
            e->Delete();
        } catch (CMemoryException* e) {
            e->Delete();
        } catch (CFileException* e) {
            e->Delete();
        }
    }
    FreeEverything();
    return 0;
}

#include "model/ProjectKinds.h"

namespace {

constexpr CLSID kDocKindIds[kDocKindCount] = {
    {0x707429A1, 0x27C4, 0x11D2, {0x96, 0x99, 0x00, 0xA0, 0xC9, 0x05, 0x34, 0x34}}, // shirt
    {0x707429A2, 0x27C4, 0x11D2, {0x96, 0x99, 0x00, 0xA0, 0xC9, 0x05, 0x34, 0x34}}, // apparel
    {0x707429A3, 0x27C4, 0x11D2, {0x96, 0x99, 0x00, 0xA0, 0xC9, 0x05, 0x34, 0x34}}, // mouse pad
    {0x707429A4, 0x27C4, 0x11D2, {0x96, 0x99, 0x00, 0xA0, 0xC9, 0x05, 0x34, 0x34}}, // calendar
    {0x707429A5, 0x27C4, 0x11D2, {0x96, 0x99, 0x00, 0xA0, 0xC9, 0x05, 0x34, 0x34}}, // label
    {0xBC9B12A1, 0x3834, 0x11D2, {0x96, 0x99, 0x00, 0xA0, 0xC9, 0x05, 0x34, 0x34}}, // general
};

constexpr CLSID kDocKindAltIds[kDocKindCount] = {
    kDocKindIds[0], kDocKindIds[1], kDocKindIds[2], kDocKindIds[3], kDocKindIds[4], kDocKindIds[5],
};

bool IsKnownKind(int nKind)
{
    return nKind >= 0 && nKind < kDocKindCount;
}

} // namespace

DocKindClassIds GetDocKindClassId(int nKind)
{
    if (!IsKnownKind(nKind))
        return {CLSID_NULL, CLSID_NULL};
    return {kDocKindIds[nKind], kDocKindAltIds[nKind]};
}

CLSID GetDocKindAltClassId(int nKind)
{
    return IsKnownKind(nKind) ? kDocKindAltIds[nKind] : CLSID_NULL;
}

BOOL IsDocKindClassId(const DocKindClassIds& pair, REFCLSID clsid)
{
    return IsEqualCLSID(pair.clsid, clsid) || IsEqualCLSID(pair.clsidAlt, clsid);
}

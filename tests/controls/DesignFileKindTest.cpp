#include "controls/DesignFileKind.h"
#include "model/ProjectKinds.h"
#include "platform/base/File.h"
#include "tests/app/StorageTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class DesignFileKindTest : public storage_test::StorageTest {
protected:
    std::string FlatFile(const std::string& bytes)
    {
        const std::string path = NewPath("design.pub");
        testing_support::WriteFileBytes(platform::HostPathForWriting(path, false), bytes);
        return path;
    }
};

std::string Le32(DWORD v)
{
    return std::string {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

TEST_F(DesignFileKindTest, RecognisesFlatFilesBySignature)
{
    const std::string tail(40, 'z');
    struct Case {
        const char* name;
        std::string bytes;
        int kind;
    } cases[] = {
        {"card program v1", "\x01\x02  Wishcraft V1  " + tail, DESIGNFILE_FLAT_V1},
        {"publisher v1", "ab" "Bulletinarium V1" + tail, DESIGNFILE_FLAT_V1},
        {"publisher v2", "ab" "Bulletinarium V2" + tail, DESIGNFILE_FLAT_V2},
        {"publisher v2.0", "ab" "Bulletinarium V2.0", DESIGNFILE_FLAT_V2},
        {"publisher v3.0", Le32(5) + "123456" + Le32(0xDEADBEEF) + "Bulletinarium V3.0", DESIGNFILE_FLAT_V3},
        {"v3.0 with a long lead block", Le32(1000) + std::string(1001, '\0') + Le32(0) + "Bulletinarium V3.0" + tail,
            DESIGNFILE_FLAT_V3},
        {"v3.0 cut short", Le32(5) + "123456" + Le32(0) + "Bulletinarium V3.", DESIGNFILE_UNKNOWN},
        {"v3.0 signature one byte off", Le32(4) + "123456" + Le32(0) + "Bulletinarium V3.0", DESIGNFILE_UNKNOWN},
        {"count past the end", Le32(0xFFFFFFFF) + "Bulletinarium V3.0" + tail, DESIGNFILE_UNKNOWN},
        {"count near 2 GB", Le32(0x7FFFFFF0) + tail, DESIGNFILE_UNKNOWN},
        {"signature at the start instead", "Bulletinarium V1" + tail, DESIGNFILE_UNKNOWN},
        {"text file", "Hello, world\n", DESIGNFILE_UNKNOWN},
        {"empty file", "", DESIGNFILE_UNKNOWN},
        {"three bytes", "abc", DESIGNFILE_UNKNOWN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = FlatFile(c.bytes);
        int kind = 99;
        EXPECT_EQ(GetDesignFileKind(path.c_str(), &kind), S_OK);
        EXPECT_EQ(kind, c.kind);
        EXPECT_EQ(IsDesignStorageFile(path.c_str()), S_FALSE);
    }
}

TEST_F(DesignFileKindTest, RecognisesDesignsOfEveryProjectKind)
{
    for (int nKind = 0; nKind < kDocKindCount; ++nKind) {
        SCOPED_TRACE(nKind);
        const std::string path = NewPath("design.shr");
        storage_test::WriteCompoundFile(path, GetDocKindClassId(nKind).clsid, {{"Contents", "x"}});
        EXPECT_EQ(IsDesignStorageFile(path.c_str()), S_OK);
        EXPECT_EQ(IsAltDesignStorageFile(path.c_str()), S_OK);
        int kind = -1;
        EXPECT_EQ(GetDesignFileKind(path.c_str(), &kind), S_OK);
        EXPECT_EQ(kind, DESIGNFILE_DESIGN);
    }
}

TEST_F(DesignFileKindTest, CompoundFileOfAnotherClassIsRefused)
{
    const CLSID other = {0x00020820, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    for (REFCLSID clsid : {other, CLSID_NULL}) {
        const std::string path = NewPath("sheet.xls");
        storage_test::WriteCompoundFile(path, clsid, {{"Workbook", "x"}});
        EXPECT_EQ(IsDesignStorageFile(path.c_str()), HRESULT(-1));
        EXPECT_EQ(IsAltDesignStorageFile(path.c_str()), HRESULT(-1));
        int kind = 99;
        EXPECT_EQ(GetDesignFileKind(path.c_str(), &kind), STG_E_SHAREVIOLATION);
        EXPECT_EQ(kind, DESIGNFILE_UNKNOWN);
    }
}

TEST_F(DesignFileKindTest, MissingFileIsNoKind)
{
    const std::string path = NewPath("gone.shr");
    EXPECT_EQ(IsDesignStorageFile(path.c_str()), STG_E_FILENOTFOUND);
    int kind = 99;
    EXPECT_NE(GetDesignFileKind(path.c_str(), &kind), S_OK);
    EXPECT_EQ(kind, DESIGNFILE_UNKNOWN);
}

TEST_F(DesignFileKindTest, FlatFileHeldElsewhereIsNotRecognised)
{
    // Another program holds the file exclusively: no kind, and a result that
    // says it could not be tested, so that callers do not take it as unknown.
    const std::string path = FlatFile("ab" "Bulletinarium V2" + std::string(20, 'z'));
    CFile holder(path.c_str(), CFile::modeRead | CFile::shareExclusive);
    int kind = 99;
    EXPECT_NE(GetDesignFileKind(path.c_str(), &kind), S_OK);
    EXPECT_EQ(kind, DESIGNFILE_UNKNOWN);
}

TEST(UnitConversion, RoundsToTheNearestUnitTowardZero)
{
    struct Case {
        int value, centimeters, inches;
    } cases[] = {
        // value as inches -> cm, value as cm -> inches
        {10, 25, 4},
        {25, 64, 10},
        {0, 0, 0},
        {1, 3, 0},
        {2, 5, 1},
        {850, 2159, 335},
        {-10, -24, -3},
        {2147483647, 2147483647, 845466003},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(InchesToCentimeters(c.value), c.centimeters);
        EXPECT_EQ(CentimetersToInches(c.value), c.inches);
    }
    SIZE size = {850, 1100};
    ConvertSizeToCentimeters(size);
    EXPECT_EQ(size.cx, 2159);
    EXPECT_EQ(size.cy, 2794);
    ConvertSizeToInches(size);
    EXPECT_EQ(size.cx, 850);
    EXPECT_EQ(size.cy, 1100);
}

} // namespace

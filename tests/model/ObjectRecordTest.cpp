// The drawing objects' records in the design file: exact sizes of default
// records, round trips of every shape kind, polygons and calendars, the
// version gates of older files and damaged records.

#include "tests/model/ModelTestSupport.h"

#include "calendar/DayCellObj.h"
#include "app/Paths.h"
#include "model/DesignArchive.h"
#include "model/DrawPoly.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/MemFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <string>

namespace {

using modeltest::MakeDoc;

// Bytes written by fn into a memory archive belonging to pDoc (or none).
std::string Store(CDocument* pDoc, const std::function<void(CArchive&)>& fn)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar.m_pDocument = pDoc;
        fn(ar);
        ar.Close();
    }
    const DWORD nLength = file.GetLength();
    BYTE* pBytes = file.Detach();
    std::string out(reinterpret_cast<const char*>(pBytes), nLength);
    free(pBytes);
    return out;
}

void Load(CDocument* pDoc, const std::string& bytes, const std::function<void(CArchive&)>& fn)
{
    std::string copy = bytes;
    CMemFile file(reinterpret_cast<BYTE*>(copy.data()), static_cast<UINT>(copy.size()));
    CArchive ar(&file, CArchive::load);
    ar.m_pDocument = pDoc;
    fn(ar);
}

std::string StoreObject(CDrawObj& obj, CDocument* pDoc = nullptr)
{
    return Store(pDoc, [&](CArchive& ar) { obj.Serialize(ar); });
}

// A little-endian stream built by hand, as an older writer left it.
class Stream {
public:
    Stream& W(WORD w) { return Put(&w, 2); }
    Stream& D(DWORD d) { return Put(&d, 4); }
    Stream& F(double d) { return Put(&d, 8); }
    Stream& R(int l, int t, int r, int b) { return D(DWORD(l)).D(DWORD(t)).D(DWORD(r)).D(DWORD(b)); }
    const std::string& Bytes() const { return m_bytes; }

private:
    Stream& Put(const void* p, size_t n)
    {
        m_bytes.append(static_cast<const char*>(p), n);
        return *this;
    }
    std::string m_bytes;
};

// The base record of a plain object as a file of the version wrote it,
// with 32-bit pens and brushes, no picture and no text.
Stream OldBase(LONG nVersion, BOOL bBlockTextWord = TRUE)
{
    Stream s;
    s.R(10, 200, 300, 20);
    if (nVersion >= 15)
        s.R(11, 201, 301, 21);
    if (nVersion >= 11)
        s.R(12, 202, 302, 22);
    s.W(0).W(0x0100).W(3);
    if (nVersion >= 21)
        s.D(1).D(0);
    if (nVersion >= 26)
        s.F(0.1).F(0.2).F(0.5).F(0.6).F(1).F(2).F(3).F(4);
    s.D(1).D(PS_DASH).D(3).D(0).D(0x0000FF);
    s.D(1).D(BS_HATCHED).D(0x00FF00).D(2);
    s.D(0xFFFFFFFF);
    s.W(0);
    if (nVersion < 23) {
        if (bBlockTextWord)
            s.W(0);
    } else {
        s.W(0).W(1).W(0);
    }
    if (nVersion >= 14)
        s.W(0x0042);
    if (nVersion >= 18)
        s.W(0x0007);
    return s;
}

class ObjectRecordTest : public modeltest::ModelTest {
protected:
    void SetUp() override
    {
        modeltest::ModelTest::SetUp();
        m_pDoc = MakeDoc<CDrawDoc>();
    }
    // Reads bytes as a file of the version would hold them.
    template <class Obj>
    void LoadAs(Obj& obj, LONG nVersion, const std::string& bytes, BOOL bNative = TRUE)
    {
        m_pDoc->m_nFileVersion = nVersion;
        m_pDoc->m_bNativeRecord = bNative;
        Load(m_pDoc.get(), bytes, [&](CArchive& ar) { obj.Serialize(ar); });
        m_pDoc->m_nFileVersion = 29;
        m_pDoc->m_bNativeRecord = TRUE;
    }
    std::unique_ptr<CDrawDoc> m_pDoc;
};

TEST_F(ObjectRecordTest, DefaultRecordsHaveTheirExactSizes)
{
    CDrawObj obj(CRect(0, 100, 100, 0));
    EXPECT_EQ(StoreObject(obj).size(), 178u);
    CDrawRect rect(CRect(0, 100, 100, 0));
    EXPECT_EQ(StoreObject(rect).size(), 290u);
    // A wrapped-text object without text ends its text part with the mode,
    // the wrap flag and "no text", then the two flag words.
    obj.m_bBlockText = FALSE;
    obj.m_bWrapFlag = TRUE;
    obj.m_wTextFlags = 0x1234;
    const std::string bytes = StoreObject(obj);
    EXPECT_EQ(bytes.substr(bytes.size() - 10), std::string("\0\0\1\0\0\0\x34\x12\0\0", 10));
}

TEST_F(ObjectRecordTest, EveryShapeKindRoundTripsAndStoresTheSameBytesAgain)
{
    for (int nKind = 0; nKind < SHAPE_KIND_COUNT; ++nKind) {
        CDrawRect source(CRect(-50, 400, 250, -20), nKind);
        source.m_nSides = 7;
        source.m_sizePair = CSize(40, 60);
        source.SetAngle(30.0 + nKind);
        source.m_bFill = TRUE;
        source.m_logbrush = LOGBRUSH{BS_SOLID, RGB(1, 2, 3), 0};
        source.m_logpen = LOGPEN{PS_INSIDEFRAME, POINT{10, 0}, RGB(4, 5, 6)};
        source.m_fill.m_nKind = nKind % 3;
        source.m_fill.m_wMode = 3;
        source.m_fill.m_nAmount = 77;
        source.m_fill.m_crThird = RGB(9, 8, 7);
        source.m_fill2.m_crSecond = RGB(6, 5, 4);
        source.m_wFlags |= 0x0100;
        source.m_bFlipX = TRUE;
        source.m_dCropWidth = 0.25;
        const std::string bytes = StoreObject(source);

        CDrawRect copy;
        LoadAs(copy, 29, bytes);
        EXPECT_EQ(copy.m_nShape, nKind);
        EXPECT_EQ(copy.m_position, source.m_position);
        EXPECT_EQ(copy.m_rectUnrotated, source.m_rectUnrotated);
        EXPECT_EQ(copy.m_nSides, 7);
        EXPECT_EQ(copy.m_sizePair, CSize(40, 60));
        // A line is never turned.
        const int nAngle = nKind == SHAPE_LINE ? 0 : 30 + nKind;
        EXPECT_EQ(copy.m_nRotation, nAngle);
        EXPECT_DOUBLE_EQ(copy.m_dAngle, nAngle);
        EXPECT_TRUE(copy.m_fill == source.m_fill);
        EXPECT_TRUE(copy.m_fill2 == source.m_fill2);
        EXPECT_EQ(copy.m_logpen.lopnWidth.x, 10);
        EXPECT_EQ(copy.m_logbrush.lbColor, RGB(1, 2, 3));
        EXPECT_TRUE(copy.m_bFlipX);
        EXPECT_DOUBLE_EQ(copy.m_dCropWidth, 0.25);
        EXPECT_EQ(copy.m_wFlags, WORD(source.m_wFlags | OBJ_FLAG_LOADED));
        EXPECT_EQ(StoreObject(copy), bytes) << "kind " << nKind;
    }
}

TEST_F(ObjectRecordTest, RotationsRoundHalfAwayAndTurnsToTheLeftComeBackTheSame)
{
    struct Case {
        double dStored;
        int nRead;
    };
    for (const Case c : {Case{359.5, 360}, Case{0.4, 0}, Case{360.0, 360}, Case{-30.0, 330}, Case{-360.0, 360}}) {
        CDrawRect source(CRect(0, 100, 100, 0));
        source.m_dAngle = c.dStored;
        CDrawRect copy;
        LoadAs(copy, 29, StoreObject(source));
        EXPECT_EQ(copy.m_nRotation, c.nRead) << c.dStored;
    }
    // Older writers left a turn to the left as its 16-bit complement.
    CDrawRect source(CRect(0, 100, 100, 0));
    std::string bytes = StoreObject(source);
    const size_t nRotation = 178 + 2 + 8 + 2;
    const WORD wLeft = WORD(65536 - 45);
    std::memcpy(&bytes[nRotation], &wLeft, 2);
    CDrawRect copy;
    LoadAs(copy, 29, bytes);
    EXPECT_EQ(copy.m_nRotation, -45);
}

TEST_F(ObjectRecordTest, OldBaseRecordsFillWhatTheyLackWithDefaults)
{
    // Version 14: no unrotated rectangle, no flips or crop, the text flags
    // but not the extra flags.
    CDrawObj v14;
    LoadAs(v14, 14, OldBase(14).Bytes());
    EXPECT_EQ(v14.m_rectUnrotated, v14.m_position);
    EXPECT_EQ(v14.m_rectUncropped, CRect(12, 202, 302, 22));
    EXPECT_FALSE(v14.m_bFlipX);
    EXPECT_DOUBLE_EQ(v14.m_dCropWidth, 1.0);
    EXPECT_EQ(v14.m_wTextFlags, 0x0042);
    EXPECT_EQ(v14.m_wExtraFlags, 0);
    EXPECT_EQ(v14.m_wFlags, 0x0101);
    EXPECT_EQ(v14.m_wObjectWord, 3);
    EXPECT_EQ(v14.m_logpen.lopnStyle, UINT(PS_DASH));
    EXPECT_EQ(v14.m_logbrush.lbHatch, 2u);
    EXPECT_EQ(v14.m_nContentWord, -1);

    // Version 10: not even the uncropped rectangle; it takes the position.
    CDrawObj v10;
    LoadAs(v10, 10, OldBase(10).Bytes());
    EXPECT_EQ(v10.m_rectUncropped, v10.m_position);

    // Version 22 with no block text: nothing more is read for the text.
    CDrawObj v22;
    LoadAs(v22, 22, OldBase(22).Bytes());
    EXPECT_FALSE(v22.m_bBlockText);
    EXPECT_EQ(v22.m_wTextFlags, 0x0042);
    EXPECT_EQ(v22.m_wExtraFlags, 7);
    EXPECT_TRUE(v22.m_bFlipX);

    // Version 26 reads the crop.
    CDrawObj v26;
    LoadAs(v26, 26, OldBase(26).Bytes());
    EXPECT_DOUBLE_EQ(v26.m_dCropLeft, 0.1);
    EXPECT_DOUBLE_EQ(v26.m_dBaseHeight, 4.0);
}

TEST_F(ObjectRecordTest, SixteenBitPensAndBrushesAreWidenedAndWrittenBackWide)
{
    Stream s;
    s.R(0, 100, 100, 0).R(0, 100, 100, 0).R(0, 100, 100, 0).W(0).W(0).W(0).D(0).D(0);
    s.F(0).F(0).F(1).F(1).F(0).F(0).F(0).F(0);
    // Pen: style u16, width two i16, colour u32; brush: style u16, colour
    // u32, hatch i16.
    s.D(1).W(PS_DOT).W(WORD(-2)).W(0).D(0x123456);
    s.D(1).W(BS_HATCHED).D(0x00FF00).W(3);
    s.D(0).W(0).W(0).W(1).W(0).W(0).W(0);
    CDrawObj obj;
    LoadAs(obj, 29, s.Bytes(), FALSE);
    EXPECT_EQ(obj.m_logpen.lopnStyle, UINT(PS_DOT));
    EXPECT_EQ(obj.m_logpen.lopnWidth.x, -2);
    EXPECT_EQ(obj.m_logpen.lopnColor, 0x123456u);
    EXPECT_EQ(obj.m_logbrush.lbStyle, UINT(BS_HATCHED));
    EXPECT_EQ(obj.m_logbrush.lbHatch, 3u);
    EXPECT_EQ(StoreObject(obj).size(), 178u);
}

TEST_F(ObjectRecordTest, OldRectangleRecordsConvertKindsFillsAndCalendarKinds)
{
    // Before version 19 kind 3 was the regular polygon and 4 the line;
    // before 17 only the first fill was kept, and in part.
    for (const auto& [wStored, nLoaded] : {std::pair<WORD, int>{3, SHAPE_REGULAR_POLYGON}, {4, SHAPE_LINE}, {2, 2}}) {
        Stream s = OldBase(16);
        s.W(wStored).D(1).D(2).W(5).W(90);
        s.W(1).D(50).D(0x111111).D(0x222222); // fill 1, kind to last value only
        s.D(2460436).D(0);
        s.W(0).W(1).W(0).W(6).W(0); // five calendar words; kind 1 read as 2
        CDrawRect obj;
        LoadAs(obj, 16, s.Bytes());
        EXPECT_EQ(obj.m_nShape, nLoaded);
        EXPECT_EQ(obj.m_nRotation, 90);
        EXPECT_EQ(obj.m_fill.m_nKind, 1);
        EXPECT_EQ(obj.m_fill.m_crFirst, 0x111111u);
        EXPECT_EQ(obj.m_fill.m_crFourth, 0x222222u);
        EXPECT_EQ(obj.m_fill.m_crSecond, CFillInfo().m_crSecond);
        EXPECT_TRUE(obj.m_fill2 == CFillInfo());
        EXPECT_EQ(obj.m_nCalendarWords[1], CALENDAR_MONTH);
        EXPECT_TRUE(obj.IsCalendar());
    }
    // Version 11 reads no calendar words; from 19 on kinds load unchanged.
    Stream s = OldBase(11);
    s.W(3).D(1).D(2).W(5).W(0).W(0).D(0).D(0).D(0).D(0).D(0);
    CDrawRect v11;
    LoadAs(v11, 11, s.Bytes());
    EXPECT_EQ(v11.m_nShape, SHAPE_REGULAR_POLYGON);
    EXPECT_EQ(v11.m_nCalendarWords[1], CDrawRect().m_nCalendarWords[1]);
}

TEST_F(ObjectRecordTest, CalendarsKeepTheirFieldsAndCells)
{
    CDrawRect source(CRect(0, 800, 1000, 0));
    source.m_nCalendarStart = 2460436;
    source.m_nCalendarWords[1] = CALENDAR_MONTH;
    source.m_nCalendarWords[3] = 7;
    source.m_strCalendarFace = "Courier New";
    source.m_nCalendarOptions[0] = 4;
    source.m_nCalendarOptions[2] = 9;
    source.m_wCalendarValues[1] = 12;
    source.SetCellText(CALENDAR_MONTH, 15, "Dentist");
    source.SetCellText(CALENDAR_MONTH, 1, "Rent");
    source.SetCellText(CALENDAR_WEEK, 3, "Swim");
    source.SetCellText(CALENDAR_DAY, 9, "Meeting");
    const std::string bytes = StoreObject(source);

    CDrawRect copy;
    copy.SetCellText(CALENDAR_MONTH, 2, "stale");
    LoadAs(copy, 29, bytes);
    EXPECT_TRUE(copy.IsCalendar());
    EXPECT_EQ(copy.m_nCalendarWords[3], 7);
    EXPECT_STREQ(copy.m_strCalendarFace, "Courier New");
    EXPECT_EQ(copy.m_nCalendarOptions[0], 4);
    EXPECT_EQ(copy.m_nCalendarOptions[2], 9);
    EXPECT_EQ(copy.m_wCalendarValues[1], 12);
    EXPECT_STREQ(copy.GetCellText(CALENDAR_MONTH, 15), "Dentist");
    EXPECT_STREQ(copy.GetCellText(CALENDAR_MONTH, 1), "Rent");
    EXPECT_STREQ(copy.GetCellText(CALENDAR_MONTH, 2), "");
    EXPECT_STREQ(copy.GetCellText(CALENDAR_WEEK, 3), "Swim");
    EXPECT_STREQ(copy.GetCellText(CALENDAR_DAY, 9), "Meeting");
    EXPECT_EQ(StoreObject(copy), bytes);
}

TEST_F(ObjectRecordTest, PolygonsKeepTheirPointsAndAtLeastTheirCountOfRoom)
{
    CDrawPoly source(CRect(0, 0, 0, 0));
    for (int i = 0; i < 13; ++i)
        source.AddPoint(CPoint(i * 10, (i % 3) * 40 - 70));
    const std::string bytes = StoreObject(source);
    CDrawPoly copy;
    LoadAs(copy, 29, bytes);
    ASSERT_EQ(copy.GetPointCount(), 13);
    EXPECT_EQ(copy.GetCapacity(), 20);
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(CPoint(copy.GetPoints()[i]), CPoint(source.GetPoints()[i]));
    EXPECT_EQ(copy.m_position, source.m_position);
    EXPECT_EQ(StoreObject(copy), bytes);

    // A stored capacity below the count still makes room for every point.
    std::string small = bytes;
    const WORD wCapacity = 2;
    std::memcpy(&small[178 + 2], &wCapacity, 2);
    CDrawPoly fitted;
    LoadAs(fitted, 29, small);
    EXPECT_EQ(fitted.GetCapacity(), 13);
    EXPECT_EQ(fitted.GetPoints()[12].x, 120);
}

TEST_F(ObjectRecordTest, RecordsCutShortRaiseTheArchiveErrorWithoutALeak)
{
    CDrawRect calendar(CRect(0, 800, 1000, 0));
    calendar.m_nCalendarStart = 2460436;
    calendar.SetCellText(CALENDAR_MONTH, 4, "Party");
    CDrawPoly poly(CRect(0, 0, 0, 0));
    for (int i = 0; i < 5; ++i)
        poly.AddPoint(CPoint(i * 7, i * i));
    for (CDrawObj* pSource : {static_cast<CDrawObj*>(&calendar), static_cast<CDrawObj*>(&poly)}) {
        const std::string bytes = StoreObject(*pSource);
        for (size_t n = 0; n < bytes.size(); n += 7) {
            std::unique_ptr<CDrawObj> pCopy(static_cast<CDrawObj*>(pSource->GetRuntimeClass()->CreateObject()));
            bool bThrown = false;
            try {
                LoadAs(*pCopy, 29, bytes.substr(0, n));
            } catch (CArchiveException* e) {
                e->Delete();
                bThrown = true;
            }
            EXPECT_TRUE(bThrown) << n;
            m_pDoc->m_nFileVersion = 29;
        }
    }
}

} // namespace

namespace {

TEST_F(ObjectRecordTest, CoordinatesFromADamagedFileAreBroughtIntoTheDesignsRange)
{
    CDrawRect source(CRect(0, 100, 100, 0));
    std::string bytes = StoreObject(source);
    const LONG extreme[4] = {INT_MIN, INT_MAX, INT_MAX, INT_MIN};
    std::memcpy(&bytes[0], extreme, sizeof(extreme));
    CDrawRect copy;
    LoadAs(copy, 29, bytes);
    EXPECT_EQ(copy.m_position, CRect(-kMaxDesignCoordinate, kMaxDesignCoordinate, kMaxDesignCoordinate,
                                   -kMaxDesignCoordinate));
    // The centre of the widest rectangle is still its centre.
    EXPECT_EQ(GetRectCenter(INT_MIN, INT_MAX, INT_MAX, INT_MIN), CPoint(-1, 0));
    EXPECT_EQ(GetRectCenter(-3, 10, 8, 0), CPoint(2, 5));
}

} // namespace

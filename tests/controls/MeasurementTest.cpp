// Measurement fields: the strict parse of decimal and whole-number sizes as
// tables, their printing, and the exchange with a dialog's edit fields
// through real messages (one message box per bad entry, the value kept, the
// focus on the field).

#include "controls/Measurement.h"

#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/framework/DataExchange.h"
#include "platform/framework/Dialog.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/Resources.h"
#include "resources/resource.h"
#include "tests/framework/FrameworkTestSupport.h"

#include <string>

namespace {

constexpr UINT kInvalid = IDS_INVALID_MEASUREMENT;
constexpr UINT kDecimals = IDS_TWO_DECIMALS_ONLY;
constexpr UINT kWholeOnly = IDS_WHOLE_NUMBERS_ONLY;
constexpr DWORD kUntouched = 777;

struct ParseCase {
    const char* text;
    UINT message; // 0: accepted
    DWORD value;  // the value stored when accepted
};

TEST(MeasurementText, DecimalEntriesParseStrictly)
{
    const ParseCase cases[] = {
        {"12.5", 0, 1250},
        {"12.05", 0, 1205},
        {"12.", 0, 1200},
        {".5", 0, 50},
        {"  7", 0, 700},
        {"", 0, 0},
        {"   ", 0, 0},
        {"12 34", 0, 1234},
        {"12.34  ", 0, 1234},
        {"0.99", 0, 99},
        {"42949672", 0, 4294967200u},
        {"42949672.94", 0, 4294967294u},
        {"12.345", kDecimals, 0},
        {"12a", kInvalid, 0},
        {"1.2.3", kInvalid, 0},
        {"123456789", kInvalid, 0},
        {"12.3 4", kInvalid, 0},
        {"-5", kInvalid, 0},
        {"4294967296", kInvalid, 0},
        {"42949673", kInvalid, 0},
        // All bits set means "unknown", so the entry that would store it is refused.
        {"42949672.95", kInvalid, 0},
        {"42949672.99", kInvalid, 0},
    };
    for (const ParseCase& c : cases) {
        DWORD value = kUntouched;
        EXPECT_EQ(c.message, ParseMeasurementText(c.text, value)) << '"' << c.text << '"';
        EXPECT_EQ(c.message == 0 ? c.value : kUntouched, value) << '"' << c.text << '"';
    }
}

TEST(MeasurementText, DecimalFormReadsNineteenCharacters)
{
    // The twentieth character is not looked at, so the third decimal is
    // never seen.
    DWORD value = kUntouched;
    EXPECT_EQ(0u, ParseMeasurementText("                1.2345", value));
    EXPECT_EQ(120u, value);
}

TEST(MeasurementText, WholeEntriesAreCarriedThroughTheOtherUnit)
{
    const ParseCase cases[] = {
        {"0", 0, 0},
        {"1", 0, 10},
        {"2", 0, 20},
        {"12", 0, 119},
        {"  +25", 0, 249},
        {"7 feet", 0, 71},
        {"feet", 0, 0},
        {"-0", 0, 0},
        {"3.0", kWholeOnly, 0},
        {".", kWholeOnly, 0},
        {"-5", kInvalid, 0},
        {"4294967296", kInvalid, 0},
        {"429496730", kInvalid, 0},
        {"99999999999999999999", kInvalid, 0},
    };
    for (const ParseCase& c : cases) {
        DWORD value = kUntouched;
        EXPECT_EQ(c.message, ParseWholeMeasurementText(c.text, value)) << '"' << c.text << '"';
        EXPECT_EQ(c.message == 0 ? c.value : kUntouched, value) << '"' << c.text << '"';
    }
}

TEST(MeasurementText, WholeFormReadsTwentyCharacters)
{
    // Twenty digits are read; the twenty-first would make the number ten times larger.
    DWORD value = kUntouched;
    EXPECT_EQ(0u, ParseWholeMeasurementText("000000000000000000015", value));
    EXPECT_EQ(10u, value);
}

TEST(MeasurementText, LargestWholeEntryStaysBelowUnknown)
{
    DWORD value = kUntouched;
    ASSERT_EQ(0u, ParseWholeMeasurementText("429496729", value));
    EXPECT_LT(value, kUnknownMeasurement);
    EXPECT_EQ(429496729u, RoundTenths(value));
}

TEST(MeasurementText, RoundsAndPrints)
{
    EXPECT_EQ(2u, RoundTenths(15));
    EXPECT_EQ(1u, RoundTenths(14));
    EXPECT_EQ(0u, RoundTenths(4));
    EXPECT_EQ(1u, RoundTenths(5));
    EXPECT_EQ(429496729u, RoundTenths(4294967295u - 1));
    EXPECT_STREQ("12.34", FormatMeasurement(1234));
    EXPECT_STREQ("0.05", FormatMeasurement(5));
    EXPECT_STREQ("0.00", FormatMeasurement(0));
    EXPECT_STREQ("42949672.94", FormatMeasurement(4294967294u));
    EXPECT_STREQ("2", FormatWholeMeasurement(15));
    EXPECT_STREQ("12", FormatWholeMeasurement(119));
}

// A dialog with a decimal field 100 and a whole-number field 101.
constexpr UINT kMeasureDialog = 30620;
constexpr int kDecimalEdit = 100;
constexpr int kWholeEdit = 101;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
const platform::DialogItemTemplate kItems[] = {
    {kChild, 0, 0, 10, 10, 80, 12, kDecimalEdit, "EDIT", "", 0},
    {kChild, 0, 0, 10, 30, 80, 12, kWholeEdit, "EDIT", "", 0},
    {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 10, 50, 40, 14, IDOK, "BUTTON", "OK", 0},
};
const platform::DialogTemplate kTemplate = {false, WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_SETFONT, 0, 0, 0, 0, 120,
    80, "Size", nullptr, 0, "", 8, 400, 0, 0, "MS Sans Serif", kItems, 3};
const platform::ResourceEntry kEntries[] = {
    {nullptr, 5, nullptr, WORD(kMeasureDialog), &kTemplate, DWORD(sizeof kTemplate)},
};
const platform::ResourceTable kTable{kEntries, 1, nullptr, 0};

class CSizeDialog : public CDialog {
public:
    CSizeDialog()
        : CDialog(kMeasureDialog)
    {
    }
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Measurement(pDX, kDecimalEdit, m_dwHundredths);
        DDX_WholeMeasurement(pDX, kWholeEdit, m_dwTenths);
    }
    DWORD m_dwHundredths = 1234;
    DWORD m_dwTenths = 119;
};

class MeasurementDialogTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        MakeApp();
        threadwick::RegisterResources();
        platform::RegisterResourceModule(platform::ResourceModule::Program, kTable);
        ASSERT_TRUE(m_dlg.Create(kMeasureDialog));
    }
    void TearDown() override
    {
        m_dlg.DestroyWindow();
        FrameworkTest::TearDown();
    }
    std::string Text(int nID)
    {
        char buffer[64] = {};
        m_dlg.GetDlgItemText(nID, buffer, int(sizeof buffer));
        return buffer;
    }
    size_t Boxes() const { return platform::headless::MessageBoxes().size(); }

    CSizeDialog m_dlg;
};

TEST_F(MeasurementDialogTest, LoadingPrintsKnownValuesAndKeepsTextForUnknown)
{
    EXPECT_EQ("12.34", Text(kDecimalEdit));
    EXPECT_EQ("12", Text(kWholeEdit));

    m_dlg.SetDlgItemText(kDecimalEdit, "typed");
    m_dlg.SetDlgItemText(kWholeEdit, "typed too");
    m_dlg.m_dwHundredths = kUnknownMeasurement;
    m_dlg.m_dwTenths = kUnknownMeasurement;
    ASSERT_TRUE(m_dlg.UpdateData(FALSE));
    EXPECT_EQ("typed", Text(kDecimalEdit));
    EXPECT_EQ("typed too", Text(kWholeEdit));
}

TEST_F(MeasurementDialogTest, SavingStoresParsedValues)
{
    m_dlg.SetDlgItemText(kDecimalEdit, " 3.5");
    m_dlg.SetDlgItemText(kWholeEdit, "2");
    ASSERT_TRUE(m_dlg.UpdateData(TRUE));
    EXPECT_EQ(350u, m_dlg.m_dwHundredths);
    EXPECT_EQ(20u, m_dlg.m_dwTenths);
    EXPECT_EQ(0u, Boxes());
}

TEST_F(MeasurementDialogTest, BadEntriesShowOneMessageAndKeepTheValue)
{
    struct Entry {
        int field;
        const char* text;
        const char* message;
    };
    const Entry entries[] = {
        {kDecimalEdit, "-5", "Invalid measurement!"},
        {kDecimalEdit, "4294967296", "Invalid measurement!"},
        {kDecimalEdit, "42949672.95", "Invalid measurement!"},
        {kDecimalEdit, "12.345", "Please enter no more than 2 decimal places."},
        {kWholeEdit, "-5", "Invalid measurement!"},
        {kWholeEdit, "4294967296", "Invalid measurement!"},
        {kWholeEdit, "3.0", "Please enter only whole numbers."},
    };
    for (const Entry& e : entries) {
        m_dlg.SetDlgItemText(kDecimalEdit, "1");
        m_dlg.SetDlgItemText(kWholeEdit, "1");
        m_dlg.SetDlgItemText(e.field, e.text);
        m_dlg.m_dwHundredths = 1234;
        m_dlg.m_dwTenths = 119;
        size_t before = Boxes();
        EXPECT_FALSE(m_dlg.UpdateData(TRUE)) << e.text;
        ASSERT_EQ(before + 1, Boxes()) << e.text;
        const auto& box = platform::headless::MessageBoxes().back();
        EXPECT_EQ(e.message, box.text) << e.text;
        EXPECT_EQ(UINT(MB_OK), box.type & 0x0F) << e.text;
        // The decimal field comes first, so a bad whole entry still saves it.
        EXPECT_EQ(e.field == kDecimalEdit ? 1234u : 100u, m_dlg.m_dwHundredths) << e.text;
        EXPECT_EQ(119u, m_dlg.m_dwTenths) << e.text;
        EXPECT_EQ(::GetDlgItem(m_dlg.m_hWnd, e.field), ::GetFocus()) << e.text;
    }
}

} // namespace

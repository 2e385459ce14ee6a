// A few strings of the program's own table, as the program loads them.

#include "platform/base/AfxResourceIds.h"
#include "platform/base/Resources.h"
#include "platform/base/String.h"
#include "resources/Resources.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

namespace {

class StringTableTest : public testing::Test {
protected:
    void SetUp() override { threadwick::RegisterResources(); }

    static CString Load(UINT id)
    {
        CString s;
        EXPECT_TRUE(s.LoadString(id)) << id;
        return s;
    }
};

TEST_F(StringTableTest, HoldsTheFilterStrings)
{
    EXPECT_EQ(Load(145), "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||");
    CString pictures = Load(194) + Load(195) + Load(196);
    EXPECT_EQ(pictures.Left(31), "All Picture files|*.bmp;*.dib;*");
    EXPECT_NE(pictures.Find("|PNG - Portable Network Graphics file|*.png|PSD - PhotoShop 3.0|*.psd|RAS - "), -1);
    EXPECT_EQ(pictures.Right(32), "WPG - Wordperfect Bitmap|*.wpg||");
    EXPECT_NE(pictures.Find("(non-LZW)"), -1);
}

TEST_F(StringTableTest, HoldsNamesTheProgramBuildsKeysFrom)
{
    EXPECT_EQ(Load(16000), "KQ Threadwick; inst running");
    EXPECT_EQ(Load(57346), "Velmora Technology\\Threadwick");
    EXPECT_EQ(Load(AFX_IDS_APP_TITLE), "Threadwick");
    EXPECT_EQ(Load(105), "Pictures\\");
    EXPECT_EQ(Load(7010), "|Front|Back|");
}

TEST_F(StringTableTest, DocumentStringsGiveTheTemplateSubstrings)
{
    CString ext;
    EXPECT_TRUE(platform::GetDocString(Load(IDR_CALENDARTYPE), 4, ext));
    EXPECT_EQ(ext, ".clr");
    CString typeName;
    EXPECT_TRUE(platform::GetDocString(Load(IDR_DESIGNTYPE), 6, typeName));
    EXPECT_EQ(typeName, "Threadwick Document");
    EXPECT_TRUE(platform::GetDocString(Load(IDR_SHIRTTYPE), 6, typeName));
    EXPECT_EQ(typeName, "Threadwick Tovell");
}

TEST_F(StringTableTest, FormatsPromptsWithInsertedStrings)
{
    CString text;
    AfxFormatString1(text, IDP_TOO_MANY_DESIGNS_NEW, "4");
    EXPECT_EQ(text, "A maximum of 4 designs may be open at one time.\n"
                    "You must close one of the current designs before creating a new one.");
    AfxFormatString2(text, AFX_IDP_PARSE_INT_RANGE, "1", "99");
    EXPECT_EQ(text, "Please enter an integer between 1 and 99.");
    AfxFormatString1(text, AFX_IDP_ASK_TO_SAVE, "Shirt1");
    EXPECT_EQ(text, "Save changes to Shirt1?");

    char buffer[64];
    EXPECT_EQ(LoadString(AfxGetInstanceHandle(), IDS_UNDO_MENU, buffer, sizeof buffer), 14);
    EXPECT_STREQ(buffer, "&Undo%s\tCtrl+Z");
}

} // namespace

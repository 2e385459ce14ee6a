// Who the signed-in user is, and which remembered logo names the Logo
// dialog turns into a picture: a profile anyone can edit must not lead
// outside the support folder.

#include "assist/LogoDlg.h"

#include "app/TextTable.h"
#include "tests/assist/AssistTestSupport.h"

#include <string>

namespace assisttest {

TEST_F(AssistTest, TheSignedInUserIsTheTableRecordInUseOfTheLastUser)
{
    CUserTable users;
    for (auto [name, nInUse] : {std::pair{"Ann", 1}, std::pair{"Gone", 0}}) {
        UserRecord record;
        record.nInUse = nInUse;
        record.strUserName = name;
        ASSERT_TRUE(users.AddRecord(record));
    }
    users.Close();

    thePrefs.LastUser = "ANN";
    EXPECT_EQ(CUserRecord().GetName(), "Ann");
    for (const char* user : {"", "Gone", "Nobody"}) {
        thePrefs.LastUser = user;
        EXPECT_TRUE(CUserRecord().GetName().IsEmpty()) << user;
    }
}

TEST_F(AssistTest, OnlyAPlainLogoNameWithItsPictureIsTheUsersLogo)
{
    auto makeLogo = [this](const std::string& name, bool withPicture) {
        testing_support::WriteFileBytes(m_folder + "/support/" + name + ".lgo", "logo");
        if (withPicture)
            testing_support::WriteFileBytes(m_folder + "/support/" + name + ".jpg", "picture");
    };
    makeLogo("Club", true);
    makeLogo("Sketch", false);
    testing_support::WriteFileBytes(m_folder + "/outside.jpg", "picture");
    const std::string tooLong(CLogoDlg::kMaxLogoName + 1, 'x');
    makeLogo(tooLong, true);
    struct Case {
        std::string remembered;
        bool found;
    } const cases[] = {
        {"Club", true},
        {"Sketch", false}, // never rendered: no picture beside it
        {"", false},
        {"..\\outside", false},
        {"../outside", false},
        {"C:outside", false},
        {"Cl\tub", false},
        {tooLong, false},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(CLogoDlg::RememberLogo("Ann", c.remembered.c_str()));
        CString strName = "stale";
        CString strPicture = "stale";
        EXPECT_EQ(CLogoDlg().GetSelectedLogo("Ann", strName, strPicture) != FALSE, c.found) << c.remembered;
        EXPECT_EQ(strName, c.found ? CString(c.remembered.c_str()) : CString()) << c.remembered;
        EXPECT_EQ(strPicture, c.found ? ProgramFolder() + "support\\Club.jpg" : CString()) << c.remembered;
    }
    // Another user chose nothing; without a user nothing is remembered.
    CString strName;
    CString strPicture;
    EXPECT_FALSE(CLogoDlg().GetSelectedLogo("Bob", strName, strPicture));
    EXPECT_FALSE(CLogoDlg::RememberLogo("", "Club"));
    EXPECT_FALSE(CLogoDlg().GetSelectedLogo("", strName, strPicture));
}

} // namespace assisttest

#include "import/ImportUnit.h"

#include <gtest/gtest.h>

namespace sonalog {
namespace {

using Check = ImportForm::Check;

TEST(ImportFormTest, AppendCannotBeChosenForAnEmptyList) {
  ImportSettings s;
  s.ImapCheck = true;
  ImportForm form;
  form.open(s, true, false);
  EXPECT_FALSE(form.enabled(Check::Append));
  EXPECT_FALSE(form.checked(Check::Append));
  form.checkClick(Check::Append);
  EXPECT_TRUE(s.ImapCheck);  // the stored value stays
  form.open(s, false, false);
  EXPECT_TRUE(form.checked(Check::Append));
}

TEST(ImportFormTest, OptionsFollowTheFileType) {
  ImportSettings s;
  ImportForm form;
  form.open(s, false, true);
  EXPECT_TRUE(form.enabled(Check::Strip));
  EXPECT_TRUE(form.dateOptionsEnabled());
  EXPECT_FALSE(form.enabled(Check::Mirc));
  form.fileTypeClick(ImportFileType::M3u);
  EXPECT_FALSE(form.enabled(Check::CalculateMissing));
  EXPECT_TRUE(s.cmfcheck);  // kept while disabled
  EXPECT_TRUE(form.enabled(Check::ReadLabels));
  EXPECT_FALSE(form.dateOptionsEnabled());
  EXPECT_FALSE(form.enabled(Check::Strip));
  EXPECT_FALSE(s.stripcheck);  // cleared with the box
  form.keyPress('c');           // disabled: left alone
  EXPECT_TRUE(s.cmfcheck);
  form.fileTypeClick(ImportFileType::OtherText);
  EXPECT_TRUE(form.enabled(Check::Mirc));
  EXPECT_FALSE(form.enabled(Check::ReadLabels));
  form.keyPress('x');
  EXPECT_TRUE(s.MircCheck);
  form.go();
  EXPECT_TRUE(form.goPressed());
  EXPECT_EQ(s.fileType, ImportFileType::OtherText);
}

TEST(ImportFormTest, StripNeedsAHeaderOrFooterAndTheTimerReapplies) {
  ImportSettings s;
  ImportForm form;
  form.open(s, false, false);
  EXPECT_FALSE(form.enabled(Check::Strip));
  EXPECT_FALSE(form.checked(Check::Strip));
  form.timerTick(true);
  EXPECT_TRUE(form.enabled(Check::Strip));
  form.keyPress('H');
  EXPECT_TRUE(s.stripcheck);
  form.timerTick(false);
  EXPECT_FALSE(s.stripcheck);
}

TEST(ImportFormTest, ClosingWithoutGoRestoresTheOptions) {
  ImportSettings s;
  s.cmfcheck = true;
  ImportForm form;
  form.open(s, false, true);
  form.checkClick(Check::CalculateMissing);
  form.fileTypeClick(ImportFileType::M3u);
  form.daRadioClick(0);  // grey for m3u: ignored
  EXPECT_EQ(s.daRadio, 1);
  form.cancel();
  EXPECT_TRUE(form.closed());
  EXPECT_FALSE(form.goPressed());
  EXPECT_TRUE(s.cmfcheck);
  EXPECT_TRUE(s.stripcheck);
  EXPECT_EQ(s.fileType, ImportFileType::ExportedList);
}

TEST(ImportFormTest, SettingsRoundTrip) {
  Settings st;
  st.importFileType = 2;
  st.examineBangLines = true;
  st.headerFileText = "/h.txt";
  st.importFolder = "/music";
  ImportSettings o = importSettingsFrom(st);
  EXPECT_EQ(o.fileType, ImportFileType::M3u);
  EXPECT_TRUE(o.MircCheck);
  EXPECT_EQ(o.headerFile, "/h.txt");
  o.shown.set(ShownField::Path);
  o.dsRadio = 1;
  o.lastImportFolder = "/other";
  storeImportSettings(o, st);
  EXPECT_TRUE(st.CheckPath);
  EXPECT_EQ(st.dsRadio, 1);
  EXPECT_EQ(st.importFolder, "/other");
}

}  // namespace
}  // namespace sonalog

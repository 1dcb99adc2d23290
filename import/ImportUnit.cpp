#include "import/ImportUnit.h"

#include <cctype>

namespace sonalog {

ImportSettings importSettingsFrom(const Settings& s) {
  ImportSettings o;
  o.fileType = static_cast<ImportFileType>(s.importFileType <= 2 ? s.importFileType : 0);
  o.ImapCheck = s.ImapCheck;
  o.MircCheck = s.examineBangLines;
  o.daRadio = s.daRadio;
  o.dsRadio = s.dsRadio;
  o.cmfcheck = s.cmfcheck;
  o.clabcheck = s.clabcheck;
  o.stripcheck = s.stripcheck;
  o.ComboStyle = s.ComboStyle;
  o.shown = shownFieldsOf(s);
  o.CheckHead = s.CheckHead;
  o.CheckFoot = s.CheckFoot;
  o.headerFile = s.headerFileText;
  o.footerFile = s.footerFileText;
  o.lastImportFolder = s.importFolder;
  return o;
}

void storeImportSettings(const ImportSettings& o, Settings& s) {
  s.importFileType = static_cast<uint8_t>(o.fileType);
  s.ImapCheck = o.ImapCheck;
  s.examineBangLines = o.MircCheck;
  s.daRadio = o.daRadio;
  s.dsRadio = o.dsRadio;
  s.cmfcheck = o.cmfcheck;
  s.clabcheck = o.clabcheck;
  s.stripcheck = o.stripcheck;
  storeShownFields(s, o.shown);
  s.importFolder = o.lastImportFolder;
}

void ImportForm::open(ImportSettings& settings, bool listEmpty, bool headerOrFooter) {
  settings_ = &settings;
  copy_ = settings;
  listEmpty_ = listEmpty;
  headerOrFooter_ = headerOrFooter;
  goPressed_ = false;
  closed_ = false;
  applyStripRule();
}

bool& ImportForm::flag(Check c) const {
  switch (c) {
    case Check::Append: return settings_->ImapCheck;
    case Check::Mirc: return settings_->MircCheck;
    case Check::CalculateMissing: return settings_->cmfcheck;
    case Check::ReadLabels: return settings_->clabcheck;
    case Check::Strip: break;
  }
  return settings_->stripcheck;
}

bool ImportForm::enabled(Check c) const {
  switch (c) {
    case Check::Append: return !listEmpty_;
    case Check::Mirc: return type() == ImportFileType::OtherText;
    case Check::CalculateMissing: return type() != ImportFileType::M3u;
    case Check::ReadLabels: return type() != ImportFileType::OtherText;
    case Check::Strip: return type() == ImportFileType::ExportedList && headerOrFooter_;
  }
  return false;
}

bool ImportForm::checked(Check c) const {
  if (c == Check::Append) return settings_->ImapCheck && !listEmpty_;
  return flag(c);
}

void ImportForm::applyStripRule() {
  if (!enabled(Check::Strip)) settings_->stripcheck = false;
}

void ImportForm::fileTypeClick(ImportFileType t) {
  settings_->fileType = t;
  applyStripRule();
}

void ImportForm::checkClick(Check c) {
  if (!enabled(c)) return;
  bool& f = flag(c);
  f = !f;
}

void ImportForm::daRadioClick(uint8_t item) {
  if (dateOptionsEnabled()) settings_->daRadio = item & 1;
}

void ImportForm::dsRadioClick(uint8_t item) {
  if (dateOptionsEnabled()) settings_->dsRadio = item & 1;
}

void ImportForm::keyPress(char key) {
  switch (std::toupper(static_cast<unsigned char>(key))) {
    case 27: cancel(); break;
    case 'H': checkClick(Check::Strip); break;
    case 'C': checkClick(Check::CalculateMissing); break;
    case 'V': checkClick(Check::ReadLabels); break;
    case 'X': checkClick(Check::Mirc); break;
    default: break;
  }
}

void ImportForm::timerTick(bool headerOrFooter) {
  headerOrFooter_ = headerOrFooter;
  applyStripRule();
}

void ImportForm::go() {
  goPressed_ = true;
  closed_ = true;
}

void ImportForm::cancel() {
  if (closed_) return;
  if (!goPressed_) *settings_ = copy_;
  closed_ = true;
}

}  // namespace sonalog

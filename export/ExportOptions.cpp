#include "export/ExportOptions.h"

namespace sonalog {

ExportOptions exportOptionsFrom(const Settings& s) {
  ExportOptions o;
  o.type = s.ooptcombo < kExportTypeCount ? static_cast<ExportType>(s.ooptcombo) : ExportType::Text;
  o.style = fieldStyleFrom(s);
  o.fields = shownFieldsOf(s);
  o.delimiter = s.delimiter;
  o.headerRow = s.AddHeaderCheck;
  o.padLength = s.estext;
  o.useHeaderFile = s.CheckHead;
  o.useFooterFile = s.CheckFoot;
  o.textHeaderFile = s.headerFileText;
  o.textFooterFile = s.footerFileText;
  o.htmlHeaderFile = s.headerFileHtml;
  o.htmlFooterFile = s.footerFileHtml;
  o.htmlTagsFromFiles = s.CheckHtag;
  o.plainUsesTableStyle = s.CheckPtoo;
  o.useBackground = s.bgcheck;
  o.backgroundColour = s.bgpic;
  o.useTextColour = s.txcheck;
  o.textColour = s.txpic;
  o.tableFont = s.tableFont;
  o.captionFont = s.captionFont;
  o.cellSpacing = s.cstext0;
  o.cellPadding = s.cstext1;
  o.border = s.cstext2;
  o.centerNames = s.CheckCenter;
  o.splitNames = s.CheckSplit;
  o.captionChoice = s.ComboCap;
  o.batchFullPath = s.CheckFpb;
  return o;
}

const char* defaultExtension(ExportType type) {
  switch (type) {
    case ExportType::Text: return "txt";
    case ExportType::PlainHtml:
    case ExportType::HtmlTable: return "html";
    case ExportType::Xls: return "xls";
    case ExportType::M3u: return "m3u";
  }
  return "txt";
}

}  // namespace sonalog

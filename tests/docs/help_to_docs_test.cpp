// Reading help texts back and writing manual pages from them.

#include <gtest/gtest.h>

#include "docs/tools/HelpText.h"
#include "docs/tools/Roff.h"

namespace sonalog::docs {
namespace {

constexpr const char* kHelp =
    "prog: does things\n"
    "Usage: prog [OPTIONS] SUBCOMMAND\n"
    "\n"
    "Options:\n"
    "  -h,--help                   Print this help message and exit\n"
    "  --set NAME=VALUE ...        Override a setting\n"
    "  --yes Excludes: --no        Answer Yes\n"
    "  --no Excludes: --yes        Answer No\n"
    "  --type TEXT:{text,plain-html,xls}\n"
    "                              Export file type\n"
    "                              (second line)\n"
    "\n"
    "Subcommands:\n"
    "  scan                        Scan a folder\n"
    "\n"
    "Notes first.\n"
    "Exit status: 0 done, 1 failed.\n";

TEST(HelpText, ReadsEntriesTypesChoicesAndFooter) {
  const HelpParse parsed = parseHelp(kHelp);
  ASSERT_TRUE(parsed.help) << parsed.error;
  const HelpText& h = *parsed.help;
  EXPECT_EQ(h.usage, "prog [OPTIONS] SUBCOMMAND");
  ASSERT_EQ(h.options.size(), 5u);
  EXPECT_EQ(h.options[1].valueType, "NAME=VALUE");
  EXPECT_TRUE(h.options[1].repeatable);
  EXPECT_EQ(h.options[2].valueType, "");
  EXPECT_EQ(h.options[2].notes, "Excludes: --no");
  // A name column too wide for the column puts its description on the next lines.
  EXPECT_EQ(h.options[4].names, std::vector<std::string>{"--type"});
  EXPECT_EQ(h.options[4].choices, (std::vector<std::string>{"text", "plain-html", "xls"}));
  EXPECT_EQ(h.options[4].description, "Export file type\n(second line)");
  ASSERT_EQ(h.subcommands.size(), 1u);
  EXPECT_EQ(h.subcommands[0].names.front(), "scan");
  const FooterParts footer = splitFooter(h.footer);
  EXPECT_EQ(footer.notes, "Notes first.");
  EXPECT_EQ(footer.exitStatus, "Exit status: 0 done, 1 failed.");
  EXPECT_EQ(synopsisLine("prog", h, "", nullptr), "prog [--set NAME=VALUE ...] [--yes|--no] [--type TYPE] COMMAND");

  EXPECT_FALSE(parseHelp("no usage here\n").help);
  EXPECT_NE(parseHelp("Usage: p\n\nOptions:\n  help  Not an option\n").error.find("line 4"), std::string::npos);
}

TEST(Roff, EscapesWhatRoffWouldInterpret) {
  EXPECT_EQ(roffText(".hidden\n'quote"), "\\&.hidden\n\\&'quote");
  EXPECT_EQ(roffText("a\\b"), "a\\eb");
  EXPECT_EQ(roffText("use --set x-y, (-o)"), "use \\-\\-set x-y, (\\-o)");
  EXPECT_EQ(roffText("caf\xc3\xa9 \xe2\x80\x94"), "caf\\[u00E9] \\[u2014]");
}

TEST(Roff, AnExampleWithAnUnknownOptionOrCommandStopsThePage) {
  ManPage page;
  page.program = "prog";
  page.main = *parseHelp(kHelp).help;
  page.commands.emplace_back("scan", *parseHelp("scanning\nUsage: prog scan [OPTIONS]\n\nOptions:\n"
                                                "  -o TEXT                     Output\n").help);
  page.extras["examples scan"] = {"$ prog --set a=1 scan -o x.snlg"};
  EXPECT_EQ(writeManPage(page).error, "");
  page.extras["examples scan"] = {"$ prog scan --output x.snlg"};
  EXPECT_EQ(writeManPage(page).error,
            "the example \"prog scan --output x.snlg\" uses --output, which `prog scan --help` does not list");
  page.extras["examples scan"] = {"$ prog scna"};
  EXPECT_NE(writeManPage(page).error.find("names no command"), std::string::npos);
}

}  // namespace
}  // namespace sonalog::docs

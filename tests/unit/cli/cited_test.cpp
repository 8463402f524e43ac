// The cited answer as the program prints it: the window line, the GEDCOM
// line, JSON with its warnings, and the batch's citation columns.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "cli_test_support.h"

namespace {

struct CitedCase {
    const char* name;
    std::vector<std::string> args;
    const char* lastLine;  // the program's last line of standard output
};

const CitedCase CitedCases[] = {
    {"typical request", {"--event", "Dec 7, 1941", "--years", "40"}, "Born between 12/08/1900 and 12/07/1901"},
    {"abbreviated", {"--event", "Dec 7, 1941", "--years", "40", "--abbreviated"},
     "Born between Dec 8, 1900 and Dec 7, 1901"},
    {"GEDCOM 5.5.1 bound", {"--event", "6 JUN 1841", "--years", ">60y", "--gedcom", "5.5.1"}, "GEDCOM: BEF 7 JUN 1781"},
    {"infant burial", {"--event", "14 Mar 1862", "--years", "3 weeks"}, "Born on 02/21/1862"},
    {"event from a birth", {"--birth", "1850", "--years", "60+"}, "Event on or after 01/01/1910"},
    {"age of two dates", {"--event", "01/30/1900", "--birth", "12/31/1850", "--gedcom", "7"}, "GEDCOM: 49y 0m 30d"},
    {"age of two years", {"--event", "1900", "--birth", "1850"}, "Aged between 49y 0m 1d and 50y 11m 30d"},
    {"dates the display cannot show", {"--event", "1620", "--years", "30"}, "Born between 1589-01-02 and 1590-12-31"},
    // Julian dates: the words and GEDCOM in the Julian calendar.
    {"dual year", {"--event", "14 FEB 1720/21", "--years", "40", "--abbreviated"},
     "Born between Feb 15, 1680 and Feb 14, 1681 (Julian)"},
    {"dual year in GEDCOM 7", {"--event", "14 FEB 1720/21", "--years", "40", "--gedcom", "7"},
     "GEDCOM: BET JULIAN 15 FEB 1680 AND JULIAN 14 FEB 1681"},
    {"Julian in GEDCOM 5.5.1", {"--event", "@#DJULIAN@ 14 FEB 1721", "--years", "40", "--gedcom", "5.5.1"},
     "GEDCOM: BET @#DJULIAN@ 15 FEB 1680 AND @#DJULIAN@ 14 FEB 1681"},
    {"plain date before the change",
     {"--event", "2 SEP 1752", "--years", "40", "--gregorian-from", "1752-09-14", "--weekday"},
     "Born between 09/03/1711  [Mo] and 09/02/1712  [Tu] (Julian)"},
};

TEST(ResearcherForms, ProgramTellsTheWindow) {
    for (const CitedCase& c : CitedCases) {
        const cli_test::ProgramRun run = cli_test::runCalc(c.args);
        EXPECT_EQ(run.exitCode, 0) << c.name << ": " << run.err;
        const std::string out = run.out.substr(0, run.out.size() - 1);
        EXPECT_EQ(out.substr(out.rfind('\n') + 1), c.lastLine) << c.name << ": " << run.out;
    }
}

TEST(ResearcherForms, JsonAndErrorsCarryTheWarnings) {
    const cli_test::ProgramRun run =
        cli_test::runCalc({"--event", "ABT 1941", "--years", "40y 3m", "--json", "--gedcom", "7"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const nlohmann::json answer = nlohmann::json::parse(run.out);
    EXPECT_EQ(answer["months"], "3");
    EXPECT_EQ(answer["earliest"], "1900-09-02");
    EXPECT_EQ(answer["latest"], "1901-09-30");
    EXPECT_EQ(answer["gedcom"], "BET 1900 AND 1901");
    EXPECT_EQ(answer["warnings"].size(), 1u) << run.out;

    const cli_test::ProgramRun open = cli_test::runCalc({"--event", "1841", "--years", "60+", "--json"});
    EXPECT_EQ(nlohmann::json::parse(open.out)["earliest"], nullptr) << open.out;

    const cli_test::ProgramRun bad = cli_test::runCalc({"--event", "EST 31 Jun 1841", "--years", "3"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_EQ(bad.err,
              "quillark-calc: warning: 'EST 31 Jun 1841' is read as the date 31 Jun 1841, without its 'EST'\n"
              "Illegal Date: Check on days\n");

    const cli_test::ProgramRun version = cli_test::runCalc({"--event", "1841", "--years", "3", "--gedcom", "6"});
    EXPECT_EQ(version.exitCode, 64) << version.err;
}

TEST(ResearcherForms, BatchColumnsBeforeStatus) {
    const std::string input =
        "name,event,years,birth\n"
        "Ann,06/06/1841,30,\n"
        "Baby,14 Mar 1862,3 weeks,\n"
        "Old,1841,>60y,\n"
        "Pair,01/30/1900,,12/31/1850\n"
        "Bad,06/31/1841,5,\n";
    const cli_test::ProgramRun run = cli_test::runCalc({"--csv", "-", "--window", "--gedcom", "7"}, input);
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(run.out,
              "name,event,years,birth,months,days,event_earliest,event_latest,event_gedcom,age_earliest,age_latest,"
              "age_gedcom,birth_earliest,birth_latest,birth_gedcom,warnings,status\n"
              "Ann,06/06/1841,30,1811 or 1810,,,,,,,,,1810-06-07,1811-06-06,BET 7 JUN 1810 AND 6 JUN 1811,,ok\n"
              "Baby,03/14/1862,0,02/21/1862,,21,,,,,,,1862-02-21,1862-02-21,CAL 21 FEB 1862,"
              "'3 weeks' is read as 21 days,ok\n"
              "Old,1841,60+,1781 or before,,,,,,,,,,1781-12-31,BEF 1781,,ok\n"
              "Pair,01/30/1900,49,12/31/1850,0,30,,,,49y 0m 30d,49y 0m 30d,49y 0m 30d,,,,,ok\n"
              "Bad,06/31/1841,5,,,,,,,,,,,,,,Illegal Date: Check on days\n");
}

}  // namespace
